// Host objects that misbehave: lists whose slots fail, lie about their size
// or hand out null texts, batch samples of bets that are no bets. The batch
// range assistant answers with the number of lines it rewrote and leaves
// every other line, and the host's objects, as they were.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/string_list.h"
#include "filter/pro_grade.h"
#include "support/gbk.h"

namespace veltrin {
namespace {

using test::Straight;

// A host's bet list with every answer under the test's control.
class HostileList final : public IStringList {
 public:
  int32_t countStatus = kS_OK;
  int32_t count = 0;
  int32_t getStatus = kS_OK;
  bool nullTexts = false;
  std::vector<std::string> texts;
  int32_t refs = 1;
  int32_t getCalls = 0;

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    if (!out) return kE_POINTER;
    *out = nullptr;
    if (iid && (*iid == IID_IUnknown || *iid == IID_IStringList)) {
      *out = static_cast<IStringList*>(this);
      AddRef();
      return kS_OK;
    }
    return kE_NOINTERFACE;
  }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(++refs); }
  uint32_t VELTRIN_API Release() override { return uint32_t(--refs); }
  int32_t VELTRIN_API Count(int32_t* out) override {
    if (!out) return kE_POINTER;
    if (countStatus == kS_OK) *out = count;
    return countStatus;
  }
  int32_t VELTRIN_API Get(int32_t index, const char** text) override {
    ++getCalls;
    if (!text) return kE_POINTER;
    if (getStatus != kS_OK) return getStatus;  // the out-parameter left as it was
    if (nullTexts || index < 0 || size_t(index) >= texts.size())
      *text = nullptr;
    else
      *text = texts[size_t(index)].c_str();
    return kS_OK;
  }
  int32_t VELTRIN_API Add(const char*) override { return kE_NOTIMPL; }
};

const std::string kLine1 = Straight("1=12 21", "0-0");
const std::string kLine2 = Straight("7=34", "5-5");

class HostCallsHostileTest : public testing::Test {
 protected:
  void SetUp() override {
    conditions_ = TStringList::Create();
    conditions_->Lines() = {kLine1, kLine2};
    data_.BetTexts = &bets_;
    data_.KeepShare = 8000;
  }
  void TearDown() override {
    ReleaseBatFltSet(data_);
    conditions_->Release();
    filter_->Free();
    EXPECT_EQ(bets_.refs, 1) << "the host's list keeps its references";
  }
  // A sample of `n` entries in the byte-array form the host sends along.
  void SampleOf(size_t n) {
    DynArrayReleaseByteArrays(data_.Bets);
    data_.Bets = DynArrayNew<uint8_t*>(n);
  }
  int32_t Run() { return filter_->RunBatchAide(conditions_, &data_); }
  bool Untouched() const {
    return conditions_->Lines() == std::vector<std::string>{kLine1, kLine2};
  }

  TProGradeFilter* filter_ = TProGradeFilter::New();
  TStringList* conditions_ = nullptr;
  HostileList bets_;
  TBatFltSet data_{};
};

TEST_F(HostCallsHostileTest, FailingOrLyingCountsDoNothing) {
  SampleOf(3);
  bets_.texts = {"120", "340", "555"};
  bets_.countStatus = kE_FAIL;
  bets_.count = 3;
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Untouched());

  bets_.countStatus = kS_OK;
  for (int32_t count : {0, -1, INT32_MIN}) {
    bets_.count = count;
    EXPECT_EQ(Run(), 0) << count;
    EXPECT_TRUE(Untouched()) << count;
  }
  EXPECT_EQ(bets_.getCalls, 0);

  // A count far beyond the sample: no more entries are asked for than the
  // sample holds.
  bets_.count = INT32_MAX;
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(bets_.getCalls, 3);
}

TEST_F(HostCallsHostileTest, FailingOrEmptyEntries) {
  SampleOf(4);
  bets_.count = 4;
  bets_.texts = {"120", "340", "555", "999"};
  bets_.getStatus = kE_FAIL;
  EXPECT_EQ(Run(), 0) << "no bet could be read";
  EXPECT_TRUE(Untouched());

  // Null texts are empty bets: no codes, all scores 0.
  bets_.getStatus = kS_OK;
  bets_.nullTexts = true;
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(conditions_->Lines(),
            (std::vector<std::string>{Straight("1=12 21", "0-0"), Straight("7=34", "0-0")}));
}

TEST_F(HostCallsHostileTest, BetsThatAreNoBetsStayOutOfTheSample) {
  std::string million;
  for (int i = 0; i < 500000; ++i) million += "12";
  bets_.texts = {"12a", " 12", "-12", "\xD6\xB1", "34", million + "x"};
  SampleOf(bets_.texts.size());
  bets_.count = int32_t(bets_.texts.size());
  data_.KeepShare = 10000;
  EXPECT_EQ(Run(), 2);
  // Only the bet 34 was scored: 0 under the first condition, 7 under the second.
  EXPECT_EQ(conditions_->Lines(),
            (std::vector<std::string>{Straight("1=12 21", "0-0"), Straight("7=34", "7-7")}));
}

TEST_F(HostCallsHostileTest, KeepSharesOutOfRange) {
  bets_.texts = {"12", "1212", "34"};
  SampleOf(3);
  bets_.count = 3;
  for (int64_t share : {INT64_MIN, int64_t(-1), INT64_MAX}) {
    conditions_->Lines() = {kLine1, kLine2};
    data_.KeepShare = share;
    const int32_t rewritten = Run();
    EXPECT_GE(rewritten, 0) << share;
    EXPECT_LE(rewritten, 2) << share;
    for (const std::string& line : conditions_->Lines())
      EXPECT_EQ(line.rfind(test::kStraight + ":", 0), 0u) << line;
  }
  // Keeping everything: the full span of the sample's scores.
  data_.KeepShare = INT64_MAX;
  conditions_->Lines() = {kLine1, kLine2};
  EXPECT_EQ(Run(), 2);
  EXPECT_EQ(conditions_->Lines(),
            (std::vector<std::string>{Straight("1=12 21", "0-3"), Straight("7=34", "0-7")}));
}

TEST_F(HostCallsHostileTest, NullAndForeignConditionLists) {
  SampleOf(1);
  bets_.texts = {"12"};
  bets_.count = 1;
  EXPECT_EQ(filter_->RunBatchAide(nullptr, &data_), 0);
  EXPECT_EQ(filter_->RunBatchAide(conditions_, nullptr), 0);
  // A list that cannot be rewritten in place is left alone.
  HostileList foreign;
  foreign.count = 1;
  foreign.texts = {kLine1};
  EXPECT_EQ(filter_->RunBatchAide(&foreign, &data_), 0);
  EXPECT_EQ(foreign.refs, 1);
  data_.BetTexts = nullptr;
  EXPECT_EQ(Run(), 0);
  data_.BetTexts = &bets_;
}

}  // namespace
}  // namespace veltrin
