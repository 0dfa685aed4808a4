#include <gtest/gtest.h>

#include <string>

#include "common/counted.h"
#include "common/texts.h"
#include "filter/pro_grade.h"
#include "support/gbk.h"

namespace veltrin {
namespace {

using test::Straight;

std::string Str(const char* s) { return std::string(CountedStrView(s)); }

class DebugTest : public testing::Test {
 protected:
  void Prepare(const std::string& text) {
    f_->FilterStr = text;
    ASSERT_TRUE(f_->PrepareRun());
  }
  void TearDown() override {
    ReleaseDebugResult(r_);
    f_->Free();
  }
  TProGradeFilter* f_ = TProGradeFilter::New();
  TDebugResult r_{};
};

const std::string kPass = Straight("0=00 01 02,1=12 21,2=", "2-48");
const std::string kFail = Straight("0=00 01 02,1=12 21,2=", "3-48");

TEST_F(DebugTest, ShowAllListsEveryConditionInOrder) {
  Prepare(kPass + "\r\n" + kFail + "\r\n");
  ASSERT_TRUE(f_->Debug("121", true, &r_));
  ASSERT_EQ(DynArrayLength(r_.DebugLines), 2);
  EXPECT_EQ(Str(r_.DebugLines[0].Condition), kPass);
  EXPECT_EQ(Str(r_.DebugLines[0].Value), "2");
  EXPECT_EQ(r_.DebugLines[0].Failed, 0);
  EXPECT_EQ(Str(r_.DebugLines[1].Condition), kFail);
  EXPECT_EQ(r_.DebugLines[1].Failed, 1);
  EXPECT_EQ(r_.ErrCount, 1);
  EXPECT_EQ(r_.SupErrCount, 0);
  EXPECT_EQ(r_.Verdict, 1);
  EXPECT_EQ(Str(r_.FilterName), "Veltrin");
  EXPECT_EQ(Str(r_.CanErrText), std::string(kTxtToleranceNone) + "<br>" + kTxtSupToleranceNone);
  EXPECT_EQ(r_.AuxText, nullptr);
}

TEST_F(DebugTest, FailingOnlyAndToleranceText) {
  Prepare("E|0-1;" + kPass + ";" + kFail);
  ASSERT_TRUE(f_->Debug("121", false, &r_));
  ASSERT_EQ(DynArrayLength(r_.DebugLines), 1);
  EXPECT_EQ(Str(r_.DebugLines[0].Condition), kFail);
  EXPECT_EQ(r_.ErrCount, 1);
  EXPECT_EQ(r_.Verdict, 0);
  // 本容:0-1<br>超容(无)
  EXPECT_EQ(Str(r_.CanErrText), std::string(kTxtTolerance) + "0-1<br>" + kTxtSupToleranceNone);
}

TEST_F(DebugTest, NothingFailsWithoutShowAll) {
  Prepare(kPass);
  ASSERT_TRUE(f_->Debug("121", false, &r_));
  EXPECT_EQ(r_.DebugLines, nullptr);
  EXPECT_EQ(r_.ErrCount, 0);
  EXPECT_EQ(r_.Verdict, 0);
}

TEST_F(DebugTest, ReleasesWhatTheRecordHeldAndAgreesWithExecute) {
  Prepare("E|1-1\r\n" + kPass + "\r\n" + kFail);
  // Old values held twice: one reference is ours, one the record's.
  char* oldName = CountedStrNew("old");
  CountedStrAddRef(oldName);
  r_.FilterName = oldName;
  r_.AuxText = CountedStrNew("aux");
  ASSERT_TRUE(f_->Debug("121", true, &r_));
  ASSERT_TRUE(f_->Debug("121", true, &r_));  // a second fill replaces the first
  EXPECT_EQ(reinterpret_cast<int32_t*>(oldName)[-2], 1);
  CountedStrRelease(oldName);
  EXPECT_EQ(r_.AuxText, nullptr);
  EXPECT_EQ(DynArrayLength(r_.DebugLines), 2);
  EXPECT_EQ(r_.Verdict, f_->Execute("121"));
  const std::string bets[] = {"121", "000", "212", "1", ""};
  for (const std::string& bet : bets) {
    ASSERT_TRUE(f_->Debug(bet.c_str(), true, &r_));
    EXPECT_EQ(r_.ErrCount, f_->CountFailed(bet.c_str())) << bet;
    EXPECT_EQ(r_.Verdict, f_->Execute(bet.c_str())) << bet;
  }
}

TEST_F(DebugTest, BetThatCannotBeEvaluated) {
  Prepare(kPass + ";" + kFail);
  ASSERT_TRUE(f_->Debug("121", true, &r_));
  EXPECT_FALSE(f_->Debug("12x1", true, &r_));
  EXPECT_EQ(r_.DebugLines, nullptr);
  EXPECT_EQ(r_.ErrCount, 0);
  EXPECT_EQ(r_.Verdict, -1);
}

TEST_F(DebugTest, DebugConditionsSlotAppends) {
  Prepare(kPass + ";" + kFail);
  ASSERT_EQ(f_->DebugConditions("121", false, &r_), 0);
  ASSERT_EQ(f_->DebugConditions("121", true, &r_), 0);
  ASSERT_EQ(DynArrayLength(r_.DebugLines), 3);
  EXPECT_EQ(r_.ErrCount, 2);
  EXPECT_EQ(Str(r_.DebugLines[0].Condition), kFail);
  EXPECT_EQ(Str(r_.DebugLines[1].Condition), kPass);
  EXPECT_LT(f_->DebugConditions("121", true, nullptr), 0);
}

TEST_F(DebugTest, PlainFilterNameReportsCountAsVerdict) {
  Prepare(kFail + ";" + kFail);
  f_->FilterName = kTxtPlainFilterName;
  ASSERT_TRUE(f_->Debug("121", false, &r_));
  EXPECT_EQ(r_.Verdict, 2);
}

}  // namespace
}  // namespace veltrin
