// Hostile input through the ten exports, the library loaded by path as a
// host loads it: absurd sizes, absurd numbers, bytes that are not digits.
// Every case has a definite answer (false, -1, the previous setting still in
// force), and every evaluation is checked against the debug record of the
// same bet, since the host shows that record to explain the verdict.
//
// Tests whose input runs to many megabytes carry "Huge" in their name, so
// that the valgrind run of scripts/sanitize.sh can leave them out.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/texts.h"
#include "support/gbk.h"
#include "tests/plugin/fake_host.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

// The setting in force before each hostile text: the bet 120 fails one
// condition and is kept (E|1-1), the bet 000 fails none and is removed.
const std::string kPrevious = "E|1-1;" + Straight("9=12", "0-0") + ";" + Straight("9=34", "0-0");

class ExportsHostileTest : public PluginTest {
 protected:
  // SzcExecute's verdict; the debug record of the same bet must agree.
  int32_t Verdict(const char* bet) {
    const int32_t verdict = api().SzcExecute(bet);
    TDebugResult r{};
    api().SzcFltDebug(&r, bet, false);
    EXPECT_EQ(r.Verdict, verdict) << "debug verdict";
    if (verdict == -1) {
      EXPECT_EQ(r.DebugLines, nullptr);
      EXPECT_EQ(r.ErrCount, 0);
    } else {
      EXPECT_EQ(DynArrayLength(r.DebugLines), r.ErrCount) << "one line per failed condition";
    }
    ReleaseDebugResult(r);
    return verdict;
  }
  int32_t Verdict(const std::string& bet) { return Verdict(bet.c_str()); }

  // The one debug line of a bet under a single condition: its value.
  std::string Value(const std::string& bet) {
    TDebugResult r{};
    api().SzcFltDebug(&r, bet.c_str(), true);
    std::string value;
    EXPECT_EQ(DynArrayLength(r.DebugLines), 1);
    if (DynArrayLength(r.DebugLines) == 1)
      value = std::string(CountedStrView(r.DebugLines[0].Value));
    ReleaseDebugResult(r);
    return value;
  }

  void UsePrevious() { ASSERT_TRUE(api().Use(kPrevious)); }
  // The text fails to prepare and the previous setting stays in force.
  void ExpectRejectedKeepingPrevious(const std::string& text) {
    api().SetFilterStr(text.c_str());
    EXPECT_FALSE(api().SzcPrepare());
    EXPECT_EQ(std::strlen(api().GetFilterStr()), text.size()) << "the text is kept as given";
    EXPECT_EQ(Verdict("120"), 0);
    EXPECT_EQ(Verdict("000"), 1);
    EXPECT_EQ(Verdict("1234"), 1);
  }
};

TEST_F(ExportsHostileTest, NullPointersToEveryExport) {
  api().SetIIWrapper(nullptr);  // none held yet: nothing to keep, nothing to release
  UsePrevious();
  api().SetFilterStr(nullptr);
  ASSERT_NE(api().GetFilterStr(), nullptr);
  EXPECT_STREQ(api().GetFilterStr(), "");
  EXPECT_FALSE(api().SzcPrepare());

  // A null bet is the empty bet: no codes, every score 0, so it fails no
  // condition and E|1-1 removes it.
  EXPECT_EQ(api().SzcExecute(nullptr), 1);
  EXPECT_EQ(api().SzcExecute(""), 1);
  api().SzcFltDebug(nullptr, nullptr, true);
  api().SzcFltDebug(nullptr, "120", false);
  TDebugResult r{};
  api().SzcFltDebug(&r, nullptr, true);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 2);
  EXPECT_EQ(CountedStrView(r.DebugLines[0].Value), "0");
  EXPECT_EQ(r.ErrCount, 0);
  EXPECT_EQ(r.Verdict, 1);
  ReleaseDebugResult(r);

  for (const char* text : {api().GetFilterName(), api().GetVersion(), api().GetAuthor()})
    EXPECT_NE(text, nullptr);
}

TEST_F(ExportsHostileTest, AZeroByteEndsTheBet) {
  ASSERT_TRUE(api().Use(Straight("9=12", "0-0")));
  const char withZero[] = "12\0ab";
  const char onlyZero[] =
      "\0"
      "12";
  EXPECT_EQ(Verdict(withZero), 1) << "read as 12";
  EXPECT_EQ(Verdict(onlyZero), 0) << "read as the empty bet";
  // The condition text ends at its zero byte in the same way.
  const std::string text = Straight("9=12", "0-0") + '\0' + "garbage:::";
  api().SetFilterStr(text.c_str());
  EXPECT_STREQ(api().GetFilterStr(), Straight("9=12", "0-0").c_str());
  EXPECT_TRUE(api().SzcPrepare());
}

TEST_F(ExportsHostileTest, BetsOfZeroOneTwoAndAMillionDigits) {
  ASSERT_TRUE(api().Use(Straight("1=12 21,7=77", "0-999999")));
  EXPECT_EQ(Value(""), "0");
  EXPECT_EQ(Value("7"), "0") << "one digit has no code";
  EXPECT_EQ(Value("77"), "7");
  EXPECT_EQ(Verdict(""), 0);
  EXPECT_EQ(Verdict("7"), 0);
  EXPECT_EQ(Verdict("77"), 0);

  // 1,000,000 digits 1212...: 999,999 codes worth 1 each.
  std::string bet;
  for (int i = 0; i < 500000; ++i) bet += "12";
  EXPECT_EQ(Value(bet), "999999");
  EXPECT_EQ(Verdict(bet), 0);
  ASSERT_TRUE(api().Use(Straight("1=12 21", "0-999998")));
  EXPECT_EQ(Verdict(bet), 1);

  // One stray byte anywhere in it makes the whole bet unusable.
  for (size_t at : {size_t(0), bet.size() / 2, bet.size() - 1}) {
    for (char stray : {' ', '+', '-', 'a', '\xFF', '\x80'}) {
      std::string bad = bet;
      bad[at] = stray;
      EXPECT_EQ(Verdict(bad), -1) << "byte " << int(static_cast<unsigned char>(stray)) << " at "
                                  << at;
    }
  }
}

TEST_F(ExportsHostileTest, OneAndTwoCharacterBetsWithStrayBytes) {
  ASSERT_TRUE(api().Use(Straight("9=12", "0-0")));
  for (const char* bet :
       {" ", "+", "-", "a", "\xFF", "\x80", "\t", "1 ", " 1", "+1", "-1", "1a", "\xD6\xB1", "1\xB1",
        "\x7F"
        "1"})
    EXPECT_EQ(Verdict(bet), -1) << "'" << bet << "'";
  EXPECT_EQ(Verdict("12"), 1) << "and the setting still evaluates";
}

TEST_F(ExportsHostileTest, HugeBetWhoseScorePassesThirtyTwoBits) {
  // 9,000,000 ones: 8,999,999 codes 11 worth 255 each, 2,294,999,745 in all,
  // which no 32-bit sum holds. The score must neither wrap into the range
  // nor read past the bet.
  ASSERT_TRUE(api().Use(Straight("255=11", "0-2147483647")));
  const std::string bet(9000000, '1');
  EXPECT_EQ(Value(bet), "2294999745");
  EXPECT_EQ(Verdict(bet), 1);
  // A short bet of the same digits still fits the range.
  EXPECT_EQ(Verdict("111"), 0);
}

TEST_F(ExportsHostileTest, HugeConditionTextOfTenMegabytes) {
  // One condition whose score table lists 3.5 million codes: the parse must
  // be linear to finish at all.
  std::string codes;
  codes.reserve(10500000);
  for (int i = 0; i < 3500000; ++i) codes += (i % 2) ? "21 " : "12 ";
  const std::string text = Straight("1=" + codes, "0-1");
  ASSERT_GT(text.size(), 10000000u);
  ASSERT_TRUE(api().Use(text));
  EXPECT_EQ(Verdict("121"), 1) << "12 and 21: 2 points";
  EXPECT_EQ(Verdict("1200"), 0);

  // Ten megabytes that are no condition text at all.
  UsePrevious();
  ExpectRejectedKeepingPrevious(std::string(10000000, 'x'));
  // A megabyte of ";": a million empty condition lines.
  ExpectRejectedKeepingPrevious(std::string(1000000, ';'));
  ExpectRejectedKeepingPrevious(std::string(10000000, '\xB0'));
}

TEST_F(ExportsHostileTest, HugeTextOfAMillionConditionLines) {
  // Every line passes the bet 12 but the last one, which only the full
  // count reaches.
  const std::string passes = Straight("1=12", "0-1") + "\n";
  std::string text = "E|1-1\n";
  text.reserve(passes.size() * 1000000 + 64);
  for (int i = 0; i < 999999; ++i) text += passes;
  text += Straight("1=12", "0-0");
  ASSERT_TRUE(api().Use(text));
  EXPECT_EQ(Verdict("12"), 0) << "one failure, kept by E|1-1";
  EXPECT_EQ(Verdict("00"), 1) << "no failure, removed by E|1-1";
  TDebugResult r{};
  api().SzcFltDebug(&r, "12", false);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 1);
  EXPECT_EQ(r.ErrCount, 1);
  EXPECT_EQ(CountedStrView(r.DebugLines[0].Condition), Straight("1=12", "0-0"));
  ReleaseDebugResult(r);
}

TEST_F(ExportsHostileTest, LinesWithThousandsOfColonsOrEquals) {
  const std::string colons(5000, ':');
  const std::string equals(5000, '=');
  std::string sepEquals;  // codes separated by "=" instead of a blank
  for (int i = 0; i < 3000; ++i) sepEquals += "12=";

  UsePrevious();
  ExpectRejectedKeepingPrevious(Straight("9=12", colons + "0-5"));
  ExpectRejectedKeepingPrevious(kStraight + colons);
  ExpectRejectedKeepingPrevious(Straight("9" + equals + "12", "0-5"));
  ExpectRejectedKeepingPrevious(colons);
  ExpectRejectedKeepingPrevious(equals);

  // A table that begins with "=" is empty: every bet scores 0.
  ASSERT_TRUE(api().Use(Straight(equals + "12", "0-0")));
  EXPECT_EQ(Verdict("1212"), 0);
  // The character between two codes is skipped whatever it is.
  ASSERT_TRUE(api().Use(Straight("5=" + sepEquals, "0-9")));
  EXPECT_EQ(Value("1212"), "10");
  EXPECT_EQ(Verdict("1212"), 1);
  EXPECT_EQ(Verdict("121"), 0);
}

TEST_F(ExportsHostileTest, ScoresAndBoundsPastThirtyTwoBits) {
  struct Case {
    std::string table, range;
    bool prepares;
    const char* value;  // of the bet 12, when it prepares
  };
  const Case cases[] = {
      {"2147483647=12", "0-5", true, "255"},  // low 8 bits of the score
      {"-2147483648=12", "0-5", true, "0"},
      {"4294967297=12", "0-5", false, ""},
      {"2147483648=12", "0-5", false, ""},
      {"-2147483649=12", "0-5", false, ""},
      {"99999999999999999999999=12", "0-5", false, ""},
      {"5=12", "0-2147483647", true, "5"},
      {"5=12", "+5-+5", true, "5"},
      {"5=12", "0-2147483648", false, ""},
      {"5=12", "2147483648-5", false, ""},
      {"5=12", "0-4294967301", false, ""},
      {"5=12", "4294967301", false, ""},
      {"5=12", "0-99999999999999999999999", false, ""},
      {"5=12", "-2147483648-0", false, ""},  // the lower bound is empty
      {"5=4294967308", "0-5", true, "0"},    // codes 42, 49 and 73
  };
  for (const Case& c : cases) {
    const std::string text = Straight(c.table, c.range);
    SCOPED_TRACE(text);
    if (c.prepares) {
      ASSERT_TRUE(api().Use(text));
      EXPECT_EQ(Value("12"), c.value);
      Verdict("12");
    } else {
      UsePrevious();
      ExpectRejectedKeepingPrevious(text);
    }
  }
}

TEST_F(ExportsHostileTest, ToleranceLinesWithHugeBounds) {
  const std::string fails12 = ";" + Straight("9=12", "0-0");
  struct Case {
    std::string tolerance;
    const char* canErrText;    // after 本容:, before <br>
    int32_t passing, failing;  // verdicts for a bet failing 0 and 1 conditions
  };
  const Case cases[] = {
      // The upper bound is read from its first nine characters.
      {"E|0-99999999999", "0-999999999", 0, 0},
      {"E|1-2147483647", "1-214748364", 1, 0},
      {"E|2147483647-2147483647", "2147483647-214748364", 1, 1},
      {"E|0-999999", "0-999999", 0, 0},
      {"E|0-999998", "0-999998", 0, 0},
      {"E|1-+99999999999", "1-99999999", 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tolerance);
    ASSERT_TRUE(api().Use(c.tolerance + fails12));
    EXPECT_EQ(Verdict("00"), c.passing);
    EXPECT_EQ(Verdict("12"), c.failing);
    TDebugResult r{};
    api().SzcFltDebug(&r, "12", true);
    EXPECT_EQ(CountedStrView(r.CanErrText),
              std::string(kTxtTolerance) + c.canErrText + "<br>" + kTxtSupToleranceNone);
    ReleaseDebugResult(r);
  }
  // Bounds that do not convert leave the line in the text as a condition,
  // which then fails to prepare.
  for (const std::string& tolerance : {std::string("E|99999999999-5"), std::string("E|-5-3"),
                                       std::string("E|2147483648-9"), std::string("E|0-x")}) {
    UsePrevious();
    ExpectRejectedKeepingPrevious(tolerance + fails12);
  }
}

// On Windows SzcOpen shows a modal dialog once the dialogs are part of the
// library; natively it only asks the host for the lottery.
#if !defined(_WIN32) || !defined(VELTRIN_WITH_DIALOGS)

TEST_F(ExportsHostileTest, LotteryDescriptionsOutOfAllReason) {
  CountingHost host;
  api().SetIIWrapper(&host);
  UsePrevious();
  host.lotteryText = CountedStrNew("any lottery");
  for (int32_t status : {kS_OK, kE_FAIL}) {
    for (int32_t digits : {INT32_MIN, -1, 0, 101, 1000000, INT32_MAX}) {
      SCOPED_TRACE(std::to_string(status) + " " + std::to_string(digits));
      host.lotteryInfoStatus = status;
      host.digitCount = digits;
      EXPECT_TRUE(api().SzcOpen(digits));
      // The description's text is released whatever the status said.
      EXPECT_EQ(HeaderOf(host.lotteryText)->RefCount, 1);
      EXPECT_EQ(api().GetFilterStr(), kPrevious);
      EXPECT_EQ(Verdict("120"), 0);
    }
  }
  CountedStrRelease(host.lotteryText);
  library().Unload();
  EXPECT_EQ(host.Refs, 0);
}

#endif

}  // namespace
}  // namespace veltrin::test
