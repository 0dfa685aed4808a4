#include "filter/pro_grade.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/gbk.h"

namespace veltrin {
namespace {

using test::kGroup;
using test::kStraight;
using test::Straight;

struct FilterDeleter {
  void operator()(TFilter* f) const { f->Free(); }
};
using FilterPtr = std::unique_ptr<TProGradeFilter, FilterDeleter>;

FilterPtr NewFilter(const std::string& text) {
  FilterPtr f(TProGradeFilter::New());
  f->FilterStr = text;
  return f;
}

TEST(BetToCodes, WorkedExamples) {
  struct Case {
    const char* bet;
    std::vector<uint8_t> codes;
  } cases[] = {
      {"123", {12, 23}}, {"5090", {50, 9, 90}},  {"1111", {11, 11, 11}}, {"7", {}},
      {"", {}},          {"3719", {37, 71, 19}},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> codes{99};
    ASSERT_TRUE(TProGradeFilter::BetToCodes(c.bet, kModeStraight, codes)) << c.bet;
    EXPECT_EQ(codes, c.codes) << c.bet;
  }
}

TEST(BetToCodes, OtherModesLeaveListAndStrayCharactersFail) {
  std::vector<uint8_t> codes{1, 2};
  EXPECT_TRUE(TProGradeFilter::BetToCodes("123", kModeGroup, codes));
  EXPECT_EQ(codes, (std::vector<uint8_t>{1, 2}));
  for (const char* bad : {"12a", " 12", "1-2", "+12", "1 2", "\xB9\xFD"}) {
    EXPECT_FALSE(TProGradeFilter::BetToCodes(bad, kModeStraight, codes)) << bad;
    EXPECT_EQ(codes, (std::vector<uint8_t>{1, 2})) << "untouched on failure: " << bad;
  }
}

TEST(SelectMode, ExactBytesOnly) {
  EXPECT_EQ(TProGradeFilter::ParseSelectMode(kStraight), kModeStraight);
  EXPECT_EQ(TProGradeFilter::ParseSelectMode(kGroup), kModeGroup);
  EXPECT_EQ(TProGradeFilter::ParseSelectMode(kStraight + " "), kModeUnknown);
  EXPECT_EQ(TProGradeFilter::ParseSelectMode(""), kModeUnknown);
}

// Score of `bet` under `table` with the first-group rule.
int64_t Score(const std::string& table, const std::string& bet) {
  TArrCodeGrade parsed;
  EXPECT_TRUE(TProGradeFilter::ParseGradeTable(table, parsed)) << table;
  std::vector<uint8_t> codes;
  EXPECT_TRUE(TProGradeFilter::BetToCodes(bet, kModeStraight, codes));
  return TProGradeFilter::ScoreCodes(codes, parsed);
}

TEST(GradeTable, ScoringRules) {
  struct Case {
    const char* table;
    const char* bet;
    int64_t score;
  } cases[] = {
      {"0=00 01 02,1=12 21,2=", "121", 2},
      {"5=12 21 3", "121", 10},  // leftover "3" ignored
      {"5=12,21", "121", 26},    // second group: score 21 holding code 21
      {"=12 21", "121", 0},      // first "=" first: empty table
      {"12 21", "121", 0},       // no "=": empty table
      {"300=12", "12", 44},      // low 8 bits
      {"-1=12", "12", 255},
      {"5=12,9=12", "12", 5},  // first group wins
      {"9=12", "1212", 18},    // repeats count each time
      {"7=12;13", "12", 7},    // separator character is not checked
      {" 4 = 12 ", "12", 0},   // "4 " is not integer text
      {"4=12,,6=21", "121", 10},
  };
  for (const Case& c : cases) {
    if (std::string(c.table) == " 4 = 12 ") {
      TArrCodeGrade t;
      EXPECT_FALSE(TProGradeFilter::ParseGradeTable(c.table, t));
      continue;
    }
    EXPECT_EQ(Score(c.table, c.bet), c.score) << c.table << " / " << c.bet;
  }
}

TEST(GradeTable, OneEntryPerGroupAndCodeLimits) {
  TArrCodeGrade t;
  ASSERT_TRUE(TProGradeFilter::ParseGradeTable("1=00,,2=99 -1 03", t));
  ASSERT_EQ(t.size(), 3u);  // the empty group still yields an entry
  EXPECT_TRUE(t[0].Has(0));
  EXPECT_EQ(t[1].Score, 0);
  EXPECT_TRUE(t[2].Has(99));
  EXPECT_TRUE(t[2].Has(3));
  ASSERT_TRUE(TProGradeFilter::ParseGradeTable("1=103 104", t));
  // "10" and "10": positions 1-2 and 4-5.
  EXPECT_TRUE(t[0].Has(10));
  EXPECT_FALSE(TProGradeFilter::ParseGradeTable("1=1x", t));
  EXPECT_FALSE(TProGradeFilter::ParseGradeTable("x=12", t));
}

TEST(Condition, LineFields) {
  TFilterCodeGrade c;
  ASSERT_TRUE(TProGradeFilter::ParseCondition(Straight("0=00 01 02,1=12 21,2=", "2-48"), c));
  EXPECT_EQ(c.Mode, kModeStraight);
  EXPECT_EQ(c.Lower, 2);
  EXPECT_EQ(c.Upper, 48);
  ASSERT_TRUE(TProGradeFilter::ParseCondition(Straight("1=12", "5"), c));
  EXPECT_EQ(c.Lower, 5);
  EXPECT_EQ(c.Upper, 5);
  EXPECT_FALSE(TProGradeFilter::ParseCondition(Straight("1=12", "-1-5"), c));
  EXPECT_FALSE(TProGradeFilter::ParseCondition(Straight("1=12", "-"), c));
  EXPECT_FALSE(TProGradeFilter::ParseCondition(Straight("1=12", "1-99999999999"), c));
  // No ":" at all: the whole line is mode, table and range.
  ASSERT_TRUE(TProGradeFilter::ParseCondition("7", c));
  EXPECT_EQ(c.Mode, kModeUnknown);
  EXPECT_EQ(c.Lower, 7);
  EXPECT_FALSE(TProGradeFilter::ParseCondition("abc", c));
  // A "-" inside the table does no harm.
  ASSERT_TRUE(TProGradeFilter::ParseCondition(Straight("1=12 -1", "3-4"), c));
  EXPECT_EQ(c.Lower, 3);
}

TEST(Evaluation, CountsFailingConditions) {
  const std::string c1 = Straight("0=00 01 02,1=12 21,2=", "2-48");  // "121" scores 2
  const std::string c2 = Straight("0=00 01 02,1=12 21,2=", "3-48");  // fails "121"
  const std::string c3 = Straight("9=12", "10-5");                   // empty range
  const std::string c4 = kGroup + ":1=12:0-10";                      // scores 0, passes
  const std::string c5 = kGroup + ":1=12:1-10";                      // scores 0, fails
  FilterPtr f = NewFilter(c1 + ";" + c2 + ";" + c3 + ";" + c4 + ";" + c5);
  ASSERT_TRUE(f->PrepareRun());
  EXPECT_EQ(f->CountFailed("121"), 3);
  EXPECT_EQ(f->RawCount("121"), 3);
  EXPECT_EQ(f->CountFailed("12a"), kBetInvalid);
  EXPECT_EQ(f->CountFailed(""), 4);  // no codes: score 0 everywhere
  EXPECT_EQ(f->CountFailed(nullptr), 4);
  EXPECT_EQ(f->Execute("121"), kVerdictRemove);
  EXPECT_EQ(f->Execute("1 21"), kBetInvalid);
}

struct VerdictCase {
  const char* tolerance;  // prefix line, or ""
  int32_t failing;        // conditions the bet fails (out of 4)
  int32_t verdict;
};

TEST(Evaluation, VerdictUnderTolerance) {
  // Four conditions on the bet "121" (score 2): the first k fail.
  auto text = [](const char* tol, int32_t k) {
    std::string t = tol;
    for (int32_t i = 0; i < 4; ++i) t += Straight("1=12 21", i < k ? "3-9" : "0-9") + "\r\n";
    return t;
  };
  const VerdictCase cases[] = {
      {"", 0, 0},          {"", 1, 1},          {"", 4, 1},          {"E|2-3\r\n", 0, 1},
      {"E|2-3\r\n", 1, 1}, {"E|2-3\r\n", 2, 0}, {"E|2-3\r\n", 3, 0}, {"E|2-3\r\n", 4, 1},
      {"E|0-0\r\n", 0, 0}, {"E|0-0\r\n", 1, 1}, {"E|1-2\r\n", 0, 1}, {"E|1-2\r\n", 2, 0},
      {"E|3-1\r\n", 2, 1},
  };
  for (const VerdictCase& c : cases) {
    FilterPtr f = NewFilter(text(c.tolerance, c.failing));
    ASSERT_TRUE(f->PrepareRun());
    EXPECT_EQ(f->CountFailed("121"), c.failing);
    EXPECT_EQ(f->Execute("121"), c.verdict) << c.tolerance << c.failing;
    f->UseVerdict = false;
    EXPECT_EQ(f->Execute("121"), c.failing);
  }
}

TEST(Evaluation, MapVerdictTable) {
  FilterPtr f = NewFilter("");
  EXPECT_EQ(f->MapVerdict(999999), 999999);
  EXPECT_EQ(f->MapVerdict(0), 0);
  EXPECT_EQ(f->MapVerdict(3), 1);
  EXPECT_EQ(f->MapVerdict(-2), 0);
  ASSERT_TRUE(f->ParseCanErr("E|2-3"));
  EXPECT_EQ(f->MapVerdict(999999), 999999);
  EXPECT_EQ(f->MapVerdict(1), 1);
  EXPECT_EQ(f->MapVerdict(2), 0);
  EXPECT_EQ(f->MapVerdict(4), 1);
}

TEST(Prepare, FailureKeepsPreviousSetWhole) {
  FilterPtr f = NewFilter("E|0-0\r\n" + Straight("1=12 21", "0-1"));
  ASSERT_TRUE(f->PrepareRun());
  EXPECT_EQ(f->Execute("121"), kVerdictRemove);  // scores 2
  const std::vector<std::string> lines = f->ConditionList;

  for (const std::string& bad :
       {std::string("E|1-1\r\n") + Straight("1=12", "0-1") + "\r\n" + Straight("x=1", "0-1"),
        std::string("   "), std::string("E|1-2"), Straight("1=12", "a-b")}) {
    f->FilterStr = bad;
    EXPECT_FALSE(f->PrepareRun()) << bad;
    EXPECT_EQ(f->ConditionList, lines);
    EXPECT_TRUE(f->CanErr);
    EXPECT_EQ(f->CanErrMax, 0);
    EXPECT_EQ(f->Conditions().size(), 1u);
    EXPECT_EQ(f->Execute("121"), kVerdictRemove);
    EXPECT_EQ(f->Execute("111"), kVerdictKeep);
  }
}

TEST(Prepare, BeforeAnyPrepareEvaluationIsSafe) {
  FilterPtr f = NewFilter(Straight("1=12", "5-9"));
  EXPECT_EQ(f->CountFailed("12"), 0);
  EXPECT_EQ(f->Execute("12"), kVerdictKeep);
  TDebugResult r{};
  EXPECT_TRUE(f->Debug("12", true, &r));
  EXPECT_EQ(r.DebugLines, nullptr);
  ReleaseDebugResult(r);
}

TEST(Prepare, LongTextsAndLongBets) {
  // A few megabytes of conditions parse, and a long bet sums without overflow.
  std::string text;
  const std::string line = Straight("255=00 11 22 33 44 55 66 77 88 99", "0-2147483647");
  while (text.size() < 4'000'000) text += line + ";";
  FilterPtr f = NewFilter(text);
  ASSERT_TRUE(f->PrepareRun());
  EXPECT_GT(f->Conditions().size(), 50'000u);
  FilterPtr g = NewFilter(Straight("255=00", "0-2147483647"));
  ASSERT_TRUE(g->PrepareRun());
  EXPECT_EQ(g->CountFailed(std::string(9'000'000, '0').c_str()), 1);  // 255 x 8999999 > 2^31
  EXPECT_EQ(g->CountFailed(std::string(1000, '0').c_str()), 0);
}

TEST(Prepare, CreateMakesFreshObjectOfSameClass) {
  FilterPtr f = NewFilter(Straight("1=12", "0-1"));
  ASSERT_TRUE(f->PrepareRun());
  TFilter* g = f->Create();
  ASSERT_NE(g, nullptr);
  EXPECT_EQ(g->FilterName, "Veltrin");
  EXPECT_EQ(g->FilterStr, "");
  EXPECT_EQ(g->CountFailed("1212"), 0);
  EXPECT_NE(dynamic_cast<TProGradeFilter*>(g), nullptr);
  g->Free();
}

}  // namespace
}  // namespace veltrin
