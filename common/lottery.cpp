#include "common/lottery.h"

namespace veltrin {

int32_t ChipDigitCount = 0;
TLotteryInfo LotteryInfo = {};
std::string HelpFile;
const std::string UserDir = "user\\";

namespace {
// Releases the description's text when the library unloads.
struct LotteryInfoRelease {
  ~LotteryInfoRelease() { ReleaseLotteryInfo(LotteryInfo); }
} lotteryInfoRelease;
}  // namespace

}  // namespace veltrin
