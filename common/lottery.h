// The plug-in's picture of the lottery the host works on: process-wide
// values shared by the filter and the dialogs. Created empty or zero when the
// library loads, released when it unloads.
#pragma once

#include <cstdint>
#include <string>

#include "common/records.h"

namespace veltrin {

// Digits of a bet of the current lottery; set each time the settings dialog
// opens. The highest pair-score sum offered is 100 x (ChipDigitCount - 1).
extern int32_t ChipDigitCount;
// The lottery description the one-bet box of the dialogs is sized by.
extern TLotteryInfo LotteryInfo;
// Full path of the help file, set by the filter dialog base.
extern std::string HelpFile;
// Initial folder of the dialog that saves validation results.
extern const std::string UserDir;

// Digit counts a host may report for a lottery; a larger one is not taken.
inline constexpr int32_t kMaxDigitCount = 100;

// The code of two adjacent digits of a bet: the pair "3" "7" is code 37.
constexpr unsigned PairCode(unsigned first, unsigned second) { return first * 10 + second; }

}  // namespace veltrin
