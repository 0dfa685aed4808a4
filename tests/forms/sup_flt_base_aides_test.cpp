// The condition list dialog's calls into the host on every backend: the
// batch filter aide (the sample asked for, the ranges rewritten, the count
// reported, every record field released once whatever the host answered) and
// the tolerance aide (a prepared filter object handed over, or released by
// the dialog where the host never gets it); the menu items that reach them;
// and the popup menu of the simulated run's result list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/texts.h"
#include "support/gbk.h"
#include "tests/forms/sup_flt_base_fixture.h"
#include "ui/services.h"

namespace veltrin {
namespace {

using namespace ui;
using test::Straight;
using test::TAideHost;
using test::TCountedFilter;
using test::TUiTempDir;
using test::UiReadFile;
using Strings = std::vector<std::string>;

class SupFltBaseAidesTest : public test::SupFltBaseTest {
 protected:
  void TearDown() override {
    SupFltBaseTest::TearDown();
    // The dialog held the host while it lived and let it go with it.
    EXPECT_EQ(host.Refs, 0);
  }
  std::string BatchDone(int n) {
    return std::string(kTxtBatchDoneHead) + std::to_string(n) + kTxtBatchDoneTail;
  }

  TAideHost host;  // outlives the dialog (declared before it is created)
};

// Scores under 1=12 21: 121 -> 2, 212 -> 2, 123 -> 1, 555 -> 0.
const Strings kSample = {"121", "212", "123", "555"};

TEST_P(SupFltBaseAidesTest, BatchAideRewritesRangesAndReports) {
  const std::string first = Straight("1=12 21", "5-9");
  const std::string second = Straight("1=55", "0-0");
  form->SetConditionsText(first + ";" + second + ";");
  form->SetHost(&host);
  EXPECT_EQ(host.Refs, 1);
  ClickItem(List(), 1);
  host.BetTexts = kSample;
  host.KeepShare = 10000;

  Click(*form->btnBatFltAide);
  EXPECT_EQ(host.BatchCalls, 1);
  EXPECT_TRUE(host.RequestWasFresh);
  EXPECT_EQ(TCountedFilter::BatchRuns, 1);
  if (!OnWin32()) {
    EXPECT_EQ(TCountedFilter::WaitDepthInBatch, 1);  // under the hourglass
  }
  EXPECT_EQ(ui::TheHeadlessBackend().WaitDepth(), 0);
  // Both lines get the range of the whole sample (1=55: 555 scores 2).
  EXPECT_EQ(Lines(), (Strings{Straight("1=12 21", "0-2"), Straight("1=55", "0-2")}));
  EXPECT_EQ(ListItems(), Lines());
  EXPECT_EQ(List().ItemIndex(), 0);
  EXPECT_EQ(CountInfo(), Info(1, 2));
  EXPECT_EQ(Responder.Texts(TMsgKind::Info), Strings{BatchDone(2)});
  EXPECT_EQ(Responder.Messages.size(), 1u);
  EXPECT_EQ(Responder.Messages[0].Caption, kTxtSysCaption);
  EXPECT_TRUE(host.AllReleasedOnce());
  EXPECT_EQ(test::RefsOf(host.HostList), 1u);  // the result's list stays the host's
}

TEST_P(SupFltBaseAidesTest, BatchAideThatChangesNothingSaysNothing) {
  const Strings lines = {Straight("1=12 21", "5-9"), Straight("1=55", "0-0")};
  struct Case {
    const char* what;
    TAideHost::TBatch batch;
    int64_t keep;
    Strings conditions;
    bool noFilter;
  } cases[] = {
      {"host fails", TAideHost::TBatch::Fail, 10000, lines, false},
      {"host fails after filling", TAideHost::TBatch::FailAfterFilling, 10000, lines, false},
      {"no bets", TAideHost::TBatch::Nothing, 10000, lines, false},
      {"no range kept", TAideHost::TBatch::Bets, 0, lines, false},
      {"lines the filter rejects", TAideHost::TBatch::Bets, 10000, {"K1", "D2"}, false},
      {"no filter", TAideHost::TBatch::Bets, 10000, lines, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TAideHost caseHost;
    {
      test::TTestSupFltForm dialog;
      dialog.NoFilter = c.noFilter;
      std::string text;
      for (const std::string& line : c.conditions) text += line + ";";
      dialog.SetConditionsText(text);
      dialog.SetHost(&caseHost);
      ClickItem(*dialog.lstFilter, 1);
      caseHost.Batch = c.batch;
      caseHost.BetTexts = kSample;
      caseHost.KeepShare = c.keep;
      Responder.Messages.clear();

      Click(*dialog.btnBatFltAide);
      EXPECT_EQ(caseHost.BatchCalls, 1);
      EXPECT_EQ(dialog.FConditions->Lines(), c.conditions);
      EXPECT_EQ(dialog.lstFilter->ItemIndex(), 1);
      EXPECT_TRUE(Responder.Messages.empty());
      EXPECT_TRUE(caseHost.AllReleasedOnce());
      EXPECT_EQ(TCountedFilter::Live, 0);
    }
    EXPECT_EQ(caseHost.Refs, 0);
  }
}

TEST_P(SupFltBaseAidesTest, BatchAideNeedsLinesAndAHost) {
  form->SetHost(&host);
  Click(*form->btnBatFltAide);
  EXPECT_EQ(Responder.Texts(TMsgKind::Warning), Strings{kTxtConditionsEmpty});
  EXPECT_EQ(host.BatchCalls, 0);

  // Without a host: silently nothing.
  test::TTestSupFltForm hostless;
  hostless.SetConditionsText(Straight("1=12", "0-9"));
  Responder.Messages.clear();
  Click(*hostless.btnBatFltAide);
  EXPECT_TRUE(Responder.Messages.empty());
  EXPECT_EQ(hostless.FConditions->Lines(), Strings{Straight("1=12", "0-9")});
  EXPECT_EQ(TCountedFilter::Live, 0);
}

TEST_P(SupFltBaseAidesTest, ToleranceAideHandsTheHostAPreparedFilter) {
  form->LoadSettingsText("E|0-1\r\n" + Straight("1=12", "0-9") + "\r\n" + Straight("1=21", "1-3") +
                         "\r\n");
  EXPECT_TRUE(form->chkCanErr->Checked());
  form->SetHost(&host);

  // The button is hidden until a derived dialog shows it; menu item J finds
  // it by its caption all the same.
  ASSERT_FALSE(form->RzButton2->Visible());
  ChooseMenuItem(*form->J);
  ASSERT_EQ(host.ToleranceCalls, 1);
  ASSERT_NE(host.Received, nullptr);
  EXPECT_TRUE(host.ReceivedPrepared);
  // The condition lines only: the aide proposes the tolerance itself.
  EXPECT_EQ(host.Received->FilterStr, form->GetConditionsText());
  EXPECT_FALSE(host.Received->CanErr);
  EXPECT_EQ(host.ReceivedCaption, "Veltrin");
  EXPECT_EQ(host.ReceivedZero, 0);
  EXPECT_TRUE(Responder.Messages.empty());
  // The object is the host's now; the dialog holds nothing of it.
  EXPECT_EQ(TCountedFilter::Live, 1);
  host.Received->Free();
  host.Received = nullptr;
  EXPECT_EQ(TCountedFilter::Live, 0);

  // The button itself, once shown.
  form->RzButton2->SetVisible(true);
  Click(*form->RzButton2);
  EXPECT_EQ(host.ToleranceCalls, 2);
  EXPECT_EQ(TCountedFilter::Live, 1);
  host.Received->Free();
  host.Received = nullptr;
}

TEST_P(SupFltBaseAidesTest, ToleranceAideReleasesWhatTheHostNeverGets) {
  // No host.
  form->SetConditionsText(Straight("1=12", "0-9"));
  form->RzButton2->Click();
  EXPECT_EQ(TCountedFilter::Live, 0);

  // Lines that do not prepare, and an empty list.
  form->SetHost(&host);
  for (const char* text : {"K1;D2;", ""}) {
    form->SetConditionsText(text);
    ChooseMenuItem(*form->J);
    EXPECT_EQ(host.ToleranceCalls, 0);
    EXPECT_EQ(TCountedFilter::Live, 0);
  }
  // No filter at all.
  form->SetConditionsText(Straight("1=12", "0-9"));
  form->NoFilter = true;
  ChooseMenuItem(*form->J);
  EXPECT_EQ(host.ToleranceCalls, 0);
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(SupFltBaseAidesTest, MenuItemsIAndJClickTheButtons) {
  int historyClicks = 0;
  form->btnHisFlt->OnClick = [&historyClicks](TComponent&) { ++historyClicks; };
  ChooseMenuItem(*form->I);
  EXPECT_EQ(historyClicks, 1);  // hidden, and still clicked

  // J takes the first button captioned 容错助手, in creation order.
  int firstClicks = 0;
  form->RzButton2->OnClick = [&firstClicks](TComponent&) { ++firstClicks; };
  form->Build(
      {TDesc(TKind::Button, "btnOtherAide", "tabFilter", kTxtToleranceAide).At(254, 256, 62, 22)});
  int otherClicks = 0;
  form->Get<TButton>("btnOtherAide")->OnClick = [&otherClicks](TComponent&) { ++otherClicks; };
  ChooseMenuItem(*form->J);
  EXPECT_EQ(firstClicks, 1);
  EXPECT_EQ(otherClicks, 0);
  // A caption that differs in the least does not count.
  form->RzButton2->SetCaption(std::string(kTxtToleranceAide) + " ");
  ChooseMenuItem(*form->J);
  EXPECT_EQ(firstClicks, 1);
  EXPECT_EQ(otherClicks, 1);
}

TEST_P(SupFltBaseAidesTest, ResultListCopySaveAndClear) {
  const Strings results = {"121 - Veltrin - " + Straight("1=12", "0-9") + " - 1",
                           "121 - Veltrin - " + Straight("1=21", "3-9") + " - 1"};
  for (const std::string& line : results) form->lstFltValidate->AddItem(line);

  ChooseMenuItem(*form->mnuCopyResult);
  EXPECT_EQ(ClipboardText(), results[0] + "\r\n" + results[1] + "\r\n");

  TUiTempDir dir;
  const std::string file = dir.File("result.txt");
  test::UiWriteFile(file, "earlier content that is longer than the results themselves\r\n");
  Responder.ChooseFile(file);
  Responder.Answer(mrYes);  // overwrite
  ChooseMenuItem(*form->mnuSaveResult);
  ASSERT_EQ(Responder.FileDialogs.size(), 1u);
  const TFileDialogState& asked = Responder.FileDialogs[0];
  EXPECT_TRUE(asked.Save);
  EXPECT_EQ(asked.Filter, kTxtResultFileFilter);
  EXPECT_EQ(asked.InitialDir, UserDir);
  EXPECT_EQ(asked.FileName, std::string("Veltrin") + kTxtResultFileSuffix);
  EXPECT_EQ(asked.DefaultExt, "txt");
  EXPECT_EQ(UiReadFile(file), results[0] + "\r\n" + results[1] + "\r\n");

  // Cancelled: nothing written.
  Responder.CancelFile();
  const std::string other = dir.File("other.txt");
  ChooseMenuItem(*form->mnuSaveResult);
  EXPECT_FALSE(FileExists(other));

  // A file that cannot be written is reported.
  Responder.Messages.clear();
  Responder.ChooseFile(dir.File("no-such-folder/result.txt"));
  ChooseMenuItem(*form->mnuSaveResult);
  ASSERT_EQ(Responder.Texts(TMsgKind::Error).size(), 1u);
  EXPECT_EQ(Responder.Texts(TMsgKind::Error)[0].rfind(kTxtSaveFailed, 0), 0u);

  ChooseMenuItem(*form->mnuClearResult);
  EXPECT_EQ(form->lstFltValidate->Count(), 0);
  EXPECT_TRUE(Responder.ScriptUsedUp());
}

VELTRIN_ON_UI_BACKENDS(SupFltBaseAidesTest);

}  // namespace
}  // namespace veltrin
