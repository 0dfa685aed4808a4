#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "filter/filter_base.h"
#include "filter/filter_sup.h"

namespace veltrin {
namespace {

struct FramingCase {
  const char* name;
  std::string text;
  bool ok;
  std::vector<std::string> lines;
  bool canErr;
  int32_t lo, hi;
  bool supErr = false;
};

class FramingTest : public testing::TestWithParam<FramingCase> {};

TEST_P(FramingTest, CutsTextIntoToleranceAndLines) {
  const FramingCase& c = GetParam();
  TFraming f;
  ASSERT_EQ(TSupFilter::FrameConditionText(c.text, f), c.ok);
  if (!c.ok) return;
  EXPECT_EQ(f.Lines, c.lines);
  EXPECT_EQ(f.CanErr, c.canErr);
  if (c.canErr) {
    EXPECT_EQ(f.CanErrMin, c.lo);
    EXPECT_EQ(f.CanErrMax, c.hi);
  }
  EXPECT_EQ(f.ListSupErr, c.supErr);
}

INSTANTIATE_TEST_SUITE_P(
    Variants, FramingTest,
    testing::Values(
        FramingCase{"Semicolons", "E|0-1;c1;c2", true, {"c1", "c2"}, true, 0, 1},
        FramingCase{"CrLf", "E|0-1\r\nc1\r\nc2", true, {"c1", "c2"}, true, 0, 1},
        FramingCase{"CrLfTrailing", "E|0-1\r\nc1\r\nc2\r\n", true, {"c1", "c2"}, true, 0, 1},
        FramingCase{"LoneLf", "E|0-1\nc1\nc2\n", true, {"c1", "c2"}, true, 0, 1},
        FramingCase{"SemicolonAtEnd", "c1;c2;", true, {"c1", "c2"}, false, 0, 0},
        FramingCase{"SemicolonThenCrLf", "c1;\r\nc2", true, {"c1", "", "c2"}, false, 0, 0},
        FramingCase{"SemicolonThenLf", "c1;\nc2", true, {"c1", "c2"}, false, 0, 0},
        FramingCase{"LeadingBreak", "\r\nE|0-1\r\nc1", true, {"", "E|0-1", "c1"}, false, 0, 0},
        FramingCase{"BlankBeforeE", " E|0-1;c1", true, {" E|0-1", "c1"}, false, 0, 0},
        FramingCase{
            "SupBeforeTolerance", "S|1-2;E|0-1;c1", true, {"E|0-1", "c1"}, false, 0, 0, true},
        FramingCase{"ToleranceThenSup", "E|0-1;s|1-2;c1", true, {"c1"}, true, 0, 1, true},
        FramingCase{
            "BadBoundsStayAndLeaveToleranceOn", "E|x-5;c1", true, {"E|x-5", "c1"}, true, 0, 0},
        FramingCase{"SecondCharNotChecked", "Ex2-3;c1", true, {"c1"}, true, 2, 3},
        FramingCase{"LowerCaseE", "e|3-4;c1", true, {"c1"}, true, 3, 4},
        FramingCase{
            "ZeroByteEndsText", std::string("c1\r\nc2\0c3", 9), true, {"c1", "c2"}, false, 0, 0},
        FramingCase{"OnlyTolerance", "E|0-0", false, {}, false, 0, 0},
        FramingCase{"OnlyToleranceAndSup", "E|0-0;S|0-1;", false, {}, false, 0, 0},
        FramingCase{"BlanksAndBreaks", "  \r\n \t\r\n", false, {}, false, 0, 0},
        FramingCase{"Empty", "", false, {}, false, 0, 0}),
    [](const testing::TestParamInfo<FramingCase>& info) { return std::string(info.param.name); });

struct ErrLineCase {
  const char* line;
  char letter;
  bool ok;
  bool enabled;
  int32_t lo, hi;
};

TEST(ToleranceLine, ParseErrLineRules) {
  const ErrLineCase cases[] = {
      {"E|2-3", 'e', true, true, 2, 3},
      {"Ex2-3", 'e', true, true, 2, 3},    // separator not tested
      {"E2-3", 'e', false, true, -7, -7},  // lower bound empty; stays enabled
      {"e|0-1", 'e', true, true, 0, 1},
      {"S|0-1", 'e', false, false, -7, -7},  // wrong letter switches it off
      {"S|1-2", 's', true, true, 1, 2},
      {"s|1-2", 's', true, true, 1, 2},
      {"E|1-1234567890", 'e', true, true, 1, 123456789},  // first 9 digits only
      {"E| 4- 5", 'e', true, true, 4, 5},                 // leading blanks convert
      {"E|4-5 ", 'e', false, true, 4, -7},                // trailing blank does not
      {"E|-1-5", 'e', false, true, -7, -7},               // empty lower bound before the first "-"
  };
  for (const ErrLineCase& c : cases) {
    bool enabled = !c.enabled;
    int32_t lo = -7, hi = -7;
    EXPECT_EQ(TFilter::ParseErrLine(c.line, enabled, lo, hi, c.letter), c.ok) << c.line;
    EXPECT_EQ(enabled, c.enabled) << c.line;
    if (c.ok || c.lo != -7) {
      EXPECT_EQ(lo, c.lo) << c.line;
    }
    if (c.ok) {
      EXPECT_EQ(hi, c.hi) << c.line;
    }
  }
}

TEST(ToleranceLine, LineWithoutDashLeavesEnabledAlone) {
  bool enabled = true;
  int32_t lo = 4, hi = 5;
  EXPECT_FALSE(TFilter::ParseErrLine("E|45", enabled, lo, hi, 'e'));
  EXPECT_TRUE(enabled);
  EXPECT_EQ(lo, 4);
  EXPECT_EQ(hi, 5);
}

TEST(ToleranceLine, SemicolonsToLinesReplacesEveryOne) {
  EXPECT_EQ(TSupFilter::SemicolonsToLines("a;b;;c"), "a\rb\r\rc");
}

}  // namespace
}  // namespace veltrin
