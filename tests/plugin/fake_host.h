// A host call interface for tests: counts references and calls, answers
// GetLotteryInfo, and answers every other operation "not implemented".
#pragma once

#include <cstdint>

#include "common/counted.h"
#include "common/interfaces.h"
#include "common/records.h"
#include "tests/support/fake_host.h"

namespace veltrin::test {

class CountingHost final : public TFakeHost {
 public:
  int32_t lotteryInfoCalls = 0;
  int32_t otherCalls = 0;
  int32_t digitCount = 5;
  int32_t lotteryInfoStatus = kS_OK;
  // When set, GetLotteryInfo hands this counted string out as the record's
  // text with a reference of its own, so a test can see it released.
  char* lotteryText = nullptr;

  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo* info) override {
    ++lotteryInfoCalls;
    if (!info) return kE_POINTER;
    if (lotteryText) info->Text = CountedStrAddRef(lotteryText);
    info->DigitCount = digitCount;
    return lotteryInfoStatus;
  }

 private:
  int32_t Unanswered() override {
    ++otherCalls;
    return kE_NOTIMPL;
  }
};

// The header in front of a counted string or dynamic array.
inline const CountedHeader* HeaderOf(const void* p) {
  return reinterpret_cast<const CountedHeader*>(static_cast<const char*>(p) -
                                                sizeof(CountedHeader));
}

}  // namespace veltrin::test
