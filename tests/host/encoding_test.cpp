// The host's conversions between the library's GBK and the terminal's UTF-8.
#include <gtest/gtest.h>

#include <string>

#include "common/texts.h"
#include "host/encoding.h"

namespace veltrin::host {
namespace {

// 直选 and 本容:0-1 in UTF-8.
constexpr char kStraightUtf8[] = "\xE7\x9B\xB4\xE9\x80\x89";
constexpr char kToleranceUtf8[] = "\xE6\x9C\xAC\xE5\xAE\xB9:0-1";

TEST(EncodingTest, GbkTextsReachTheTerminalAsUtf8) {
  EXPECT_EQ(GbkToUtf8(kTxtModeStraight), kStraightUtf8);
  EXPECT_EQ(GbkToUtf8(std::string(kTxtTolerance) + "0-1"), kToleranceUtf8);
  EXPECT_EQ(GbkToUtf8("12345 E|0-1"), "12345 E|0-1");
  EXPECT_EQ(GbkToUtf8(""), "");
}

TEST(EncodingTest, BytesThatAreNoGbkAreShownNotDropped) {
  EXPECT_EQ(GbkToUtf8("a\x80z"), "a\\x80z");
  EXPECT_EQ(GbkToUtf8("a\xD6"), "a\\xD6");  // a lead byte at the end
  EXPECT_EQ(GbkToUtf8("\xFF\xFF"), "\\xFF\\xFF");
}

TEST(EncodingTest, TypedConditionsBecomeGbk) {
  const std::string straightGbk = kTxtModeStraight;
  EXPECT_EQ(TypedTextToGbk(std::string(kStraightUtf8) + ":9=12:0-5", false),
            straightGbk + ":9=12:0-5");
  EXPECT_EQ(TypedTextToGbk("E|0-1", false), "E|0-1");
  // GBK bytes stay as they are, though these happen to be valid UTF-8 too.
  ASSERT_TRUE(IsUtf8(straightGbk));
  EXPECT_EQ(TypedTextToGbk(straightGbk, false), straightGbk);
  // On a GBK terminal nothing is converted.
  EXPECT_EQ(TypedTextToGbk(kStraightUtf8, true), kStraightUtf8);
}

TEST(EncodingTest, Utf8Validation) {
  EXPECT_TRUE(IsUtf8(kStraightUtf8));
  EXPECT_TRUE(IsUtf8("plain"));
  EXPECT_FALSE(IsUtf8("\xB9\xFD\xC2\xCB"));  // 过滤 in GBK
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // overlong
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(IsUtf8("\xE7\x9B"));          // cut short
}

}  // namespace
}  // namespace veltrin::host
