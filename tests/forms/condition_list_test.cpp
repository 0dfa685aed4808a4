// The condition-list model without any control: what each list operation
// does to the lines, the position a deletion leaves, the text in and out,
// and the batch aide's rewrite through the boundary's list object.
#include "forms/condition_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/records.h"
#include "filter/pro_grade.h"

namespace veltrin {
namespace {

using Strings = std::vector<std::string>;

TEST(ConditionListTest, TextInAndOut) {
  struct Case {
    const char* in;
    Strings lines;
    const char* out;
  } cases[] = {
      {"", {}, ""},
      {"a;b", {"a", "b"}, "a\r\nb\r\n"},
      {"a\r\nb\rc\nd", {"a", "b", "c", "d"}, "a\r\nb\r\nc\r\nd\r\n"},
      {"a;;b;", {"a", "", "b"}, "a\r\n\r\nb\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    TConditionList list;
    list.Append("old");
    list.SetText(c.in);
    EXPECT_EQ(list.Lines(), c.lines);
    EXPECT_EQ(list.Text(), c.out);
  }
  // The import appends every line of a file, empty ones included; ";" is
  // no separator there.
  TConditionList list;
  list.SetText("a");
  list.AppendText("b;c\r\n\r\nd");
  EXPECT_EQ(list.Lines(), (Strings{"a", "b;c", "", "d"}));
}

TEST(ConditionListTest, AppendReplaceContains) {
  TConditionList list;
  EXPECT_EQ(list.Append("K:x"), 0);
  EXPECT_EQ(list.Append("D:y"), 1);
  EXPECT_TRUE(list.Contains("k:X"));  // ASCII case does not count
  EXPECT_FALSE(list.Contains("K:z"));
  EXPECT_TRUE(list.Replace(1, "D:z"));
  EXPECT_FALSE(list.Replace(2, "D:w"));
  EXPECT_FALSE(list.Replace(-1, "D:w"));
  EXPECT_EQ(list.Lines(), (Strings{"K:x", "D:z"}));
  EXPECT_EQ(list.Line(5), "");
  EXPECT_EQ(list.Line(-1), "");
}

TEST(ConditionListTest, DeleteAndWhereThePositionGoes) {
  struct Case {
    const char* name;
    std::vector<int32_t> selected;
    int32_t current;
    Strings left;
    int32_t newCurrent;
  } cases[] = {
      {"middle", {1}, 1, {"a", "c", "d"}, 1},
      {"last, position moves up", {3}, 3, {"a", "b", "c"}, 2},
      {"several, unordered", {3, 0, 2}, 2, {"b"}, 0},
      {"all", {0, 1, 2, 3}, 0, {}, -1},
      {"none current", {0}, -1, {"b", "c", "d"}, -1},
      {"outside the list ignored", {-1, 4, 9}, 1, {"a", "b", "c", "d"}, 1},
      {"nothing selected", {}, 3, {"a", "b", "c", "d"}, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TConditionList list;
    list.SetText("a;b;c;d");
    EXPECT_EQ(list.Delete(c.selected, c.current), c.newCurrent);
    EXPECT_EQ(list.Lines(), c.left);
  }
  TConditionList list;
  list.SetText("a;b");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.Text(), "");
}

TEST(ConditionListTest, KeepRemoveTouchesOnlyMarkedSelectedLines) {
  struct Case {
    bool keep;
    std::vector<int32_t> selected;
    Strings after;
  } cases[] = {
      {true, {0, 1, 2, 3, 4}, {"K:a", "K:b", "x:c", "", "k:e"}},
      {false, {0, 1, 2, 3, 4}, {"D:a", "D:b", "x:c", "", "k:e"}},
      {false, {1}, {"K:a", "D:b", "x:c", "", "k:e"}},
      {true, {7, -2}, {"K:a", "D:b", "x:c", "", "k:e"}},
  };
  for (const Case& c : cases) {
    TConditionList list;
    for (const char* line : {"K:a", "D:b", "x:c", "", "k:e"}) list.Append(line);
    list.SetKeepRemove(c.selected, c.keep);
    EXPECT_EQ(list.Lines(), c.after);
  }
}

TEST(ConditionListTest, BatchAideRewritesTheLinesInPlace) {
  // Without sample bets the aide changes nothing; the list object stays the
  // model's own.
  TConditionList list;
  list.SetText("直选:0=12:0-0");
  TStringList* strings = list.Strings();
  TProGradeFilter* filter = TProGradeFilter::New();
  TBatFltSet empty{};
  EXPECT_EQ(list.RunBatchAide(*filter, &empty), 0);
  filter->Free();
  EXPECT_EQ(list.Strings(), strings);
  EXPECT_EQ(list.Count(), 1);
}

}  // namespace
}  // namespace veltrin
