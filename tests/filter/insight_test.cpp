#include "filter/insight.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "filter/pro_grade_kernels.h"
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

FilterPtr Prepared(const std::string& text) {
  FilterPtr f(TProGradeFilter::New());
  f->FilterStr = text;
  EXPECT_TRUE(f->PrepareRun()) << text;
  return f;
}

TCompiledCondition CompiledOf(const std::string& line) {
  return Prepared(line)->Conditions().at(0);
}

// Every N-digit candidate scored by the engine, counted by score.
std::vector<uint64_t> Enumerated(const TCompiledCondition& c, int digits) {
  std::vector<uint64_t> counts;
  std::string bet(size_t(digits), '0');
  std::vector<uint8_t> codes;
  uint64_t total = 1;
  for (int i = 0; i < digits; ++i) total *= 10;
  for (uint64_t k = 0; k < total; ++k) {
    EXPECT_TRUE(DecodeBet(bet, codes));
    const size_t s = size_t(ScoreCompiled(codes, c));
    if (counts.size() <= s) counts.resize(s + 1, 0);
    ++counts[s];
    for (int d = digits - 1; d >= 0 && ++bet[size_t(d)] > '9'; --d) bet[size_t(d)] = '0';
  }
  return counts;
}

TEST(ScoreDistribution, MatchesEnumerationOfEveryCandidate) {
  const std::string lines[] = {
      Straight("0=00 01 02,1=12 21,2=", "2-48"),
      Straight("7=12,3=21 99,255=55,5=12", "0-10"),        // first group wins, top score
      Straight("1=01 03 05 07 09 11 13 15 17 19", "1-3"),  // many codes, one score
      kGroup + ":5=12 21:0-5",                             // no codes: all score 0
  };
  for (const std::string& line : lines) {
    const TCompiledCondition c = CompiledOf(line);
    for (int digits = 1; digits <= 6; ++digits) {
      const std::vector<uint64_t> expected = Enumerated(c, digits);
      const TScoreDistribution d = ScoreDistribution(c, digits);
      ASSERT_EQ(d.MaxScore() + 1, int32_t(expected.size())) << line << " @" << digits;
      for (size_t s = 0; s < expected.size(); ++s)
        EXPECT_EQ(d.At(int64_t(s)).Low64(), expected[s]) << line << " @" << digits << " s" << s;
      EXPECT_EQ(d.Between(-5, 1 << 20), d.Total());
    }
  }
}

TEST(ScoreDistribution, CountsPastSixtyFourBitsAreExact) {
  // A code scores 1 when its second digit is odd: the score of a bet is the
  // number of odd digits after the first, so 10 x C(N-1, k) x 5^(N-1)
  // candidates score k (values from an independent big-integer reckoning).
  std::string table = "1=";
  for (int code = 0; code < 100; ++code)
    if (code % 2) table += (code < 10 ? "0" : "") + std::to_string(code) + " ";
  table.pop_back();
  const TScoreDistribution d = ScoreDistribution(CompiledOf(Straight(table, "0-5")), 30);
  EXPECT_EQ(d.At(14).ToString(), "144464448094367980957031250000");
  EXPECT_EQ(d.At(0).ToString(), "1862645149230957031250");
  EXPECT_EQ(d.Between(0, 29).ToString(), "1" + std::string(30, '0'));
  EXPECT_EQ(d.MaxScore(), 29);
  // 100 digits: 10^100 candidates in all.
  const TScoreDistribution top = ScoreDistribution(CompiledOf(Straight(table, "0-5")), 100);
  EXPECT_EQ(top.Between(0, 99).ToString(), "1" + std::string(100, '0'));
  EXPECT_EQ(ShareOfPowerOf10(TBigCount(1234), 5), "0.01234");
  EXPECT_EQ(ShareOfPowerOf10(TBigCount::PowerOf10(3), 3), "1");
}

// What the explanation says about one text: validity, and the diagnostic
// codes of each line.
struct ExplainCase {
  std::string text;
  bool valid;
  int line;  // the line the diagnostic belongs to (0: the whole text)
  TDiagCode code;
  std::string offending;  // the text it names ("" : not checked)
};

bool Has(const TTextExplanation& ex, const ExplainCase& c) {
  const std::vector<TDiagnostic>* list = &ex.Diagnostics;
  for (const TLineExplanation& l : ex.Lines)
    if (l.Number == c.line) list = &l.Diagnostics;
  for (const TDiagnostic& d : *list)
    if (d.Code == c.code && (c.offending.empty() || d.Text == c.offending)) return true;
  return false;
}

TEST(ExplainConditionText, SaysWhatTheEngineReads) {
  const std::string ok = Straight("1=12 21", "0-5");
  const ExplainCase cases[] = {
      // The typing mistakes of everyday use: all valid, all explained.
      {"E|0-1; " + ok, true, 2, TDiagCode::LineBlanks, ""},
      {"E|0-1; " + ok, true, 2, TDiagCode::ModeBlanks, " " + kStraight},
      {"1=12 21:1-2", true, 1, TDiagCode::ModeUnknown, "1=12 21"},
      {"1=12 21:1-2", true, 1, TDiagCode::TableEmpty, "1-2"},
      {"1=12 21:1-2", true, 1, TDiagCode::RangeKeepsNothing, "1-2"},
      {kGroup + ":1=12:0-5", true, 1, TDiagCode::ModeGroup, kGroup},
      {kStraight + " :1=12:0-5", true, 1, TDiagCode::ModeBlanks, kStraight + " "},
      {Straight("5=12  21", "0-5"), true, 1, TDiagCode::CodeNotTwoDigits, " 2"},
      {Straight("5=12  21", "0-5"), true, 1, TDiagCode::CodeLeftover, "1"},
      {Straight("5=12,21", "0-5"), true, 1, TDiagCode::GroupNoEquals, "21"},
      {Straight("300=12", "0-5"), true, 1, TDiagCode::ScoreWraps, "300"},
      {Straight("5=12", "5-1"), true, 1, TDiagCode::RangeReversed, "5-1"},
      {Straight("5=12,9=12", "0-9"), true, 1, TDiagCode::CodeRepeated, "12"},
      {Straight("5=12|21", "0-9"), true, 1, TDiagCode::CodeSeparator, "|"},
      {Straight("5=-1", "0-9"), true, 1, TDiagCode::CodeOutside, "-1"},
      {Straight("5=12", "5"), true, 1, TDiagCode::RangeNoDash, "5"},
      {Straight("5=12", "0-400"), true, 1, TDiagCode::RangeKeepsAll, "0-400"},
      {"5", true, 1, TDiagCode::NoColon, "5"},
      {"S|0-1;" + ok, true, 1, TDiagCode::SupToleranceLine, ""},
      {"E|0-5;" + ok, true, 1, TDiagCode::ToleranceAboveCount, "0-5"},
      {"E|2-3;" + ok, true, 1, TDiagCode::ToleranceKeepsNothing, "2-3"},
      {"Ex0-1;" + ok, true, 1, TDiagCode::ToleranceSeparator, "x"},
      // Invalid: the line, the field and the text that stops Prepare.
      {Straight("5=1x", "0-5"), false, 1, TDiagCode::BadCode, "1x"},
      {Straight("x=12", "0-5"), false, 1, TDiagCode::BadScore, "x"},
      {Straight("5=12", "-1-5"), false, 1, TDiagCode::BadLower, ""},
      {Straight("5=12", "0-5 "), false, 1, TDiagCode::BadUpper, "5 "},
      {ok + ";;" + ok, false, 2, TDiagCode::EmptyLine, ""},
      {ok + ";E|0-1", false, 2, TDiagCode::ToleranceNotFirst, ""},
      {"E|x-1;" + ok, false, 1, TDiagCode::ToleranceUnread, "x"},
      {"E|1-2:x:0-5", true, 1, TDiagCode::ToleranceLeftOn, ""},
      {"  \r\n ", false, 0, TDiagCode::BlankText, ""},
      {"E|0-1", false, 0, TDiagCode::NoConditions, ""},
  };
  for (const ExplainCase& c : cases) {
    const TTextExplanation ex = ExplainConditionText(c.text, 3);
    EXPECT_EQ(ex.Valid, c.valid) << c.text;
    EXPECT_TRUE(Has(ex, c)) << c.text << " lacks " << DiagCodeName(c.code);
    // The verdict is Prepare's, whatever the explanation adds.
    FilterPtr f(TProGradeFilter::New());
    f->FilterStr = c.text;
    EXPECT_EQ(f->PrepareRun(), ex.Valid) << c.text;
  }
  // A clean line has nothing to say.
  const TTextExplanation clean =
      ExplainConditionText("E|0-0\r\n" + Straight("1=12 21", "0-1") + "\r\n", 3);
  for (const TLineExplanation& l : clean.Lines) EXPECT_TRUE(l.Diagnostics.empty()) << l.Text;
  ASSERT_EQ(clean.Lines.size(), 2u);
  EXPECT_EQ(clean.Lines[0].Kind, TLineKind::Tolerance);
  EXPECT_EQ(clean.Lines[1].Compiled.Score[12], 1);
  EXPECT_EQ(clean.Lines[1].Compiled.Score[21], 1);
  EXPECT_EQ(clean.Lines[1].Compiled.Score[13], 0);
}

TEST(ExplainConditionText, NamesTheFirstInvalidLineAndField) {
  const TTextExplanation ex =
      ExplainConditionText("E|0-1;" + Straight("1=12", "0-5") + ";" + Straight("1=12", "0-x"), 5);
  int32_t line = -1;
  const TDiagnostic* d = ex.FirstInvalid(&line);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(line, 3);
  EXPECT_EQ(d->Field, TField::Range);
  EXPECT_EQ(d->Text, "x");
  EXPECT_NE(d->Message.find('x'), std::string::npos);
}

TEST(CountSetting, ExactCountIsTheEnginesVerdictOverEveryCandidate) {
  const std::string texts[] = {
      Straight("1=12 21 13 31", "1-2"),
      "E|1-2;" + Straight("1=12 21", "1-9") + ";" + Straight("2=33 44,1=34", "0-2") + ";" +
          Straight("9=00", "0-0"),
  };
  for (const std::string& text : texts) {
    FilterPtr f = Prepared(text);
    const TSettingCount r = CountSetting(*f, 5);
    ASSERT_TRUE(r.Exact);
    uint64_t kept = 0, all = 0;
    char bet[6] = "00000";
    for (int k = 0; k < 100000; ++k) {
      kept += f->Execute(bet) == kVerdictKeep;
      for (int d = 4; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
    }
    for (const TBigCount& n : r.FailHistogram) all += n.Low64();
    EXPECT_EQ(r.Kept.Low64(), kept) << text;
    EXPECT_EQ(all, 100000u);
    // One condition is counted from its distribution, more one by one.
    EXPECT_EQ(r.Sample, f->Conditions().size() == 1 ? 0u : 100000u);
  }
}

TEST(CountSetting, EstimateLiesWithinItsIntervalOfTheExactShare) {
  // One condition is counted exactly from its distribution; two the same
  // keep what one keeps, and are sampled.
  const std::string line = Straight("1=12 21 13 31 45 54 67 76,3=00 99", "1-3");
  FilterPtr one = Prepared(line);
  const TSettingCount exact = CountSetting(*one, 12);
  ASSERT_TRUE(exact.Exact);
  EXPECT_EQ(exact.Share, ScoreDistribution(one->Conditions()[0], 12).Share(1, 3));
  FilterPtr f = Prepared(line + ";" + line);
  const TSettingCount r = CountSetting(*f, 12);
  ASSERT_FALSE(r.Exact);
  EXPECT_LE(r.Sample, kSampleSize);
  EXPECT_GT(r.HalfWidth(), 0.0);
  EXPECT_LT(r.HalfWidth(), 0.01);
  EXPECT_LE(r.Lo, exact.Share);
  EXPECT_GE(r.Hi, exact.Share);
}

TEST(HistoryHits, ScoresTheLatestDrawsFirst) {
  FilterPtr f = Prepared(Straight("1=12 21,5=99", "1-5") + ";" + Straight("2=00", "0-0"));
  const std::vector<THistoryDraw> draws = {
      {"1", "121"}, {"2", "999"}, {"3", "1x2"}, {"4", "000"}, {"5", "345"}};
  const THistoryHits h = HistoryHits(*f, draws, 3);
  ASSERT_EQ(h.Draws.size(), 3u);  // 345, 000, 999: the stray draw is left out
  EXPECT_EQ(h.Draws[0]->Digits, "345");
  EXPECT_EQ(h.Draws[2]->Digits, "999");
  EXPECT_EQ(h.Score(0, 2), 10);
  EXPECT_EQ(h.Score(1, 1), 4);
  EXPECT_EQ(h.Hits[0], 0);  // 0, 0, 10: none in 1-5
  EXPECT_EQ(h.Hits[1], 2);  // 345 and 999 score 0
  EXPECT_EQ(h.Failed, (std::vector<int32_t>{1, 2, 1}));
  EXPECT_EQ(h.Kept, (std::vector<uint8_t>{0, 0, 0}));
  EXPECT_EQ(HistoryHits(*f, draws, 0).Draws.size(), 4u);
}

TEST(FormatExplanation, IsVersionedCompleteAndEscaped) {
  const std::string text = "E|0-1;" + Straight("1=12 21", "0-1") + ";a\tb";
  const std::string out =
      FormatExplanation(text, 3, "# draws\n1 121\n2 12\n3 777\n", 0, kExplainDrawScores);
  EXPECT_EQ(out.rfind("VELTRIN-EXPLAIN\t1\n", 0), 0u);
  EXPECT_NE(out.find("\nend\n"), std::string::npos);
  EXPECT_NE(out.find("\ttolerance\t"), std::string::npos);
  EXPECT_NE(out.find("a\\tb"), std::string::npos);       // a tab in a line stays in its field
  EXPECT_NE(out.find("hdiag\t3\t"), std::string::npos);  // "2 12" is no 3-digit draw
  // "a\tb" is invalid: no history is scored, nothing is counted.
  EXPECT_EQ(out.find("\nhits\t"), std::string::npos);
  const std::string good = FormatExplanation(Straight("1=12 21", "0-1"), 3, "1 121\n3 777\n", 0,
                                             kExplainDrawScores | kExplainSetting);
  EXPECT_NE(good.find("kept\t1\t998\t1000\t0.998\t0\t2\n"), std::string::npos) << good;
  EXPECT_NE(good.find("hits\t1\t1\t2\n"), std::string::npos) << good;
  EXPECT_NE(good.find("drawscores\t1\t0 2\n"), std::string::npos) << good;
  EXPECT_NE(good.find("setting\texact\t998\t1000\t"), std::string::npos) << good;
  EXPECT_NE(good.find("failures\t998 2\n"), std::string::npos) << good;
}

}  // namespace
}  // namespace veltrin
