// The base of every fake host call interface in the tests: it counts its
// references (the object itself lives in the test), answers QueryInterface
// for ICallWrapper, and answers "not implemented" for every operation. A
// test overrides the operations it plays, and Unanswered to watch the rest.
#pragma once

#include <cstdint>

#include "common/com_ref.h"
#include "common/interfaces.h"

namespace veltrin::test {

class TFakeHost : public ICallWrapper {
 public:
  // References held by others.
  int32_t Refs = 0;

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    return AnswerQueryInterface(this, iid, out, {IID_IUnknown, IID_ICallWrapper});
  }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(++Refs); }
  uint32_t VELTRIN_API Release() override { return uint32_t(--Refs); }

  int32_t VELTRIN_API ShowToleranceAide(TFilter*, const char*, int32_t) override {
    return Unanswered();
  }
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet*, TBatFltSet*) override { return Unanswered(); }
  int32_t VELTRIN_API Reserved3() override { return Unanswered(); }
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback*, const char*, const char*) override {
    return Unanswered();
  }
  int32_t VELTRIN_API Reserved5() override { return Unanswered(); }
  int32_t VELTRIN_API SelectDrawNumber(const char**) override { return Unanswered(); }
  int32_t VELTRIN_API Reserved7() override { return Unanswered(); }
  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo*) override { return Unanswered(); }
  int32_t VELTRIN_API Reserved9() override { return Unanswered(); }
  int32_t VELTRIN_API Reserved10() override { return Unanswered(); }
  int32_t VELTRIN_API Reserved11() override { return Unanswered(); }
  int32_t VELTRIN_API GetPairScoreTable(char**) override { return Unanswered(); }

 protected:
  // What every operation the test does not play answers.
  virtual int32_t Unanswered() { return kE_NOTIMPL; }
};

}  // namespace veltrin::test
