// VeltrinExplain through the loaded library, as a host calls it: every
// input answered with a complete text the host can release, and nothing the
// ten exports answer moved by it.
#include <gtest/gtest.h>

#include <string>

#include "common/counted.h"
#include "support/gbk.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

using ExplainExportTest = PluginTest;

TEST_F(ExplainExportTest, AnswersAnyInputCompletelyAndLeavesTheTenAlone) {
  const auto explain = api().VeltrinExplain;
  ASSERT_NE(explain, nullptr);
  const std::string setting = Straight("9=12", "0-0");
  api().SetFilterStr(setting.c_str());
  ASSERT_TRUE(api().SzcPrepare());

  const std::string huge(1 << 20, '7');
  const std::string stray = "E|0-1;\xFF\x80:\t:;" + Straight("1=12", "0-x");
  struct Case {
    const char* text;
    int32_t digits;
    const char* history;
    int32_t last;
    int32_t flags;
  } cases[] = {
      {nullptr, 5, nullptr, 0, 7},
      {"", -3, "", -1, -1},
      {huge.c_str(), 1000, huge.c_str(), 5, 7},
      {stray.c_str(), 3, "1 12x\n\xFF\n2 123\n", 1, 7},
      {setting.c_str(), 1, "1 7\n", 0, 7},
  };
  for (const Case& c : cases) {
    char* answer = explain(c.text, c.digits, c.history, c.last, c.flags);
    ASSERT_NE(answer, nullptr);
    const std::string text(CountedStrView(answer));
    EXPECT_EQ(text.rfind("VELTRIN-EXPLAIN\t1\n", 0), 0u);
    EXPECT_EQ(text.substr(text.size() - 4), "end\n");
    CountedStrRelease(answer);  // as the host does, through the shared module
    EXPECT_EQ(answer, nullptr);
  }
  EXPECT_EQ(std::string(api().GetFilterStr()), setting);
  EXPECT_EQ(api().SzcExecute("4124"), 1);
  EXPECT_EQ(api().SzcExecute("4444"), 0);
}

}  // namespace
}  // namespace veltrin::test
