// The code-text functions of the score grid: ranges, union and difference
// over the hundred codes, and what they make of texts that hold no code.
#include <gtest/gtest.h>

#include <string>

#include "common/text.h"
#include "forms/two_code_frame.h"

namespace veltrin {
namespace {

TEST(CodeRangeText, TwoDigitsJoinedByBlanks) {
  EXPECT_EQ(CodeRangeText(8, 11), "08 09 10 11");
  EXPECT_EQ(CodeRangeText(0, 0), "00");
  EXPECT_EQ(CodeRangeText(98, 100), "98 99 100");
  EXPECT_EQ(CodeRangeText(5, 4), "");
  const std::string all = CodeRangeText(0, 99);
  EXPECT_EQ(all.size(), 299u);
  EXPECT_EQ(all.substr(0, 8), "00 01 02");
  EXPECT_EQ(all.substr(294), "98 99");
}

TEST(CodesUnionMinus, AscendingWithoutRepeats) {
  EXPECT_EQ(CodesUnion("05 01", "01 99"), "01 05 99");
  EXPECT_EQ(CodesMinus("00 01 02", "01"), "00 02");
  EXPECT_EQ(CodesUnion("", ""), "");
  EXPECT_EQ(CodesUnion("", "07"), "07");
  EXPECT_EQ(CodesMinus("07", "07"), "");
  EXPECT_EQ(CodesMinus("", "07"), "");
  EXPECT_EQ(CodesUnion("33 33 00", ""), "00 33");
  EXPECT_EQ(CodesMinus(CodeRangeText(0, 99), CodeRangeText(1, 98)), "00 99");
  // Any one character separates two codes; a lone character left over at
  // the end is no code.
  EXPECT_EQ(CodesUnion("12,21;3", "5"), "12 21");
}

TEST(CodesUnionMinus, NumbersOutsideTheCodesHaveNoMark) {
  // Pairs read as integers outside 0..99 are passed over, never marked.
  EXPECT_EQ(CodesUnion("-1 05", "-9"), "05");
  EXPECT_EQ(CodesMinus("05 06", "-1 06"), "05");
  EXPECT_EQ(CodesUnion(" 5 07", ""), "05 07");  // leading blank: integer text
}

TEST(CodesUnionMinus, PairsThatAreNoIntegerRaise) {
  EXPECT_THROW(CodesUnion("ab", ""), EConvertError);
  EXPECT_THROW(CodesUnion("01", "1 "), EConvertError);
  EXPECT_THROW(CodesMinus("12 2x", ""), EConvertError);
}

}  // namespace
}  // namespace veltrin
