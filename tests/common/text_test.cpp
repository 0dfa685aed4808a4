#include "common/text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace veltrin {
namespace {

using namespace std::string_literals;

// 直选 in GBK.
constexpr char kStraight[] = "\xD6\xB1\xD1\xA1";

struct SplitCase {
  std::string text;
  char sep;
  std::string before;
  std::string after;
};

TEST(TextSplit, BeforeAndAfterFirstSeparator) {
  const SplitCase cases[] = {
      {"2-48", '-', "2", "48"},
      {"48", '-', "48", "48"},
      {":x", ':', "", "x"},
      {"x:", ':', "x", ""},
      {":", ':', "", ""},
      {"a:b:c", ':', "a", "b:c"},
      {"", ':', "", ""},
      {"A:a", 'a', "A:", ""},  // no case folding
      {" 5 = 12 34", '=', " 5 ", " 12 34"},
      {kStraight + ":T:2-48"s, ':', kStraight, "T:2-48"},
      {"T:2-48", ':', "T", "2-48"},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(TextBefore(c.text, c.sep), c.before) << c.text;
    EXPECT_EQ(TextAfter(c.text, c.sep), c.after) << c.text;
  }
}

TEST(TextSplit, PeelsFieldsFromTheLeft) {
  std::string_view line = "\xD6\xB1\xD1\xA1:0=12 34,5=56:2-48";
  std::string_view rest = TextAfter(line, ':');
  EXPECT_EQ(TextBefore(line, ':'), kStraight);
  EXPECT_EQ(TextBefore(rest, ':'), "0=12 34,5=56");
  std::string_view range = TextAfter(rest, ':');
  EXPECT_EQ(TextBefore(range, '-'), "2");
  EXPECT_EQ(TextAfter(range, '-'), "48");
}

struct IntCase {
  std::string text;
  std::optional<int32_t> value;
};

TEST(TextInt, ConvertsDecimalIntegersOnly) {
  const IntCase cases[] = {
      {"0", 0},
      {"123", 123},
      {"00012", 12},
      {"  42", 42},
      {"+7", 7},
      {"-7", -7},
      {" -0", 0},
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"+2147483647", INT32_MAX},
      {"2147483648", std::nullopt},
      {"-2147483649", std::nullopt},
      {"99999999999999999999999", std::nullopt},
      {"-99999999999999999999999", std::nullopt},
      {"", std::nullopt},
      {" ", std::nullopt},
      {"+", std::nullopt},
      {"-", std::nullopt},
      {"+-1", std::nullopt},
      {"--1", std::nullopt},
      {"- 1", std::nullopt},
      {"12a", std::nullopt},
      {"a12", std::nullopt},
      {"12 ", std::nullopt},
      {"1 2", std::nullopt},
      {"1.0", std::nullopt},
      {"\xA3\xB1", std::nullopt},  // a full-width digit is not a digit
      {"1\0"s, std::nullopt},
  };
  for (const IntCase& c : cases) EXPECT_EQ(IntText(c.text), c.value) << '"' << c.text << '"';
}

TEST(TextInt, OrThrowRaisesConvertError) {
  EXPECT_EQ(IntTextOrThrow(" -15"), -15);
  EXPECT_THROW(IntTextOrThrow("12a"), EConvertError);
  EXPECT_THROW(IntTextOrThrow(""), EConvertError);
  try {
    IntTextOrThrow("x9");
    FAIL();
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("x9"), std::string::npos) << e.what();
  }
}

TEST(TextTrim, BlanksAndControlsAtBothEnds) {
  EXPECT_EQ(TrimBlanks("  a b \t\r\n"), "a b");
  EXPECT_EQ(TrimBlanks("\x01x\x1F"), "x");
  EXPECT_EQ(TrimBlanks(""), "");
  EXPECT_EQ(TrimBlanks(" \t "), "");
  EXPECT_EQ(TrimBlanks("\x7F"
                       "a\x7F"),
            "\x7F"
            "a\x7F");
  // GBK bytes are text, the full-width blank among them.
  EXPECT_EQ(TrimBlanks(" \xA1\xA1x\xA1\xA1 "), "\xA1\xA1x\xA1\xA1");
  EXPECT_TRUE(IsBlank(""));
  EXPECT_TRUE(IsBlank(" \r\n\t"));
  EXPECT_FALSE(IsBlank(" . "));
}

std::vector<std::string> Split(std::string_view text) {
  std::vector<std::string> out;
  SplitLines(text, [&](std::string_view line) { out.emplace_back(line); });
  return out;
}

TEST(TextSplitLines, BreaksAndZeroByte) {
  using V = std::vector<std::string>;
  const std::pair<std::string, V> cases[] = {
      {"", V{}},
      {"a", V{"a"}},
      {"a\rb", V{"a", "b"}},
      {"a\nb", V{"a", "b"}},
      {"a\r\nb", V{"a", "b"}},
      {"a\r\n", V{"a"}},
      {"a\n", V{"a"}},
      {"a\r", V{"a"}},
      {"\r\n", V{""}},
      {"\n", V{""}},
      {"a\n\n", V{"a", ""}},
      {"\r\n\r\n", V{"", ""}},
      {"a\r\n\r\nb", V{"a", "", "b"}},
      {"a\n\rb", V{"a", "", "b"}},
      {"a\r\r\nb", V{"a", "", "b"}},
      {"  \r\n\t", V{"  ", "\t"}},
      {"a\0b\nc"s, V{"a"}},
      {"a\nb\0c"s, V{"a", "b"}},
      {"a\r\0\nb"s, V{"a"}},
      {"\0abc"s, V{}},
  };
  for (const auto& [text, lines] : cases) EXPECT_EQ(Split(text), lines) << '"' << text << '"';
}

TEST(TextCase, AsciiOnly) {
  EXPECT_EQ(AsciiUpper("abcXYZ09[]\xE9\xB9\xFD"), "ABCXYZ09[]\xE9\xB9\xFD");
  EXPECT_TRUE(SameTextAscii("[Abc]", "[aBC]"));
  EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));
  EXPECT_FALSE(SameTextAscii("abc", "abcd"));
  EXPECT_TRUE(SameTextAscii("", ""));
}

TEST(TextReplace, CharsAndTexts) {
  EXPECT_EQ(ReplaceChar("a;b;;", ';', '\n'), "a\nb\n\n");
  EXPECT_EQ(ReplaceAll("a\r\nb\r\n", "\r\n", ";"), "a;b;");
  EXPECT_EQ(ReplaceAll("a;b", ";", "\r\n"), "a\r\nb");
  EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
  EXPECT_EQ(ReplaceAll("", "a", "x"), "");
}

TEST(TextPath, FileBesideExecutable) {
  EXPECT_EQ(DirFileOf("C:\\host\\main.exe", "szcqvb.chm"), "C:\\host\\szcqvb.chm");
  EXPECT_EQ(DirFileOf("C:\\main.exe", "szcqvb.chm"), "C:\\szcqvb.chm");
  EXPECT_EQ(DirFileOf("/opt/host/main", "szcqvb.chm"), "/opt/host/szcqvb.chm");
  EXPECT_EQ(DirFileOf("C:\\\xB2\xE5\xBC\xFE\\main.exe", "\xB0\xEF.chm"),
            "C:\\\xB2\xE5\xBC\xFE\\\xB0\xEF.chm");
}

TEST(TextPath, AppDirFileIsBesideThisProgram) {
  std::string path = AppDirFile("szcqvb.chm");
  ASSERT_GT(path.size(), std::string("szcqvb.chm").size());
  EXPECT_EQ(path.substr(path.size() - 10), "szcqvb.chm");
  std::string dir = path.substr(0, path.size() - 10);
  EXPECT_TRUE(dir.back() == '\\' || dir.back() == '/') << path;
  EXPECT_TRUE(std::filesystem::is_directory(dir)) << path;
}

}  // namespace
}  // namespace veltrin
