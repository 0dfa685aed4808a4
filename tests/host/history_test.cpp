// The host's draw history and the score table it derives from it.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "filter/pro_grade.h"
#include "host/history.h"

namespace veltrin::host {
namespace {

TEST(HistoryTest, ReadsDrawsAndSkipsComments) {
  DrawHistory h;
  std::string error;
  ASSERT_TRUE(ParseHistory("# header\r\n\r\n 2024001\t01234 \r\n2024002 98765\n# end", 0, h, error))
      << error;
  ASSERT_EQ(h.Draws.size(), 2u);
  EXPECT_EQ(h.DigitCount, 5);
  EXPECT_EQ(h.Draws[0].Issue, "2024001");
  EXPECT_EQ(h.Draws[0].Digits, "01234");
  EXPECT_EQ(h.Draws[1].Digits, "98765");
}

TEST(HistoryTest, ReadsTheFormsDrawsAreWrittenIn) {
  struct Case {
    const char* text;
    const char* issue;
  } cases[] = {
      {"38172", ""},
      {"\xEF\xBB\xBF"
       "38172\r\n",
       ""},
      {"3 8 1 7 2", ""},
      {"3,8,1,7,2\r\n", ""},
      {"3\t8\t1\t7\t2", ""},
      {"2024001 38172", "2024001"},
      {"2024001,38172", "2024001"},
      {"2024001\t3 8 1 7 2", "2024001"},
      {"\xEF\xBB\xBF"
       "2024001 3,8,1,7,2",
       "2024001"},
  };
  for (const Case& c : cases) {
    DrawHistory h;
    std::string error;
    ASSERT_TRUE(ParseHistory(c.text, 5, h, error)) << c.text << ": " << error;
    ASSERT_EQ(h.Draws.size(), 1u);
    EXPECT_EQ(h.Draws[0].Digits, "38172") << c.text;
    EXPECT_EQ(h.Draws[0].Issue, c.issue) << c.text;
  }
}

TEST(HistoryTest, MalformedLinesAreNamed) {
  struct Case {
    const char* text;
    int32_t digits;
    const char* where;
  };
  for (const Case& c : {Case{"1 12a45\n", 5, "line 1"}, Case{"# c\n2024 123 45\n", 5, "line 2"},
                        Case{"1 12345\n", 3, "line 1"}, Case{"# only comments\n", 5, "no draws"},
                        Case{"", 5, "no draws"}}) {
    DrawHistory h;
    std::string error;
    EXPECT_FALSE(ParseHistory(c.text, c.digits, h, error)) << c.text;
    EXPECT_NE(error.find(c.where), std::string::npos) << error;
  }
}

TEST(HistoryTest, DrawsOfAnotherLengthAreSkippedCountedAndNamed) {
  struct Case {
    std::string text;
    int32_t digits;
    size_t draws;
    uint64_t skipped;
    const char* named;  // in SkippedText
  };
  const std::string huge(200000, '7');
  for (const Case& c : {
           Case{"1 12345\n2 1234\n3 54321\n", 0, 2, 1, "line 2: 4 digits, not 5"},
           // A line too long for any lottery sets no digit count.
           Case{"1 " + huge + "\n2 123\n3 456\n", 0, 2, 1, "line 1: 200000 digits, not 1-9"},
           Case{"1 12345678901234567890\n2 123\n", 0, 1, 1, "line 1: 20 digits"},
           Case{"1 123\n2 1234\n3 12\n4 1\n5 55\n6 66\n7 7777\n8 8\n", 3, 1, 7, "and 2 more"},
       }) {
    DrawHistory h;
    std::string error;
    ASSERT_TRUE(ParseHistory(c.text, c.digits, h, error)) << error;
    EXPECT_EQ(h.Draws.size(), c.draws) << c.named;
    EXPECT_EQ(h.Skipped, c.skipped) << c.named;
    EXPECT_NE(SkippedText(h).find(c.named), std::string::npos) << SkippedText(h);
  }
  // Nothing left: the error names the lines. A NUL byte is never a digit.
  DrawHistory h;
  std::string error;
  EXPECT_FALSE(ParseHistory(std::string("1 12345\n2 12") + '\0' + "45\n", 5, h, error));
  EXPECT_NE(error.find("line 2: holds a NUL byte"), std::string::npos) << error;
  EXPECT_FALSE(ParseHistory("1 12345678901\n", 0, h, error));
  EXPECT_NE(error.find("line 1: 11 digits"), std::string::npos) << error;
}

TEST(HistoryTest, ScoreTableGivesEveryCodeOneScoreByFrequency) {
  DrawHistory h;
  std::string error;
  // Adjacent pairs: 12 three times; 21, 23 and 30 once each; nothing else.
  ASSERT_TRUE(ParseHistory("1 1212\n2 1230\n", 4, h, error)) << error;
  const std::string text = PairScoreTableText(h);

  TArrCodeGrade table;
  ASSERT_TRUE(TProGradeFilter::ParseGradeTable(text, table));
  ASSERT_EQ(table.size(), 101u);
  std::set<unsigned> seen;
  for (size_t s = 0; s < table.size(); ++s) {
    EXPECT_EQ(table[s].Score, s);
    for (unsigned code = 0; code < 104; ++code)
      if (table[s].Has(code)) {
        EXPECT_TRUE(seen.insert(code).second) << "code " << code;
      }
  }
  EXPECT_EQ(seen.size(), 100u) << "every code 00..99 in exactly one group";
  auto scoreOf = [&](unsigned code) {
    for (const TCodeGradeItem& g : table)
      if (g.Has(code)) return int(g.Score);
    return -1;
  };
  EXPECT_EQ(scoreOf(12), 100);  // 3 of 3
  EXPECT_EQ(scoreOf(21), 33);   // 1 of 3
  EXPECT_EQ(scoreOf(23), 33);
  EXPECT_EQ(scoreOf(30), 33);
  EXPECT_EQ(scoreOf(99), 0);
  // The grid's form: "0=..." first, "100=..." last, codes as two digits.
  EXPECT_EQ(text.rfind("0=00 01 02 ", 0), 0u);
  EXPECT_NE(text.find(",100=12"), std::string::npos);
}

}  // namespace
}  // namespace veltrin::host
