// The pair-score dialog for tests on every backend, with a host whose score
// table, history check and lottery description the test sets.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/lottery.h"
#include "common/records.h"
#include "common/string_list.h"
#include "forms/code_grade_form.h"
#include "tests/support/fake_host.h"
#include "tests/support/ui_fixture.h"

namespace veltrin::test {

class TGradeHost final : public TFakeHost {
 public:
  // ---- GetPairScoreTable ----
  std::string Table = "0=00,1=12 21";
  int32_t TableStatus = kS_OK;
  int32_t TableCalls = 0;
  // The texts handed out; the test holds one more reference to each.
  std::vector<char*> Handed;
  // ---- ShowHistoryFilter: scores these bets through the callback ----
  std::vector<std::string> HistoryBets = {"121", "212", "555", "12x"};
  int32_t HistoryCalls = 0;
  std::string HistoryCaption;
  std::string HistoryCondition;
  std::vector<int32_t> Scores;    // one per bet
  std::vector<int32_t> Statuses;  // one per bet
  bool CallbackAnswersItsIds = false;
  // ---- GetLotteryInfo ----
  int32_t DigitCount = 3;
  // ---- GetBatchAideData: these sample bets (the recent draws) ----
  std::vector<std::string> Draws = {"121", "345", "212", "120", "12x"};
  int32_t DrawsStatus = kS_OK;
  int32_t DrawsCalls = 0;
  TStringList* DrawList = TStringList::Create();

  ~TGradeHost() {
    for (char*& text : Handed) CountedStrRelease(text);
    DrawList->Release();
  }

  int32_t VELTRIN_API GetBatchAideData(TBatFltSet* request, TBatFltSet* result) override {
    ++DrawsCalls;
    if (!request || !result) return kE_POINTER;
    if (DrawsStatus != kS_OK) return DrawsStatus;
    DrawList->Lines() = Draws;
    result->BetTexts = DrawList;  // the host's own list: the dialog only reads it
    return kS_OK;
  }

  int32_t VELTRIN_API GetPairScoreTable(char** text) override {
    ++TableCalls;
    if (!text) return kE_POINTER;
    // Also on failure: the dialog releases whatever it was handed.
    *text = CountedStrNew(Table);
    if (*text) {
      ++(reinterpret_cast<CountedHeader*>(*text) - 1)->RefCount;
      Handed.push_back(*text);
    }
    return TableStatus;
  }
  // True when the dialog released every text it was handed exactly once.
  bool TablesReleased() const {
    for (char* text : Handed)
      if ((reinterpret_cast<const CountedHeader*>(text) - 1)->RefCount != 1) return false;
    return true;
  }

  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback* callback, const char* caption,
                                        const char* condition) override {
    ++HistoryCalls;
    HistoryCaption = caption ? caption : "";
    HistoryCondition = condition ? condition : "";
    if (!callback) return kE_POINTER;
    void* asCallback = nullptr;
    void* asUnknown = nullptr;
    CallbackAnswersItsIds = callback->QueryInterface(&IID_IScoreCallback, &asCallback) == kS_OK &&
                            callback->QueryInterface(&IID_IUnknown, &asUnknown) == kS_OK &&
                            asCallback == callback && asUnknown == callback;
    for (const std::string& bet : HistoryBets) {
      int32_t score = -1;
      Statuses.push_back(callback->ScoreBet(bet.c_str(), &score));
      Scores.push_back(score);
    }
    return kS_OK;
  }

  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo* info) override {
    if (!info) return kE_POINTER;
    info->DigitCount = DigitCount;
    return kS_OK;
  }
};

class CodeGradeTest : public UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    savedDigits_ = ChipDigitCount;
    savedInfo_ = LotteryInfo;
    form = std::make_unique<TCodeGradeFrm>();
  }
  void TearDown() override {
    form.reset();
    EXPECT_EQ(host.Refs, 0) << "the dialog kept the host";
    ChipDigitCount = savedDigits_;
    LotteryInfo.DigitCount = savedInfo_.DigitCount;
    LotteryInfo.ExtraDigitCount = savedInfo_.ExtraDigitCount;
    UiBackendTest::TearDown();
  }

  // What a showing does, for a lottery of `digits` digits.
  void Show(int32_t digits) {
    ChipDigitCount = digits;
    form->FormShow();
  }
  std::vector<std::string> Lines() const { return form->FConditions->Lines(); }
  std::vector<std::string> Items(const ui::TComboBox& box) const {
    std::vector<std::string> out;
    for (int32_t i = 0; i < box.Count(); ++i) out.push_back(box.Items(i));
    return out;
  }
  ui::TLabel& Score(int n) {
    return *form->TwoGradeFrame1->Get<ui::TLabel>("lblCode" + std::to_string(n));
  }
  std::string Grid() const { return form->TwoGradeFrame1->GetGradeText(); }

  TGradeHost host;  // outlives the dialog
  std::unique_ptr<TCodeGradeFrm> form;

 private:
  int32_t savedDigits_ = 0;
  TLotteryInfo savedInfo_{};
};

}  // namespace veltrin::test
