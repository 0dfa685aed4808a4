// What condition insight says about what it does not count one by one, and
// what it hands out for any input: intervals that hold their level, exact
// counts where they are cheap, shares that read back, valid GBK, and a
// result no larger than a small multiple of the input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "filter/binomial.h"
#include "filter/gbk_text.h"
#include "filter/insight.h"
#include "support/gbk.h"

namespace veltrin {
namespace {

using test::Straight;

std::unique_ptr<TProGradeFilter> Prepared(const std::string& text) {
  std::unique_ptr<TProGradeFilter> f(TProGradeFilter::New());
  f->FilterStr = text;
  EXPECT_TRUE(f->PrepareRun()) << text;
  return f;
}

bool ValidGbk(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const size_t n = GbkCharLength(s, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

TEST(ClopperPearson, MatchesClosedFormsAndPublishedValues) {
  struct Case {
    uint64_t kept, n;
    double level, lo, hi;
  } cases[] = {
      // k = 0 and k = n have closed forms: 1 - (a/2)^(1/n).
      {0, 10, 0.95, 0, 0.30849710781876083},
      {10, 10, 0.95, 0.69150289218123917, 1},
      {5, 10, 0.95, 0.18708602844739896, 0.81291397155260104},
      {8, 200000, 0.99, 1.2855656107449171e-05, 9.288867210811662e-05},  // by binomial sums
      {0, 1, 0.99, 0, 0.995},
  };
  for (const Case& c : cases) {
    const TShareInterval in = ClopperPearson(c.kept, c.n, c.level);
    EXPECT_NEAR(in.Lo, c.lo, 1e-4 * c.lo + 1e-12) << c.kept << "/" << c.n;
    EXPECT_NEAR(in.Hi, c.hi, 1e-4 * c.hi) << c.kept << "/" << c.n;
    EXPECT_LE(in.Lo, double(c.kept) / double(c.n));
    EXPECT_GE(in.Hi, double(c.kept) / double(c.n));
  }
}

// Settings whose exact answer is counted, sampled with many seeds: the
// stated interval holds the true share at least as often as it says, at
// small, medium and large shares (bench/insight_bench.cpp measures more).
TEST(SampleSetting, IntervalHoldsItsLevelAtEveryShare) {
  const std::string settings[] = {
      // ~0.0046%: a few kept bets per sample, where a normal bound fails.
      Straight("1=12 21 34 43 56 65 78 87 90 09", "4-5") + ";" + Straight("1=00", "0-0"),
      Straight("1=12 21 13 31", "1-2") + ";" + Straight("1=55", "0-0"),    // ~17%
      "E|0-1;" + Straight("1=12", "0-0") + ";" + Straight("1=34", "0-0"),  // ~99.9%
  };
  int held = 0, drawn = 0;
  for (const std::string& text : settings) {
    auto f = Prepared(text);
    const TSettingCount exact = CountSettingExact(*f, 6);
    ASSERT_TRUE(exact.Exact);
    for (uint64_t seed = 1; seed <= 40; ++seed) {
      const TSettingCount r = SampleSetting(*f, 6, seed);
      ASSERT_FALSE(r.Exact);
      held += r.Lo <= exact.Share && exact.Share <= r.Hi;
      ++drawn;
    }
  }
  EXPECT_GE(held, drawn * 99 / 100) << held << " of " << drawn;
}

TEST(CountSetting, ExactWhereItCostsNoMoreThanTheSample) {
  std::string many;
  for (int i = 0; i < 4801; ++i) many += Straight("1=" + std::to_string(10 + i % 90), "0-3") + ";";
  struct Case {
    std::string text;
    int digits;
    bool exact;
  } cases[] = {
      {Straight("1=00 03 52 57 66 68 83 85 92 99", "2-3"), 8, true},  // one condition: any digits
      {"E|0-0;" + Straight("1=12", "0-1"), 30, true},                 // ... with a tolerance line
      {many, 5, true},  // 100,000 candidates cost less than the sample
      {Straight("1=12", "0-1") + ";" + Straight("1=21", "0-1"), 12, false},
  };
  for (const Case& c : cases) {
    auto f = Prepared(c.text);
    const TSettingCount r = CountSetting(*f, c.digits);
    EXPECT_EQ(r.Exact, c.exact) << c.text.substr(0, 40);
    if (c.exact) {
      EXPECT_EQ(r.Lo, r.Hi);
    }
  }
}

TEST(CountSettingExact, ReportsProgressAndStopsWhenAsked) {
  auto f = Prepared(Straight("1=12 21", "0-1") + ";" + Straight("1=34", "0-0"));
  uint64_t last = 0, calls = 0;
  const TSettingCount full = CountSettingExact(*f, 7, [&](uint64_t done, uint64_t total) {
    EXPECT_EQ(total, 10000000u);
    EXPECT_GT(done, last);
    last = done;
    ++calls;
    return true;
  });
  EXPECT_TRUE(full.Exact);
  EXPECT_EQ(last, 10000000u);
  EXPECT_GE(calls, 9u);
  EXPECT_EQ(full.Kept.ToString(), CountSetting(*f, 7).Kept.ToString());
  // The explanation counts exactly on request where it would sample.
  const std::string two = Straight("1=12 21", "0-1") + ";" + Straight("1=34", "0-0");
  EXPECT_NE(FormatExplanation(two, 12, "", 0, kExplainSetting).find("\nsetting\testimate\t"),
            std::string::npos);
  EXPECT_NE(FormatExplanation(two, 7, "", 0, kExplainSetting | kExplainExact)
                .find("\nsetting\texact\t" + full.Kept.ToString() + "\t10000000\t"),
            std::string::npos);
  const TSettingCount stopped =
      CountSettingExact(*f, 7, [](uint64_t done, uint64_t) { return done < 3000000; });
  EXPECT_TRUE(stopped.Cancelled);
  EXPECT_FALSE(stopped.Exact);
  EXPECT_LT(stopped.Sample, 10000000u);
}

TEST(FormatExplanation, SharesReadBackAsTheExactRatio) {
  const std::string out =
      FormatExplanation(Straight("1=01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17", "0-2"), 7,
                        "", 0, kExplainSetting);
  const size_t at = out.find("\nkept\t1\t");
  ASSERT_NE(at, std::string::npos) << out;
  char* p = nullptr;
  const long long kept = std::strtoll(out.c_str() + at + 8, &p, 10);
  const long long total = std::strtoll(p + 1, &p, 10);
  const double share = std::strtod(p + 1, nullptr);
  EXPECT_EQ(total, 10000000);
  EXPECT_EQ(share, double(kept) / double(total)) << out.substr(at, 60);
}

TEST(FormatExplanation, IsValidGbkWhateverTheInputHeld) {
  const std::string inputs[] = {
      Straight("1=12", "0-1") + "\xB0",         // a lone lead byte at the end
      Straight("1=12", "0-1\xE4\xBD\xA0\x80"),  // UTF-8 pasted in, and 0x80
      "\xFF\xFE" + Straight("1=12", "0-1"),
  };
  for (const std::string& text : inputs) {
    const std::string out = FormatExplanation(text, 3, "1 121\n", 0, 0);
    EXPECT_TRUE(ValidGbk(out)) << out;
  }
  // A history whose first line starts with a UTF-8 byte order mark.
  const std::string out = FormatExplanation(Straight("1=12", "0-1"), 3,
                                            "\xEF\xBB\xBF"
                                            "2024001 121\n",
                                            0, kExplainDrawScores);
  EXPECT_NE(out.find("draws\t2024001=121\n"), std::string::npos) << out;
}

// A Chinese input method's full-width characters: named in plain words, and
// every quoted excerpt is whole characters.
TEST(ExplainConditionText, NamesFullWidthSlipsAndQuotesWholeCharacters) {
  struct Case {
    std::string text, slip;
  } cases[] = {
      {Straight("5=12\xA3\xAC"
                "6=21",
                "5-11"),
       "\xA3\xAC"},  // ，
      {test::kStraight + "\xA3\xBA"
                         "5=12:5-11",
       "\xA3\xBA"},  // ：
      {Straight("5=12\xA1\xA1"
                "21",
                "5-11"),
       "\xA1\xA1"},                                          // ideographic space
      {Straight("5=\xA3\xB1\xA3\xB2", "5-11"), "\xA3\xB1"},  // １２
      {"E\xA3\xFC"
       "0-1;" +
           Straight("5=12", "5-11"),
       "\xA3\xFC"},  // ｜
  };
  for (const Case& c : cases) {
    const TTextExplanation ex = ExplainConditionText(c.text, 3);
    bool named = false;
    for (const TLineExplanation& l : ex.Lines) {
      for (const TDiagnostic& d : l.Diagnostics) {
        EXPECT_TRUE(ValidGbk(d.Text)) << DiagCodeName(d.Code) << " in " << c.text;
        EXPECT_TRUE(ValidGbk(d.Message)) << DiagCodeName(d.Code) << " in " << c.text;
        named |= d.Code == TDiagCode::FullWidth && d.Text == c.slip;
      }
    }
    EXPECT_TRUE(named) << c.text;
  }
}

TEST(FormatExplanation, RunsOfEmptyLinesCostOneRecord) {
  for (const char separator : {';', '\n'}) {
    const std::string text = Straight("1=12", "0-1") + std::string(1 << 20, separator);
    const TTextExplanation ex = ExplainConditionText(text, 3);
    EXPECT_EQ(ex.LineCount, 1 << 20);  // the last separator ends the last line
    ASSERT_EQ(ex.Lines.size(), 2u);
    EXPECT_EQ(ex.Lines[1].Count, (1 << 20) - 1);
    const std::string out = FormatExplanation(text, 3, "", 0, kExplainSetting);
    EXPECT_LT(out.size(), 4096u);
  }
}

// Every mode of the table is parsed, compiled and named from the table: a
// mode without codes scores every bet 0, one with codes scores its table.
TEST(ConditionMode, TheTableDrivesParseCompileAndTheExplanation) {
  ASSERT_FALSE(Modes().empty());
  for (const TConditionMode* m : Modes()) {
    SCOPED_TRACE(m->Name);
    EXPECT_EQ(&ModeOfWord(m->Word), m);
    EXPECT_EQ(&ModeOf(m->Id), m);
    EXPECT_EQ(TProGradeFilter::ParseSelectMode(m->Word), m->Id);
    TFilterCodeGrade parsed;
    ASSERT_TRUE(TProGradeFilter::ParseCondition(std::string(m->Word) + ":7=12:0-5", parsed));
    EXPECT_EQ(CompileCondition(parsed).Score[12], m->Codes == TModeCodes::None ? 0 : 7);
    std::vector<uint8_t> codes;
    ASSERT_TRUE(m->BetToCodes("3129", codes));
    EXPECT_EQ(codes.size(), m->Codes == TModeCodes::None ? 0u : 3u);
    const std::string out = FormatExplanation(std::string(m->Word) + ":7=12:0-5", 3, "", 0, 0);
    EXPECT_NE(out.find("\t1\t" + std::string(m->Word) + "\n"), std::string::npos) << out;
    const TTextExplanation ex = ExplainConditionText(std::string(m->Word) + ":7=12:0-5", 3);
    bool warned = false;
    for (const TDiagnostic& d : ex.Lines.at(0).Diagnostics) warned |= d.Code == m->Warning;
    EXPECT_EQ(warned, m->Warns);
  }
  EXPECT_EQ(ModeOfWord(test::kStraight + " ").Id, kModeUnknown);  // byte for byte
  EXPECT_EQ(ModeOf(12345).Codes, TModeCodes::None);
}

}  // namespace
}  // namespace veltrin
