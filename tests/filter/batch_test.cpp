#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/counted.h"
#include "common/string_list.h"
#include "filter/cp_share.h"
#include "filter/pro_grade.h"
#include "support/gbk.h"

namespace veltrin {
namespace {

using test::Straight;

// A histogram from (score, count) pairs.
std::vector<int32_t> Histogram(std::initializer_list<std::pair<int, int>> counts, size_t size) {
  std::vector<int32_t> h(size, 0);
  for (auto [score, n] : counts) h[size_t(score)] = n;
  return h;
}

TEST(RangeFromHistogram, WorkedExamplesAndBoundaries) {
  struct Case {
    std::vector<int32_t> h;
    int64_t keep;
    std::string range;
  } cases[] = {
      {Histogram({{3, 1}, {4, 2}, {5, 4}, {6, 2}, {8, 1}}, 11), 8000, "4-7"},
      {Histogram({{0, 5}, {1, 1}, {9, 1}}, 10), 8000, "0-1"},
      {Histogram({{12, 7}}, 20), 9500, "12-12"},
      {Histogram({{3, 1}, {4, 2}, {8, 1}}, 11), 10000, "3-8"},
      {Histogram({{3, 1}, {4, 2}, {8, 1}}, 11), 20000, "3-8"},
      {Histogram({{3, 1}, {4, 2}, {8, 1}}, 11), 0, ""},  // gaps left inside keep nothing
      {Histogram({{3, 1}, {4, 2}, {5, 1}}, 6), 0, ""},
      {Histogram({{3, 1}, {4, 2}, {8, 1}}, 11), -5, ""},  // negative keeps nothing either
      {Histogram({}, 11), 5000, ""},
      {{}, 5000, ""},
      // Exactly 7 of 10 kept equals 7000: trimming stops there.
      {Histogram({{1, 1}, {2, 2}, {3, 4}, {4, 1}, {5, 2}}, 6), 7000, "2-4"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TCPBaseFunc::RangeFromHistogram(c.h, c.keep), c.range) << c.keep;
}

class BatchAideTest : public testing::Test {
 protected:
  void SetUp() override {
    conditions_ = TStringList::Create();
    bets_ = TStringList::Create();
    data_.BetTexts = bets_;
  }
  void TearDown() override {
    ReleaseBatFltSet(data_);
    conditions_->Release();
    bets_->Release();
    filter_->Free();
  }
  void Sample(const std::vector<std::string>& bets) {
    for (const std::string& b : bets) bets_->Add(b.c_str());
    data_.Bets = DynArrayNew<uint8_t*>(bets.size());
  }
  int32_t Run() { return filter_->RunBatchAide(conditions_, &data_); }

  TStringList* conditions_;
  TStringList* bets_;
  TBatFltSet data_{};
  TProGradeFilter* filter_ = TProGradeFilter::New();
};

TEST_F(BatchAideTest, RewritesOnlyTheRange) {
  const std::string table = "0=00 01 02,1=12 21,2=";
  conditions_->Lines() = {Straight(table, "2-48"), Straight("1=11", "0-9")};
  // Scores under the first line: 121 -> 2, 212 -> 2, 123 -> 1, 555 -> 0.
  // Low end first: 0 goes (75 %), then 2 would leave 25 %, so 1 goes (50 %).
  Sample({"121", "212", "123", "555"});
  data_.KeepShare = 5000;
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(conditions_->Lines()[0], Straight(table, "2-2"));
  EXPECT_EQ(conditions_->Lines()[1], Straight("1=11", "0-0"));
}

TEST_F(BatchAideTest, NothingToDo) {
  conditions_->Lines() = {Straight("1=12", "0-9")};
  EXPECT_EQ(Run(), 0);  // no sample
  Sample({"12", "21"});
  data_.KeepShare = 0;  // everything trimmed: no range, no rewrite
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(conditions_->Lines()[0], Straight("1=12", "0-9"));
}

TEST_F(BatchAideTest, MalformedOrShiftedListsAreLeftAlone) {
  Sample({"12", "21", "11"});
  data_.KeepShare = 9000;
  for (const std::vector<std::string>& lines :
       {std::vector<std::string>{Straight("1=12", "0-9"), Straight("x=1", "0-9")},
        std::vector<std::string>{Straight("1=12", "0-9"), "E|0-1"},
        std::vector<std::string>{Straight("1=12", "0-9") + ";" + Straight("1=12", "0-9")}}) {
    conditions_->Lines() = lines;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(conditions_->Lines(), lines);
  }
}

// Only a line that is exactly one condition is rewritten, with that
// condition's own range; tolerance lines, blank lines and lines holding two
// conditions stay as they are and are not counted.
TEST_F(BatchAideTest, MixedListsRewriteEachConditionLineWithItsOwnRange) {
  // Over the sample, A scores 0..2, B 0..6 and C 0..4.
  const std::string a = Straight("1=12 21", "0-100"), b = Straight("3=55", "0-100"),
                    c = Straight("4=23", "0-100");
  const std::string a2 = Straight("1=12 21", "0-2"), b2 = Straight("3=55", "0-6"),
                    c2 = Straight("4=23", "0-4");
  Sample({"121", "212", "123", "555"});
  data_.KeepShare = 10000;
  struct Case {
    std::vector<std::string> lines;
    int32_t rewritten;
    std::vector<std::string> expected;
  } cases[] = {
      // As many lines as conditions, but shifted: nothing is rewritten.
      {{"E|0-1", a + ";" + b}, 0, {"E|0-1", a + ";" + b}},
      {{"E|0-1", a, "", b + ";" + c, c}, 2, {"E|0-1", a2, "", b + ";" + c, c2}},
      {{"S|0-2", a, "  ", b}, 2, {"S|0-2", a2, "  ", b2}},
      {{"E|0-1", "S|0-3", b, a + ";" + c, ""}, 1, {"E|0-1", "S|0-3", b2, a + ";" + c, ""}},
      {{"E|0-1;" + a, b}, 1, {"E|0-1;" + a, b2}},
      {{c, b, a}, 3, {c2, b2, a2}},
  };
  for (const Case& t : cases) {
    conditions_->Lines() = t.lines;
    EXPECT_EQ(Run(), t.rewritten) << t.lines[0];
    EXPECT_EQ(conditions_->Lines(), t.expected);
  }
}

TEST_F(BatchAideTest, HighScoresAndStrayBets) {
  // Scores above 100 x (digits - 1) keep their place in the histogram.
  conditions_->Lines() = {Straight("250=12 21", "0-9")};
  Sample({"1212", "121", "12", "1x2", "33"});
  data_.KeepShare = 10000;
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(conditions_->Lines()[0], Straight("250=12 21", "0-750"));
}

TEST_F(BatchAideTest, ReadOnlyListIsNotRewritten) {
  struct ReadOnly : IStringList {
    int32_t VELTRIN_API QueryInterface(const VGuid*, void** out) override {
      *out = nullptr;
      return kE_NOINTERFACE;
    }
    uint32_t VELTRIN_API AddRef() override { return 1; }
    uint32_t VELTRIN_API Release() override { return 1; }
    int32_t VELTRIN_API Count(int32_t* n) override { return *n = 1, kS_OK; }
    int32_t VELTRIN_API Get(int32_t, const char** t) override {
      static const std::string line = Straight("1=12", "0-9");
      return *t = line.c_str(), kS_OK;
    }
    int32_t VELTRIN_API Add(const char*) override { return kE_FAIL; }
  } readOnly;
  Sample({"12"});
  data_.KeepShare = 9000;
  EXPECT_EQ(filter_->RunBatchAide(&readOnly, &data_), 0);
}

}  // namespace
}  // namespace veltrin
