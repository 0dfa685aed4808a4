// A host call interface for tests: counts references and calls, answers
// GetLotteryInfo, and fails every other operation.
#pragma once

#include <cstdint>

#include "common/counted.h"
#include "common/interfaces.h"
#include "common/records.h"

namespace veltrin::test {

class CountingHost final : public ICallWrapper {
 public:
  // References held by others (the object itself lives in the test).
  int32_t refs = 0;
  int32_t lotteryInfoCalls = 0;
  int32_t otherCalls = 0;
  int32_t digitCount = 5;
  int32_t lotteryInfoStatus = kS_OK;
  // When set, GetLotteryInfo hands this counted string out as the record's
  // text with a reference of its own, so a test can see it released.
  char* lotteryText = nullptr;

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    if (!out) return kE_POINTER;
    *out = nullptr;
    if (iid && (*iid == IID_IUnknown || *iid == IID_ICallWrapper)) {
      *out = static_cast<ICallWrapper*>(this);
      AddRef();
      return kS_OK;
    }
    return kE_NOINTERFACE;
  }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(++refs); }
  uint32_t VELTRIN_API Release() override { return uint32_t(--refs); }

  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo* info) override {
    ++lotteryInfoCalls;
    if (!info) return kE_POINTER;
    if (lotteryText) info->Text = CountedStrAddRef(lotteryText);
    info->DigitCount = digitCount;
    return lotteryInfoStatus;
  }
  int32_t VELTRIN_API ShowToleranceAide(TFilter*, const char*, int32_t) override { return Other(); }
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet*, TBatFltSet*) override { return Other(); }
  int32_t VELTRIN_API Reserved3() override { return Other(); }
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback*, const char*, const char*) override {
    return Other();
  }
  int32_t VELTRIN_API Reserved5() override { return Other(); }
  int32_t VELTRIN_API SelectDrawNumber(const char**) override { return Other(); }
  int32_t VELTRIN_API Reserved7() override { return Other(); }
  int32_t VELTRIN_API Reserved9() override { return Other(); }
  int32_t VELTRIN_API Reserved10() override { return Other(); }
  int32_t VELTRIN_API Reserved11() override { return Other(); }
  int32_t VELTRIN_API GetPairScoreTable(char**) override { return Other(); }

 private:
  int32_t Other() {
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
