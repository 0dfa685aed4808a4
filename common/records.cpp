#include "common/records.h"

#include "common/counted.h"

namespace veltrin {

void ReleaseDebugLines(TDebugResult& r) {
  void* p = r.DebugLines;
  DynArrayReleaseRaw(p, sizeof(TOneDebugResult), [](void* e) {
    auto* line = static_cast<TOneDebugResult*>(e);
    CountedStrRelease(line->Condition);
    CountedStrRelease(line->Value);
  });
  r.DebugLines = nullptr;
}

void ReleaseDebugResult(TDebugResult& r) {
  CountedStrRelease(r.FilterName);
  ReleaseDebugLines(r);
  CountedStrRelease(r.AuxText);
  CountedStrRelease(r.CanErrText);
}

void ReleaseLotteryInfo(TLotteryInfo& info) { CountedStrRelease(info.Text); }

void ReleaseBatFltSet(TBatFltSet& set) {
  DynArrayReleaseByteArrays(set.Bets);
  CountedStrRelease(set.Text1);
  CountedStrRelease(set.Text2);
}

}  // namespace veltrin
