// The reference host's call interface, called as the library calls it.
#include <gtest/gtest.h>

#include <string>

#include "common/counted.h"
#include "common/records.h"
#include "common/string_list.h"
#include "host/call_wrapper.h"

namespace veltrin::host {
namespace {

DrawHistory ThreeDraws() {
  DrawHistory h;
  std::string error;
  EXPECT_TRUE(ParseHistory("1 12345\n2 54321\n3 11111\n", 5, h, error)) << error;
  return h;
}

class CallWrapperTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HostSettings s;
    s.DigitCount = 3;
    s.KeepShare = 8500;
    s.History = ThreeDraws();
    s.HasHistory = true;
    host_ = HostCallWrapper::Create(std::move(s));
    HostSettings none;
    bare_ = HostCallWrapper::Create(std::move(none));
  }
  void TearDown() override {
    EXPECT_EQ(host_->Release(), 0u);
    EXPECT_EQ(bare_->Release(), 0u);
  }
  HostCallWrapper* host_ = nullptr;  // with a history
  HostCallWrapper* bare_ = nullptr;  // without one
};

TEST_F(CallWrapperTest, AnswersItsOwnInterfaceOnly) {
  void* out = nullptr;
  ASSERT_EQ(host_->QueryInterface(&IID_ICallWrapper, &out), kS_OK);
  EXPECT_EQ(out, static_cast<ICallWrapper*>(host_));
  EXPECT_EQ(host_->References(), 2u);
  host_->Release();
  EXPECT_EQ(host_->QueryInterface(&IID_IScoreCallback, &out), kE_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(host_->QueryInterface(&IID_IUnknown, nullptr), kE_POINTER);
}

TEST_F(CallWrapperTest, LotteryInfoReleasesTheOldText) {
  TLotteryInfo info{};
  char* old = CountedStrAddRef(CountedStrNew("old"));
  info.Text = old;
  ASSERT_EQ(host_->GetLotteryInfo(&info), kS_OK);
  EXPECT_EQ(info.DigitCount, 3);
  EXPECT_EQ(info.ExtraDigitCount, 0);
  EXPECT_EQ(reinterpret_cast<const CountedHeader*>(old - 8)->RefCount, 1);
  EXPECT_NE(info.Text, old);
  EXPECT_EQ(CountedStrView(info.Text), "3-digit lottery");
  CountedStrRelease(old);
  ReleaseLotteryInfo(info);
  EXPECT_EQ(host_->GetLotteryInfo(nullptr), kE_POINTER);
}

TEST_F(CallWrapperTest, DrawNumberIsTheLatestDraw) {
  const char* text = nullptr;
  ASSERT_EQ(host_->SelectDrawNumber(&text), kS_OK);
  EXPECT_STREQ(text, "11111");
  EXPECT_EQ(host_->SelectDrawNumber(nullptr), kE_POINTER);
  text = "stale";
  EXPECT_LT(bare_->SelectDrawNumber(&text), 0);
  EXPECT_EQ(text, nullptr);
}

TEST_F(CallWrapperTest, BatchDataIsTheHistory) {
  // As the library asks: its own empty list in the request, nothing in the
  // result but texts and an array from an earlier call.
  TStringList* requestList = TStringList::Create();
  TBatFltSet request{};
  request.BetTexts = requestList;
  TBatFltSet result{};
  result.Text1 = CountedStrAddRef(CountedStrNew("old text"));
  char* oldText = result.Text1;
  auto* oldBets = DynArrayNew<TByteArrayChip>(1);
  ++const_cast<CountedHeader*>(
        reinterpret_cast<const CountedHeader*>(reinterpret_cast<const char*>(oldBets) - 8))
        ->RefCount;
  result.Bets = oldBets;

  for (int round = 0; round < 2; ++round) {  // a second call replaces, not appends
    ASSERT_EQ(host_->GetBatchAideData(&request, &result), kS_OK);
    ASSERT_NE(result.BetTexts, nullptr);
    int32_t count = 0;
    ASSERT_EQ(result.BetTexts->Count(&count), kS_OK);
    ASSERT_EQ(count, 3);
    const char* text = nullptr;
    ASSERT_EQ(result.BetTexts->Get(1, &text), kS_OK);
    EXPECT_STREQ(text, "54321");
    EXPECT_EQ(result.BetTexts->Get(3, &text), kE_INVALIDARG);
    ASSERT_EQ(DynArrayLength(result.Bets), 3);
    ASSERT_EQ(DynArrayLength(result.Bets[0]), 5);
    for (int k = 0; k < 5; ++k) EXPECT_EQ(result.Bets[0][k], uint8_t(k + 1));
    EXPECT_EQ(result.KeepShare, 8500);
  }
  EXPECT_EQ(reinterpret_cast<const CountedHeader*>(oldText - 8)->RefCount, 1);
  EXPECT_EQ(result.Text1, nullptr);
  CountedStrRelease(oldText);
  DynArrayReleaseByteArrays(oldBets);

  int32_t requestCount = -1;
  requestList->Count(&requestCount);
  EXPECT_EQ(requestCount, 0) << "the library's own list is left alone";
  // The library frees its list and the records' texts and arrays, never the
  // host's list object.
  requestList->Release();
  ReleaseBatFltSet(request);
  ReleaseBatFltSet(result);

  TBatFltSet empty{};
  EXPECT_LT(bare_->GetBatchAideData(&request, &empty), 0);
  EXPECT_EQ(empty.BetTexts, nullptr);
  EXPECT_EQ(host_->GetBatchAideData(&request, nullptr), kE_POINTER);
}

TEST_F(CallWrapperTest, PairScoreTableIsACountedGridText) {
  char* text = nullptr;
  ASSERT_EQ(host_->GetPairScoreTable(&text), kS_OK);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(reinterpret_cast<const CountedHeader*>(text - 8)->RefCount, 1);
  EXPECT_EQ(CountedStrView(text), PairScoreTableText(ThreeDraws()));
  // The library releases it; a second call releases the first text itself.
  ASSERT_EQ(host_->GetPairScoreTable(&text), kS_OK);
  CountedStrRelease(text);
  EXPECT_EQ(host_->GetPairScoreTable(nullptr), kE_POINTER);
  EXPECT_LT(bare_->GetPairScoreTable(&text), 0);
  EXPECT_EQ(text, nullptr);
}

TEST_F(CallWrapperTest, ReservedOperationsAreNotImplemented) {
  for (auto slot : {&ICallWrapper::Reserved3, &ICallWrapper::Reserved5, &ICallWrapper::Reserved7,
                    &ICallWrapper::Reserved9, &ICallWrapper::Reserved10, &ICallWrapper::Reserved11})
    EXPECT_EQ((host_->*slot)(), kE_NOTIMPL);
}

TEST(HostStringListTest, HoldsTextsTheLibraryReads) {
  HostStringList* list = HostStringList::Create();
  EXPECT_EQ(list->Add("123"), kS_OK);
  EXPECT_EQ(list->Add(nullptr), kS_OK);
  int32_t count = 0;
  ASSERT_EQ(list->Count(&count), kS_OK);
  EXPECT_EQ(count, 2);
  const char* text = nullptr;
  ASSERT_EQ(list->Get(1, &text), kS_OK);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(list->Get(-1, &text), kE_INVALIDARG);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(list->Count(nullptr), kE_POINTER);
  void* out = nullptr;
  ASSERT_EQ(list->QueryInterface(&IID_IStringList, &out), kS_OK);
  EXPECT_EQ(list->Release(), 1u);
  EXPECT_EQ(list->QueryInterface(&IID_IEditableStringList, &out), kE_NOINTERFACE);
  EXPECT_EQ(list->Release(), 0u);
}

}  // namespace
}  // namespace veltrin::host
