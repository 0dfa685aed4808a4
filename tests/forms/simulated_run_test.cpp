// The simulated-run page of the filter dialog base on every backend: one
// result line per condition, the failing count, the tolerance applied and
// the verdict; the bet box; the drawn number from the host; and the clear
// answers where a run cannot go on.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/lottery.h"
#include "common/texts.h"
#include "filter/pro_grade.h"
#include "tests/forms/test_flt_form.h"
#include "tests/support/ui_fixture.h"
#include "tests/support/ui_stub_host.h"
#include "ui/automation.h"

#include "ui/headless/headless.h"

namespace veltrin {
namespace {

using test::TTestFltForm;
using ui::TMsgKind;

const std::string kC1 = std::string(kTxtModeStraight) + ":1=12:0-0";  // fails on code 12
const std::string kC2 = std::string(kTxtModeStraight) + ":1=34:0-0";  // fails on code 34

class SimulatedRunTest : public test::UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    if (HasFatalFailure()) return;
    savedInfo = LotteryInfo;
    LotteryInfo.DigitCount = 4;
    LotteryInfo.ExtraDigitCount = 0;
    form = std::make_unique<TTestFltForm>();
    form->Lines = {kC1, kC2};
    // A dialog that wants the run shows its tab.
    form->tabFltValidate->SetTabVisible(true);
    form->pageFlt->SetActivePageIndex(1);
  }
  void TearDown() override {
    form.reset();
    LotteryInfo.DigitCount = savedInfo.DigitCount;
    LotteryInfo.ExtraDigitCount = savedInfo.ExtraDigitCount;
    UiBackendTest::TearDown();
  }

  // Types the bet as a user would and runs the simulation.
  void Run(const std::string& bet) {
    form->edtAChip->SetText("");
    ui::TypeText(*form->edtAChip, std::wstring(bet.begin(), bet.end()));
    ui::Click(*form->btnFltValidate);
  }
  std::string Line(const std::string& bet, const std::string& condition, int score) {
    return bet + " - " + filterName + " - " + condition + " - " + std::to_string(score);
  }

  TLotteryInfo savedInfo{};
  std::unique_ptr<TTestFltForm> form;
  std::string filterName = TFilterPtr(TProGradeFilter::New())->FilterName;
};

TEST_P(SimulatedRunTest, ShowsOneLinePerConditionAndTheCount) {
  Run("1234");
  EXPECT_EQ(form->lstFltValidate->AllItems(),
            (std::vector<std::string>{Line("1234", kC1, 1), Line("1234", kC2, 1)}));
  EXPECT_EQ(form->lblFltTimes->Caption(), "2");
  Run("567");  // the list is redone for each run
  EXPECT_EQ(form->lstFltValidate->AllItems(),
            (std::vector<std::string>{Line("567", kC1, 0), Line("567", kC2, 0)}));
  EXPECT_EQ(form->lblFltTimes->Caption(), "0");
  EXPECT_TRUE(Responder.Messages.empty());
}

struct VerdictCase {
  const char* Bet;
  bool Tolerance;
  const char* Count;
  const char* CanErr;
  const char* Verdict;
};

TEST_P(SimulatedRunTest, VerdictFollowsTheDialogsTolerance) {
  const std::string none = kTxtNoTolerance, keep = kTxtKeep, remove = kTxtRemove;
  const VerdictCase cases[] = {
      {"567", false, "0", none.c_str(), keep.c_str()},
      {"123", false, "1", none.c_str(), remove.c_str()},
      {"567", true, "0", "1 - 2", remove.c_str()},
      {"123", true, "1", "1 - 2", keep.c_str()},
      {"1234", true, "2", "1 - 2", keep.c_str()},
  };
  for (const VerdictCase& c : cases) {
    SCOPED_TRACE(std::string(c.Bet) + (c.Tolerance ? " with tolerance" : ""));
    form->chkCanErr->SetChecked(c.Tolerance);
    form->edtCanErr1->SetText("1");
    form->edtCanErr2->SetText("2");
    Run(c.Bet);
    EXPECT_EQ(form->lblFltTimes->Caption(), c.Count);
    EXPECT_EQ(form->lblCanErr->Caption(), c.CanErr);
    EXPECT_EQ(form->lblFltResult->Caption(), c.Verdict);
  }
  // A hidden switch counts as off.
  form->chkCanErr->SetVisible(false);
  Run("567");
  EXPECT_EQ(form->lblCanErr->Caption(), none);
  EXPECT_EQ(form->lblFltResult->Caption(), keep);
}

TEST_P(SimulatedRunTest, ABetThatCannotBeEvaluatedIsAnsweredClearly) {
  Run("1 3");  // the key filter lets the blank through
  EXPECT_EQ(form->edtAChip->Text(), "1 3");
  EXPECT_EQ(Responder.Texts(TMsgKind::Error), std::vector<std::string>{kTxtBetInvalid});
  EXPECT_EQ(form->lstFltValidate->Count(), 0);
  form->edtAChip->SetText("12x4");  // as a host's drawn number might be
  ui::Click(*form->btnFltValidate);
  EXPECT_EQ(Responder.Texts(TMsgKind::Error).size(), 2u);
  if (GetParam() == "headless") {
    EXPECT_EQ(ui::TheHeadlessBackend().WaitDepth(), 0);
  }
}

TEST_P(SimulatedRunTest, AToleranceBoxWithoutAnIntegerEndsTheRunWithItsError) {
  form->chkCanErr->SetChecked(true);
  form->edtCanErr1->SetText("x");
  Run("123");
  EXPECT_EQ(form->lblFltTimes->Caption(), "1");
  ASSERT_EQ(Responder.Texts(TMsgKind::Error).size(), 1u);
  EXPECT_NE(Responder.Texts(TMsgKind::Error)[0].find("'x'"), std::string::npos);
}

TEST_P(SimulatedRunTest, ConditionsTheFilterRejectsAreWarnedAbout) {
  form->lstFltValidate->AddItem("earlier");
  for (std::vector<std::string> lines :
       {std::vector<std::string>{"garbage"}, std::vector<std::string>{}}) {
    form->Lines = lines;
    Run("123");
  }
  EXPECT_EQ(Responder.Texts(TMsgKind::Warning),
            (std::vector<std::string>{kTxtConditionsInvalid, kTxtConditionsInvalid}));
  EXPECT_EQ(form->lstFltValidate->AllItems(), std::vector<std::string>{"earlier"});

  form->WithFilter = false;  // a dialog without a filter type: nothing happens
  Run("123");
  EXPECT_EQ(Responder.Messages.size(), 2u);
}

struct BetBoxCase {
  int32_t Digits, Extra;
  const char* Start;
  int32_t MaxLength;
};

TEST_P(SimulatedRunTest, BetBoxIsPreparedWhenShownAndTakesDigitsOnly) {
  const BetBoxCase cases[] = {
      {3, 0, "123", 3}, {5, 2, "1234567", 7}, {9, 0, "1234567", 9}, {0, 0, "", 0}, {-4, 1, "", 0},
  };
  for (const BetBoxCase& c : cases) {
    SCOPED_TRACE(c.Digits);
    LotteryInfo.DigitCount = c.Digits;
    LotteryInfo.ExtraDigitCount = c.Extra;
    Responder.OnModal([&](ui::TForm&) {
      EXPECT_EQ(form->edtAChip->Text(), c.Start);
      EXPECT_EQ(form->edtAChip->MaxLength(), c.MaxLength);
    });
    form->ShowModal();
  }
  // The last case left no limit: every digit is taken, other keys are not.
  form->pageFlt->SetActivePageIndex(1);
  ui::TypeText(*form->edtAChip, L"12a-3 .45678901");
  EXPECT_EQ(form->edtAChip->Text(), "123 45678901");
  ui::TypeText(*form->edtAChip, L"\b\b");
  EXPECT_EQ(form->edtAChip->Text(), "123 456789");

  LotteryInfo.DigitCount = 3;
  LotteryInfo.ExtraDigitCount = 0;
  Responder.OnModal([&](ui::TForm&) {
    ui::SelectPage(*form->pageFlt, 1);
    ui::TypeText(*form->edtAChip, L"9");
    EXPECT_EQ(form->edtAChip->Text(), "123");  // full
    ui::TypeText(*form->edtAChip, L"\b9");
  });
  form->ShowModal();
  EXPECT_EQ(form->edtAChip->Text(), "129");
}

TEST_P(SimulatedRunTest, HistoryButtonTakesTheHostsDrawnNumber) {
  test::TStubHost host;
  host.DrawText = "4 5x6";
  form->edtAChip->SetText("111");
  ui::Click(*form->RzButton1);  // no host yet
  EXPECT_EQ(form->edtAChip->Text(), "111");
  form->SetHost(&host);
  ui::Click(*form->RzButton1);
  EXPECT_EQ(host.DrawCalls, 1);
  EXPECT_EQ(form->edtAChip->Text(), "4 5x6");  // as the host gave it

  host.DrawStatus = kE_FAIL;
  form->edtAChip->SetText("222");
  ui::Click(*form->RzButton1);
  EXPECT_EQ(form->edtAChip->Text(), "222");
  EXPECT_EQ(Responder.Texts(TMsgKind::Error), std::vector<std::string>{kTxtDrawNumberError});

  host.DrawStatus = kS_OK;
  host.DrawText = nullptr;  // the empty text
  ui::Click(*form->RzButton1);
  EXPECT_EQ(form->edtAChip->Text(), "");
  form.reset();
  EXPECT_EQ(host.Refs, 0);
}

VELTRIN_ON_UI_BACKENDS(SimulatedRunTest);

}  // namespace
}  // namespace veltrin
