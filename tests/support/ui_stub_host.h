// A host call interface for dialog tests: counts its references and answers
// the drawn-number request as the test sets it; every other operation fails.
#pragma once

#include <string>

#include "common/interfaces.h"

namespace veltrin::test {

class TStubHost final : public ICallWrapper {
 public:
  int32_t Refs = 0;
  int32_t DrawCalls = 0;
  int32_t DrawStatus = kS_OK;
  const char* DrawText = nullptr;

  int32_t VELTRIN_API QueryInterface(const VGuid*, void** out) override {
    if (out) *out = nullptr;
    return kE_NOINTERFACE;
  }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(++Refs); }
  uint32_t VELTRIN_API Release() override { return uint32_t(--Refs); }
  int32_t VELTRIN_API ShowToleranceAide(TFilter*, const char*, int32_t) override {
    return kE_NOTIMPL;
  }
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet*, TBatFltSet*) override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved3() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback*, const char*, const char*) override {
    return kE_NOTIMPL;
  }
  int32_t VELTRIN_API Reserved5() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API SelectDrawNumber(const char** text) override {
    ++DrawCalls;
    if (text) *text = DrawText;
    return DrawStatus;
  }
  int32_t VELTRIN_API Reserved7() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo*) override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved9() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved10() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved11() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API GetPairScoreTable(char**) override { return kE_NOTIMPL; }
};

}  // namespace veltrin::test
