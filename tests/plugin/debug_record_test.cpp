// The debug record as the host reads it back: every field, the counted
// string headers, and the release of whatever the record held before.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "common/counted.h"
#include "common/texts.h"
#include "support/gbk.h"
#include "tests/plugin/fake_host.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

const std::string kScoresFour = Straight("0=00 01 02,1=12 21,2=", "2-48");
const std::string kScoresEighteen = Straight("9=12", "0-5");
// For the bet 12121 (codes 12 21 12 21): 4 points, passes; 18 points, fails.
const std::string kTwoConditions = kScoresFour + ";" + kScoresEighteen;

// A counted string that the library allocated for the host: one reference,
// its length, its text and a zero byte after it.
void ExpectFreshCounted(const char* s, std::string_view text, const char* field) {
  SCOPED_TRACE(field);
  ASSERT_NE(s, nullptr);
  const CountedHeader* h = HeaderOf(s);
  EXPECT_EQ(h->RefCount, 1);
  ASSERT_EQ(h->Length, int32_t(text.size()));
  EXPECT_EQ(std::string_view(s, size_t(h->Length)), text);
  EXPECT_EQ(s[h->Length], '\0');
}

// A counted string with a second reference held by the test.
char* Shared(std::string_view text) { return CountedStrAddRef(CountedStrNew(text)); }

void AddArrayReference(void* a) { ++const_cast<CountedHeader*>(HeaderOf(a))->RefCount; }

using DebugRecordTest = PluginTest;

TEST_F(DebugRecordTest, EveryFieldOfARecordWithTolerance) {
  ASSERT_TRUE(api().Use("E|0-1;" + kTwoConditions));
  TDebugResult r{};
  api().SzcFltDebug(&r, "12121", true);

  ExpectFreshCounted(r.FilterName, "Veltrin", "FilterName");
  ASSERT_NE(r.DebugLines, nullptr);
  EXPECT_EQ(HeaderOf(r.DebugLines)->RefCount, 1);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 2);
  ExpectFreshCounted(r.DebugLines[0].Condition, kScoresFour, "line 0 condition");
  ExpectFreshCounted(r.DebugLines[0].Value, "4", "line 0 value");
  EXPECT_EQ(r.DebugLines[0].Failed, 0);
  ExpectFreshCounted(r.DebugLines[1].Condition, kScoresEighteen, "line 1 condition");
  ExpectFreshCounted(r.DebugLines[1].Value, "18", "line 1 value");
  EXPECT_EQ(r.DebugLines[1].Failed, 1);
  EXPECT_EQ(r.AuxText, nullptr);
  EXPECT_EQ(r.ErrCount, 1);
  EXPECT_EQ(r.SupErrCount, 0);
  EXPECT_EQ(r.Verdict, 0);
  ExpectFreshCounted(r.CanErrText, std::string(kTxtTolerance) + "0-1<br>" + kTxtSupToleranceNone,
                     "CanErrText");
  ReleaseDebugResult(r);
}

TEST_F(DebugRecordTest, OnlyFailingLinesWithoutShowAll) {
  ASSERT_TRUE(api().Use(kTwoConditions));
  TDebugResult r{};
  api().SzcFltDebug(&r, "12121", false);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 1);
  EXPECT_EQ(CountedStrView(r.DebugLines[0].Condition), kScoresEighteen);
  EXPECT_EQ(r.DebugLines[0].Failed, 1);
  EXPECT_EQ(r.ErrCount, 1);
  EXPECT_EQ(r.Verdict, 1);
  ExpectFreshCounted(r.CanErrText, std::string(kTxtToleranceNone) + "<br>" + kTxtSupToleranceNone,
                     "CanErrText");

  // A bet that fails nothing (codes 21 10 02 21: 2 points, then 0) gets no
  // line at all.
  api().SzcFltDebug(&r, "21021", false);
  EXPECT_EQ(r.DebugLines, nullptr);
  EXPECT_EQ(r.ErrCount, 0);
  EXPECT_EQ(r.Verdict, 0);
  ReleaseDebugResult(r);
}

TEST_F(DebugRecordTest, OldValuesAreReleasedExactlyOnce) {
  ASSERT_TRUE(api().Use(kTwoConditions));
  for (const char* bet : {"12121", "12a21"}) {
    SCOPED_TRACE(bet);
    TDebugResult r{};
    char* oldName = Shared("old name");
    char* oldAux = Shared("old aux");
    char* oldTolerance = Shared("old tolerance");
    auto* oldLines = DynArrayNew<TOneDebugResult>(1);
    oldLines[0].Condition = Shared("old condition");
    oldLines[0].Value = Shared("7");
    AddArrayReference(oldLines);
    r.FilterName = oldName;
    r.AuxText = oldAux;
    r.CanErrText = oldTolerance;
    r.DebugLines = oldLines;
    r.ErrCount = 5;
    r.SupErrCount = 6;

    api().SzcFltDebug(&r, bet, true);

    EXPECT_EQ(HeaderOf(oldName)->RefCount, 1) << "FilterName";
    EXPECT_EQ(HeaderOf(oldAux)->RefCount, 1) << "AuxText";
    EXPECT_EQ(HeaderOf(oldTolerance)->RefCount, 1) << "CanErrText";
    EXPECT_EQ(HeaderOf(oldLines)->RefCount, 1) << "DebugLines";
    // The array survives through the test's reference, so its lines do too.
    EXPECT_EQ(HeaderOf(oldLines[0].Condition)->RefCount, 2);
    EXPECT_EQ(r.AuxText, nullptr);
    EXPECT_EQ(r.SupErrCount, 0);
    EXPECT_NE(r.DebugLines, oldLines);

    CountedStrRelease(oldName);
    CountedStrRelease(oldAux);
    CountedStrRelease(oldTolerance);
    // The test's own references to the lines' texts; the array's go with it.
    char* condition = oldLines[0].Condition;
    char* value = oldLines[0].Value;
    CountedStrRelease(condition);
    CountedStrRelease(value);
    TDebugResult holder{};
    holder.DebugLines = oldLines;
    ReleaseDebugLines(holder);
    ReleaseDebugResult(r);
  }
}

TEST_F(DebugRecordTest, ConstantsAreNeverReleased) {
  static CountedConst<6> constant("const");
  ASSERT_TRUE(api().Use(kTwoConditions));
  TDebugResult r{};
  r.FilterName = constant.Ptr();
  r.AuxText = constant.Ptr();
  r.CanErrText = constant.Ptr();
  api().SzcFltDebug(&r, "12121", true);
  EXPECT_EQ(constant.Header.RefCount, -1);
  EXPECT_EQ(constant.Header.Length, 5);
  EXPECT_STREQ(constant.Ptr(), "const");
  EXPECT_EQ(CountedStrView(r.FilterName), "Veltrin");
  EXPECT_EQ(r.AuxText, nullptr);
  ReleaseDebugResult(r);
}

TEST_F(DebugRecordTest, ARecordReusedForManyBetsHoldsOnlyTheLast) {
  ASSERT_TRUE(api().Use("E|0-1;" + kTwoConditions));
  TDebugResult r{};
  for (int i = 0; i < 199; ++i) {
    const char* bet = (i % 3 == 0) ? "12121" : (i % 3 == 1) ? "00000" : "x";
    api().SzcFltDebug(&r, bet, i % 2 == 0);
  }
  // The last was "12121" with show-all on.
  ASSERT_EQ(DynArrayLength(r.DebugLines), 2);
  EXPECT_EQ(HeaderOf(r.DebugLines[1].Condition)->RefCount, 1);
  EXPECT_EQ(r.ErrCount, 1);
  ReleaseDebugResult(r);
}

}  // namespace
}  // namespace veltrin::test
