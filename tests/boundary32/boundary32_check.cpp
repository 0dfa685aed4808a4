// Layout of everything that crosses the host boundary, as a 32-bit host
// sees it. Built with -m32 natively; the same checks hold in the Windows
// build, which compiles this file's header checks through the records.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "common/counted.h"
#include "common/interfaces.h"
#include "common/records.h"
#include "plugin/exports.h"

using namespace veltrin;

#if !(defined(__i386__) || defined(_M_IX86))
#error "the boundary check is meant for a 32-bit (i386) build: add -m32"
#endif

static_assert(sizeof(void*) == 4, "pointers are 4 bytes in the 32-bit builds");
static_assert(sizeof(bool) == 1, "a bool crossing the boundary is one byte");
static_assert(sizeof(int64_t) == 8 && alignof(int64_t) <= 8, "64-bit fields");

// TDebugResult: 28 bytes.
static_assert(sizeof(TDebugResult) == 28);
static_assert(offsetof(TDebugResult, FilterName) == 0);
static_assert(offsetof(TDebugResult, DebugLines) == 4);
static_assert(offsetof(TDebugResult, AuxText) == 8);
static_assert(offsetof(TDebugResult, ErrCount) == 12);
static_assert(offsetof(TDebugResult, SupErrCount) == 16);
static_assert(offsetof(TDebugResult, Verdict) == 20);
static_assert(offsetof(TDebugResult, CanErrText) == 24);

// TOneDebugResult: 12 bytes.
static_assert(sizeof(TOneDebugResult) == 12);
static_assert(offsetof(TOneDebugResult, Condition) == 0);
static_assert(offsetof(TOneDebugResult, Value) == 4);
static_assert(offsetof(TOneDebugResult, Failed) == 8);

// TLotteryInfo: 36 bytes.
static_assert(sizeof(TLotteryInfo) == 36);
static_assert(offsetof(TLotteryInfo, Text) == 4);
static_assert(offsetof(TLotteryInfo, DigitCount) == 8);
static_assert(offsetof(TLotteryInfo, ExtraDigitCount) == 20);
static_assert(offsetof(TLotteryInfo, Reserved8) == 32);

// TBatFltSet: 32 bytes. On i386 Linux an int64_t member aligns to 4, so the
// offsets below also prove that nothing was padded in between.
static_assert(sizeof(TBatFltSet) == 32);
static_assert(offsetof(TBatFltSet, BetTexts) == 0);
static_assert(offsetof(TBatFltSet, Bets) == 4);
static_assert(offsetof(TBatFltSet, Reserved) == 8);
static_assert(offsetof(TBatFltSet, KeepShare) == 16);
static_assert(offsetof(TBatFltSet, Text1) == 24);
static_assert(offsetof(TBatFltSet, Text2) == 28);

// Counted blocks: reference count, then length, then the first byte.
static_assert(sizeof(CountedHeader) == 8);
static_assert(offsetof(CountedHeader, RefCount) == 0);
static_assert(offsetof(CountedHeader, Length) == 4);

// Interface identifiers are plain 16-byte GUIDs.
static_assert(sizeof(VGuid) == 16);

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "boundary check failed: %s\n", what);
    ++failures;
  }
}

// An interface object is one word: the pointer to its slot table.
struct Probe : IScoreCallback {
  int32_t VELTRIN_API QueryInterface(const VGuid*, void**) override { return kE_NOINTERFACE; }
  uint32_t VELTRIN_API AddRef() override { return 1; }
  uint32_t VELTRIN_API Release() override { return 1; }
  int32_t VELTRIN_API ScoreBet(const char*, int32_t* score) override {
    *score = 7;
    return kS_OK;
  }
};

}  // namespace

int main() {
  Check(sizeof(Probe) == sizeof(void*), "an interface object is a single slot-table pointer");

  // A constant: reference count -1, the length, the text, a zero byte.
  static CountedConst<8> constant("Veltrin");
  const auto* h = reinterpret_cast<const CountedHeader*>(constant.Ptr() - 8);
  Check(h->RefCount == -1 && h->Length == 7, "constant header");
  Check(constant.Ptr()[7] == '\0', "constant terminator");

  // A counted string from the shared memory manager has the same shape.
  char* s = CountedStrNew("12345");
  const auto* hs = reinterpret_cast<const CountedHeader*>(s - 8);
  Check(hs->RefCount == 1 && hs->Length == 5 && s[5] == '\0', "counted string header");
  CountedStrRelease(s);
  Check(s == nullptr, "release clears the field");

  // A dynamic array of debug lines: count before the first 12-byte element.
  auto* lines = DynArrayNew<TOneDebugResult>(3);
  Check(DynArrayLength(lines) == 3, "array length");
  Check(reinterpret_cast<char*>(&lines[2]) - reinterpret_cast<char*>(lines) == 24,
        "array elements are 12 bytes apart");
  DynArrayRelease(lines);

  // A call through the slot table, as a host makes it.
  Probe probe;
  IScoreCallback* callback = &probe;
  int32_t score = 0;
  Check(callback->ScoreBet("12", &score) == kS_OK && score == 7, "slot call");

  if (failures == 0) std::printf("32-bit boundary layout: all checks hold\n");
  return failures == 0 ? 0 : 1;
}
