// The examples of the README's "Writing conditions" section, run: each
// states what share of all bets a setting keeps and what its explanation
// says, so the README cannot drift from the engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "filter/insight.h"
#include "host/encoding.h"

namespace veltrin {
namespace {

struct Example {
  std::string condition;  // GBK
  int digits = 0;
  std::string kept, total;
  std::set<std::string> says;
};

std::string Value(const std::string& line, const std::string& key) {
  if (line.rfind(key, 0) != 0) return {};
  const size_t start = line.find_first_not_of(' ', key.size());
  return start == std::string::npos ? std::string() : line.substr(start);
}

std::vector<Example> ReadmeExamples() {
  std::string path = std::string(VELTRIN_SOURCE_DIR) + "/README.md";
#if defined(_WIN32)
  // Wine runs the build from a Unix folder: its drive Z: is the root.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
#endif
  std::ifstream f(path, std::ios::binary);
  std::vector<Example> out;
  std::string line;
  bool inside = false;
  while (std::getline(f, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line == "```condition-example") {
      inside = true;
      out.emplace_back();
      continue;
    }
    if (!inside) continue;
    if (line == "```") {
      inside = false;
      continue;
    }
    Example& e = out.back();
    if (std::string v = Value(line, "condition"); !v.empty()) {
      EXPECT_TRUE(host::Utf8ToGbk(v, e.condition)) << v;
    } else if (std::string v = Value(line, "digits"); !v.empty()) {
      e.digits = std::stoi(v);
    } else if (std::string v = Value(line, "keeps"); !v.empty()) {
      std::istringstream s(v);
      std::string of;
      s >> e.kept >> of >> e.total;  // "invalid" alone for a refused text
    } else if (std::string v = Value(line, "says"); !v.empty()) {
      std::istringstream s(v);
      for (std::string code; s >> code;)
        if (code != "nothing") e.says.insert(code);
    }
  }
  return out;
}

TEST(ReadmeExamples, KeepWhatTheyStateAndSayWhatTheyList) {
  const std::vector<Example> examples = ReadmeExamples();
  ASSERT_GE(examples.size(), 6u) << "the README lost its condition examples";
  for (const Example& e : examples) {
    SCOPED_TRACE(e.condition);
    ASSERT_GT(e.digits, 0);
    const TTextExplanation ex = ExplainConditionText(e.condition, e.digits);
    std::set<std::string> says;
    for (const TDiagnostic& d : ex.Diagnostics) says.insert(DiagCodeName(d.Code));
    for (const TLineExplanation& l : ex.Lines)
      for (const TDiagnostic& d : l.Diagnostics) says.insert(DiagCodeName(d.Code));
    EXPECT_EQ(says, e.says);
    // "keeps invalid": the example shows a text that Prepare refuses.
    EXPECT_EQ(ex.Valid, e.kept != "invalid");
    if (!ex.Valid) continue;

    std::unique_ptr<TProGradeFilter> filter(TProGradeFilter::New());
    filter->FilterStr = e.condition;
    ASSERT_TRUE(filter->PrepareRun());
    const TSettingCount count = CountSetting(*filter, e.digits);
    ASSERT_TRUE(count.Exact);
    EXPECT_EQ(count.Kept.ToString(), e.kept);
    EXPECT_EQ(TBigCount::PowerOf10(e.digits).ToString(), e.total);
    if (filter->Conditions().size() == 1 && !filter->CanErr) {
      const TCompiledCondition& c = filter->Conditions()[0];
      EXPECT_EQ(ScoreDistribution(c, e.digits).Between(c.Lower, c.Upper).ToString(), e.kept);
    }
  }
}

}  // namespace
}  // namespace veltrin
