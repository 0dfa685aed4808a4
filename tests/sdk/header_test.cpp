// include/veltrin.h against the library's own C++ definitions: the same
// layouts, and the same release rule for counted blocks in its C helpers as
// in common/counted.cpp.
#include "veltrin.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "common/counted.h"
#include "common/records.h"
#include "plugin/library.h"
#include "sharemem/sharemem.h"

namespace veltrin::test {
namespace {

#define VELTRIN_SAME_FIELD(c, cpp, field) \
  static_assert(offsetof(c, field) == offsetof(cpp, field), #c "." #field)
static_assert(sizeof(::TDebugResult) == sizeof(veltrin::TDebugResult));
VELTRIN_SAME_FIELD(::TDebugResult, veltrin::TDebugResult, DebugLines);
VELTRIN_SAME_FIELD(::TDebugResult, veltrin::TDebugResult, Verdict);
VELTRIN_SAME_FIELD(::TDebugResult, veltrin::TDebugResult, CanErrText);
static_assert(sizeof(::TOneDebugResult) == sizeof(veltrin::TOneDebugResult));
VELTRIN_SAME_FIELD(::TOneDebugResult, veltrin::TOneDebugResult, Failed);
static_assert(sizeof(::TLotteryInfo) == sizeof(veltrin::TLotteryInfo));
VELTRIN_SAME_FIELD(::TLotteryInfo, veltrin::TLotteryInfo, DigitCount);
VELTRIN_SAME_FIELD(::TLotteryInfo, veltrin::TLotteryInfo, Reserved8);
static_assert(sizeof(::TBatFltSet) == sizeof(veltrin::TBatFltSet));
VELTRIN_SAME_FIELD(::TBatFltSet, veltrin::TBatFltSet, KeepShare);
VELTRIN_SAME_FIELD(::TBatFltSet, veltrin::TBatFltSet, Text2);
static_assert(sizeof(ICallWrapperVtbl) == 15 * sizeof(void*));
static_assert(sizeof(VeltrinFilterVtbl) == 9 * sizeof(void*));
static_assert(sizeof(VeltrinCountedHeader) == sizeof(CountedHeader));
#undef VELTRIN_SAME_FIELD

std::vector<void*> g_freed;
void VELTRIN_API RecordFree(void* block) { g_freed.push_back(block); }

// A block of the shared memory module holding "ab" under the given count.
char* CountedText(int32_t refCount) {
  auto* h = static_cast<CountedHeader*>(ShareGetMem(sizeof(CountedHeader) + 3));
  *h = {refCount, 2};
  char* s = reinterpret_cast<char*>(h + 1);
  s[0] = 'a', s[1] = 'b', s[2] = 0;
  return s;
}

// Positive counts drop by one and free the block, which starts at the
// count, at zero; -1 and every other count that is not positive are left
// alone. Both the header's helper and the library's code.
TEST(HeaderRelease, CountedBlocksFollowTheContract) {
  const struct {
    int32_t before, after;
    bool freed;
  } cases[] = {{1, 0, true}, {2, 1, false}, {-1, -1, false}, {0, 0, false}, {-7, -7, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    char* s = CountedText(c.before);
    CountedHeader* h = reinterpret_cast<CountedHeader*>(s) - 1;
    g_freed.clear();
    char* held = s;
    VeltrinReleaseString(&held, RecordFree);
    EXPECT_EQ(held, nullptr);
    ASSERT_EQ(g_freed.size(), c.freed ? 1u : 0u);
    if (c.freed) {
      EXPECT_EQ(g_freed[0], static_cast<void*>(h));
    } else {
      EXPECT_EQ(h->RefCount, c.after);
      // The library's release of the same block: it frees through the
      // module, so only the counts it leaves are checked.
      h->RefCount = c.before;
      held = s;
      CountedStrRelease(held);
      EXPECT_EQ(h->RefCount, c.after);
    }
    ShareFreeMem(h);
  }
}

// A string the host makes reads back in the library's own terms.
TEST(HeaderRelease, HostStringsAreCountedStrings) {
  char* s = VeltrinNewString("5 digits", 8, &ShareGetMem);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(CountedStrView(s), "5 digits");
  EXPECT_EQ(s[8], '\0');
  EXPECT_EQ((reinterpret_cast<CountedHeader*>(s) - 1)->RefCount, 1);
  CountedStrRelease(s);
  EXPECT_EQ(VeltrinNewString("x", 0, &ShareGetMem), nullptr);
  EXPECT_EQ(VeltrinNewString(nullptr, 3, &ShareGetMem), nullptr);
}

class HeaderHostTest : public PluginTest {};

// A record the library filled, released with the header's helper after the
// library is gone; leak checkers (valgrind, the sanitizer run) see the rest.
TEST_F(HeaderHostTest, ReleasesADebugRecordAfterUnloading) {
  ASSERT_TRUE(api().Use("\xD6\xB1\xD1\xA1:9=12:0-0;\xD6\xB1\xD1\xA1:9=34:0-0"));
  ::TDebugResult r{};
  api().SzcFltDebug(reinterpret_cast<veltrin::TDebugResult*>(&r), "1234", true);
  ASSERT_EQ(VeltrinCountedLength(r.DebugLines), 2);
  EXPECT_EQ(r.Verdict, 1);
  library().Unload();
  VeltrinReleaseDebugResult(&r, &ShareFreeMem);
  EXPECT_EQ(r.FilterName, nullptr);
  EXPECT_EQ(r.DebugLines, nullptr);
  EXPECT_EQ(r.AuxText, nullptr);
  EXPECT_EQ(r.CanErrText, nullptr);
  EXPECT_EQ(r.ErrCount, 2);
  VeltrinReleaseDebugResult(&r, &ShareFreeMem);  // again: nothing left to do
}

}  // namespace
}  // namespace veltrin::test
