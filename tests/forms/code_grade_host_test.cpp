// The pair-score dialog and its host on every backend: conditions the host
// generates, the history check with the host scoring bets through the
// dialog's callback, the scores that callback gives (and the failures it
// answers instead of throwing), and the filter's open operation showing the
// dialog over its condition text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/texts.h"
#include "support/gbk.h"
#include "tests/forms/code_grade_fixture.h"
#include "ui/automation.h"

namespace veltrin {
namespace {

using namespace ui;
using test::kGroup;
using test::kStraight;
using test::Straight;
using Strings = std::vector<std::string>;

class CodeGradeHostTest : public test::CodeGradeTest {
 protected:
  int32_t Score(const char* bet, int32_t* status = nullptr) {
    int32_t score = -1;
    const int32_t s = form->ScoreCallback()->ScoreBet(bet, &score);
    if (status) *status = s;
    return score;
  }
};

// ---- condition generation ----------------------------------------------------------

TEST_P(CodeGradeHostTest, GenerationAppendsTheHostsTableAsTheOnlyCondition) {
  Show(3);
  form->SetHost(&host);
  const std::string grid = Grid();
  host.Table = "0=00,1=12 21,7=";
  Click(*form->RzButton3);
  EXPECT_EQ(host.TableCalls, 1);
  EXPECT_EQ(Lines(), Strings{Straight("0=00,1=12 21,7=", "2-48")});
  EXPECT_FALSE(form->chkCanErr->Checked());
  EXPECT_EQ(Grid(), grid);  // the grid is not changed
  EXPECT_TRUE(host.TablesReleased());
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(CodeGradeHostTest, GenerationKeepsToleranceAndLines) {
  Show(5);
  form->SetHost(&host);
  form->LoadSettingsText("E|1-2;" + Straight("1=12", "0-5") + ";");
  form->cbxMin->SetItemIndex(0);
  form->cbxMax->SetItemIndex(400);
  host.Table = "9=99";
  Click(*form->RzButton3);
  EXPECT_TRUE(form->chkCanErr->Checked());
  EXPECT_EQ(form->edtCanErr1->Text(), "1");
  EXPECT_EQ(form->edtCanErr2->Text(), "2");
  EXPECT_EQ(Lines(), (Strings{Straight("1=12", "0-5"), Straight("9=99", "0-400")}));
  EXPECT_EQ(form->GetSettingsText(),
            "E|1-2\r\n" + Straight("1=12", "0-5") + "\r\n" + Straight("9=99", "0-400") + "\r\n");
}

TEST_P(CodeGradeHostTest, GenerationThatFailsChangesNothing) {
  Show(3);
  form->LoadSettingsText(Straight("1=12", "0-5") + ";");
  Click(*form->RzButton3);  // no host yet: nothing at all
  EXPECT_EQ(host.TableCalls, 0);
  EXPECT_TRUE(Responder.Messages.empty());

  form->SetHost(&host);
  host.TableStatus = kE_FAIL;
  Click(*form->RzButton3);
  EXPECT_EQ(host.TableCalls, 1);
  EXPECT_EQ(Lines(), Strings{Straight("1=12", "0-5")});
  EXPECT_EQ(Responder.Texts(TMsgKind::Error), Strings{kTxtScoreTableFailed});
  EXPECT_TRUE(host.TablesReleased()) << "a text handed out with a failure stays unreleased";
}

// ---- history check -------------------------------------------------------------------

TEST_P(CodeGradeHostTest, HistoryCheckScoresTheEditorsLineWhenNoLineIsSelected) {
  Show(3);
  form->SetHost(&host);
  form->SetConditionsText(Straight("9=12", "0-5") + ";");
  form->TwoGradeFrame1->SetGradeText("0=00,1=12 21");
  Click(*form->btnHisFlt);
  ASSERT_EQ(host.HistoryCalls, 1);
  EXPECT_EQ(host.HistoryCaption, "Veltrin");
  EXPECT_EQ(host.HistoryCondition, form->BuildCondition());
  EXPECT_TRUE(host.CallbackAnswersItsIds);
  // 121 and 212: codes 12 and 21; 555: none; 12x: not a bet.
  EXPECT_EQ(host.Scores, (std::vector<int32_t>{2, 2, 0, 0}));
  EXPECT_EQ(host.Statuses, (std::vector<int32_t>{kS_OK, kS_OK, kS_OK, kE_FAIL}));
}

TEST_P(CodeGradeHostTest, HistoryCheckScoresTheSelectedLine) {
  Show(3);
  form->SetHost(&host);
  form->SetConditionsText(Straight("1=55", "0-1") + ";" + Straight("9=12", "0-5") + ";");
  ClickItem(*form->lstFilter, 1);
  ChooseMenuItem(*form->I);  // the list's menu reaches the same check
  ASSERT_EQ(host.HistoryCalls, 1);
  EXPECT_EQ(host.HistoryCondition, Straight("9=12", "0-5"));
  EXPECT_EQ(host.Scores, (std::vector<int32_t>{9, 9, 0, 0}));
}

TEST_P(CodeGradeHostTest, HistoryCheckOfAnEmptyLineWarns) {
  Show(3);
  form->SetHost(&host);
  form->SetConditionsText("\r\n" + Straight("9=12", "0-5") + "\r\n");
  ASSERT_EQ(Lines().size(), 2u);
  ClickItem(*form->lstFilter, 0);
  Click(*form->btnHisFlt);
  EXPECT_EQ(host.HistoryCalls, 0);
  EXPECT_EQ(Responder.Texts(TMsgKind::Warning), Strings{kTxtSelectCondition});
}

TEST_P(CodeGradeHostTest, HistoryCheckWithoutAHostDoesNothing) {
  Show(3);
  Click(*form->btnHisFlt);
  EXPECT_TRUE(Responder.Messages.empty());
}

// ---- the callback's scores ---------------------------------------------------------------

TEST_P(CodeGradeHostTest, ScoreBetFollowsTheModeAndTheTable) {
  Show(3);
  form->SetConditionsText(Straight("0=00,1=12 21", "0-10") + ";" + kGroup + ":1=12:0-10;" +
                          Straight("1=12", "-") + ";" + Straight("x=12", "0-1") + ";");
  int32_t status = 0;
  ClickItem(*form->lstFilter, 0);
  EXPECT_EQ(Score("121", &status), 2);
  EXPECT_EQ(status, kS_OK);
  EXPECT_EQ(Score("1212", &status), 3);
  EXPECT_EQ(Score("", &status), 0);  // an empty bet has no codes
  EXPECT_EQ(status, kS_OK);
  EXPECT_EQ(Score(nullptr, &status), 0);
  EXPECT_EQ(status, kS_OK);
  // A bet that is not a digit text is no bet: a failure, never an error.
  for (const char* bet : {"12a", "1 2", "-12", "\xD6\xB1"}) {
    EXPECT_EQ(Score(bet, &status), 0) << bet;
    EXPECT_EQ(status, kE_FAIL) << bet;
  }

  ClickItem(*form->lstFilter, 1);  // group mode scores over no codes
  EXPECT_EQ(Score("121", &status), 0);
  EXPECT_EQ(status, kS_OK);

  ClickItem(*form->lstFilter, 2);  // bounds that do not convert
  EXPECT_EQ(Score("121", &status), 0);
  EXPECT_EQ(status, kE_FAIL);

  // A table that does not convert (the list holds it; the editor cannot).
  form->lstFilter->SetItemIndex(3);
  form->lstFilter->SetSelected(3, true);
  EXPECT_EQ(Score("121", &status), 0);
  EXPECT_EQ(status, kE_FAIL);

  EXPECT_EQ(form->ScoreCallback()->ScoreBet("121", nullptr), kE_POINTER);
}

TEST_P(CodeGradeHostTest, ScoreBetTakesTheConditionAtEachCall) {
  Show(3);
  form->TwoGradeFrame1->SetGradeText("0=00,4=12");
  EXPECT_EQ(Score("1212"), 8);
  form->TwoGradeFrame1->SetGradeText("4=,6=21");
  EXPECT_EQ(Score("1212"), 6);
  Show(1);  // no bounds selected: the editor's line has none to convert
  int32_t status = 0;
  EXPECT_EQ(Score("1212", &status), 0);
  EXPECT_EQ(status, kE_FAIL);
}

TEST_P(CodeGradeHostTest, CallbackCountingDoesNotOwnTheDialog) {
  IScoreCallback* callback = form->ScoreCallback();
  for (int i = 0; i < 3; ++i) callback->AddRef();
  for (int i = 0; i < 5; ++i) callback->Release();
  void* out = &out;
  EXPECT_EQ(callback->QueryInterface(&IID_ICallWrapper, &out), kE_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(callback->QueryInterface(&IID_IScoreCallback, nullptr), kE_POINTER);
  EXPECT_EQ(callback->QueryInterface(&IID_IScoreCallback, &out), kS_OK);
  EXPECT_EQ(out, callback);
  form.reset();  // no reference count stood in the way
}

// ---- the filter's open operation -------------------------------------------------------

class CodeGradeOpenTest : public test::CodeGradeTest {
 protected:
  void SetUp() override {
    CodeGradeTest::SetUp();
    form.reset();  // the filter makes its own dialog
    SetSettingsDialog(&ShowCodeGradeSettings);
    filter = TProGradeFilter::New();
    filter->SetCallWrapper(&host);
    filter->FilterStr = kText;
  }
  void TearDown() override {
    SetSettingsDialog(nullptr);
    filter->Free();
    CodeGradeTest::TearDown();
  }

  const std::string kText = "E|0-1\r\n" + Straight("1=12", "0-5") + "\r\n";
  TProGradeFilter* filter = nullptr;
};

TEST_P(CodeGradeOpenTest, OkTakesTheDialogsText) {
  host.DigitCount = 4;
  std::string added;
  Responder.OnModal([&](TForm& shown) {
    auto& dialog = dynamic_cast<TCodeGradeFrm&>(shown);
    // Loaded, given the host, and its lists filled for the host's lottery.
    EXPECT_EQ(dialog.FConditions->Lines(), Strings{Straight("1=12", "0-5")});
    EXPECT_TRUE(dialog.chkCanErr->Checked());
    EXPECT_EQ(dialog.Host(), &host);
    EXPECT_EQ(dialog.cbxMax->Count(), 301);
    Click(*dialog.btnAdd);
    added = dialog.BuildCondition();
    Click(*dialog.btnOK);
  });
  EXPECT_TRUE(filter->Open());
  EXPECT_EQ(Responder.ModalForms, Strings{"CodeGradeFrm"});
  EXPECT_EQ(ChipDigitCount, 4);
  EXPECT_EQ(filter->FilterStr, kText + added + "\r\n");
  EXPECT_EQ(host.Refs, 1);  // the filter's own; the dialog let its go
}

TEST_P(CodeGradeOpenTest, CancelKeepsTheText) {
  Responder.OnModal([](TForm& shown) {
    auto& dialog = dynamic_cast<TCodeGradeFrm&>(shown);
    Click(*dialog.btnAdd);
    Click(*dialog.btnClose);
  });
  EXPECT_TRUE(filter->Open());
  EXPECT_EQ(filter->FilterStr, kText);
  EXPECT_TRUE(filter->Open());  // closed unanswered: cancelled too
  EXPECT_EQ(filter->FilterStr, kText);
  EXPECT_EQ(Responder.ModalForms.size(), 2u);
}

VELTRIN_ON_UI_BACKENDS(CodeGradeHostTest);
VELTRIN_ON_UI_BACKENDS(CodeGradeOpenTest);

}  // namespace
}  // namespace veltrin
