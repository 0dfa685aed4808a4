// The filter dialog base on every backend: the tolerance controls and the
// condition text in both directions, filter settings files, the copy-data
// message, help, OK and Close, and the host reference.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/lottery.h"
#include "common/text.h"
#include "common/texts.h"
#include "forms/form_texts.h"
#include "tests/forms/test_flt_form.h"
#include "tests/support/ui_fixture.h"
#include "tests/support/ui_stub_host.h"
#include "ui/automation.h"
#include "ui/services.h"

namespace veltrin {
namespace {

using test::TTestFltForm;
using test::TUiTempDir;
using ui::TMsgKind;

class FltBaseTest : public test::UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    if (HasFatalFailure()) return;
    form = std::make_unique<TTestFltForm>();
  }
  void TearDown() override {
    form.reset();
    UiBackendTest::TearDown();
  }

  struct TToleranceState {
    bool Checked;
    std::string Low, High;
    bool Enabled;
  };
  TToleranceState Tolerance() const {
    return {form->chkCanErr->Checked(), form->edtCanErr1->Text(), form->edtCanErr2->Text(),
            form->edtCanErr1->Enabled() && form->edtCanErr2->Enabled()};
  }
  void SetTolerance(bool on, const std::string& low, const std::string& high) {
    form->chkCanErr->SetChecked(on);
    form->edtCanErr1->SetText(low);
    form->edtCanErr2->SetText(high);
  }

  std::unique_ptr<TTestFltForm> form;
};

// ---- the condition text ------------------------------------------------------------

TEST_P(FltBaseTest, StartsAsDesigned) {
  EXPECT_EQ(form->Caption(), kTxtFltBaseCaption);
  EXPECT_EQ(form->ClientWidth(), 535);
  EXPECT_EQ(form->ClientHeight(), 373);
  EXPECT_EQ(form->Panel1->Height(), 36);
  EXPECT_EQ(form->pageFlt->Height(), 337);
  EXPECT_EQ(form->pageFlt->TabHeight(), 18);
  EXPECT_TRUE(form->FCancelled);
  EXPECT_FALSE(form->chkCanErr->Checked());
  EXPECT_FALSE(form->edtCanErr1->Enabled());
  EXPECT_EQ(form->edtCanErr1->MaxValue(), 10000);
  EXPECT_EQ(form->edtCanSupErr2->MaxValue(), 100000);
  EXPECT_FALSE(form->chkCanSupErr->Visible());
  EXPECT_FALSE(form->tabFltValidate->TabVisible());
  EXPECT_TRUE(form->tabFilter->TabVisible());
  EXPECT_EQ(HelpFile, AppDirFile("szcqvb.chm"));
  EXPECT_EQ(form->GetSettingsText(), "");
}

TEST_P(FltBaseTest, StripButtonsKeepTheirDistanceToTheRightEdge) {
  // The pair-score dialog is wider and taller than the base.
  form->SetClientSize(544, 433);
  EXPECT_EQ(form->btnOK->Left(), 330);
  EXPECT_EQ(form->btnClose->Left(), 396);
  EXPECT_EQ(form->btnHelp->Left(), 468);
  EXPECT_EQ(form->btnSave->Left(), 210);
  EXPECT_EQ(form->Panel1->Top(), 433 - 36);
  EXPECT_EQ(form->pageFlt->Height(), 433 - 36);
  EXPECT_EQ(form->Peer().Prop(ui::TProp::ClientWidth), 544 + 2 * 6);
}

TEST_P(FltBaseTest, SettingsTextCarriesToleranceThenLines) {
  SetTolerance(true, "2", "5");
  EXPECT_EQ(form->GetSettingsText(), "E|2-5\r\n");
  SetTolerance(true, "0", "1");
  form->Lines = {"L1", "L2"};
  EXPECT_EQ(form->GetSettingsText(), "E|0-1\r\nL1\r\nL2\r\n");
  form->chkCanErr->SetChecked(false);
  EXPECT_EQ(form->GetSettingsText(), "L1\r\nL2\r\n");
  // A box that holds no tolerance goes out as the nearest value it allows
  // (OK and Save refuse it before this; other callers get a line the filter
  // reads).
  SetTolerance(true, " 7", "x");
  EXPECT_EQ(form->GetSettingsText(), "E|7-0\r\nL1\r\nL2\r\n");
  SetTolerance(true, "-3", "99999");
  EXPECT_EQ(form->GetSettingsText(), "E|0-10000\r\nL1\r\nL2\r\n");
}

TEST_P(FltBaseTest, OkAndSaveRefuseAToleranceTheFilterWouldNotTake) {
  const std::string mustBe =
      std::string(kTxtToleranceMustBe) + "0" + kTxtToleranceTo + "10000" + kTxtToleranceTail;
  struct Case {
    bool on;
    const char *low, *high;
    const char* warning;  // null: accepted
  } cases[] = {
      {true, "abc", "3", mustBe.c_str()},
      {true, "", "3", mustBe.c_str()},
      {true, "1", "", mustBe.c_str()},
      {true, "1", "10001", mustBe.c_str()},
      {true, "-1", "3", mustBe.c_str()},
      {true, " 2", "3", mustBe.c_str()},
      {true, "1x", "3", mustBe.c_str()},
      {true, "99999999999", "3", mustBe.c_str()},
      {true, "5", "3", kTxtRangeWarning},
      {true, "0", "10000", nullptr},
      {true, "007", "9", nullptr},
      {false, "abc", "", nullptr},  // switched off: not part of the text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.low) + "-" + c.high);
    Responder.Messages.clear();
    TTestFltForm dialog;
    dialog.chkCanErr->SetChecked(c.on);
    dialog.edtCanErr1->SetText(c.low);
    dialog.edtCanErr2->SetText(c.high);
    Responder.OnModal([&](ui::TForm&) { ui::PressFormKey(dialog, ui::TFormKey::Enter); });
    const int32_t result = dialog.ShowModal();
    if (!c.warning) {
      EXPECT_EQ(result, ui::mrOk);
      EXPECT_TRUE(Responder.Messages.empty());
      continue;
    }
    // The dialog stayed open (the responder closed it afterwards) and said why.
    EXPECT_EQ(result, ui::mrCancel);
    EXPECT_TRUE(dialog.FCancelled);
    EXPECT_EQ(Responder.Texts(TMsgKind::Warning), std::vector<std::string>{c.warning});
    // Save asks for no file either.
    const size_t dialogs = Responder.FileDialogs.size();
    ui::Click(*dialog.btnSave);
    EXPECT_EQ(Responder.FileDialogs.size(), dialogs);
    EXPECT_EQ(Responder.Texts(TMsgKind::Warning).size(), 2u);
  }
}

TEST_P(FltBaseTest, TheSuperToleranceBoxesAreCheckedWhenInUse) {
  form->chkCanSupErr->SetVisible(true);
  SetTolerance(true, "0", "1");
  ui::Click(*form->chkCanSupErr);
  form->edtCanSupErr1->SetText("100001");  // its range ends at 100000
  form->edtCanSupErr2->SetText("2");
  EXPECT_FALSE(form->ToleranceValid());
  form->edtCanSupErr1->SetText("100000");
  EXPECT_FALSE(form->ToleranceValid());  // above its high bound
  form->edtCanSupErr2->SetText("100000");
  EXPECT_TRUE(form->ToleranceValid());
  EXPECT_EQ(Responder.Messages.size(), 2u);
}

struct LoadCase {
  const char* Name;
  const char* Text;
  bool Checked;
  const char* Low;
  const char* High;
  const char* Passed;  // what SetConditionsText receives
};

class FltLoadTest : public FltBaseTest {};

TEST_P(FltLoadTest, LoadsToleranceLinesOnlyAtTheFront) {
  const LoadCase cases[] = {
      {"semicolons", "E|2-5;c1;c2;", true, "2", "5", "c1;c2;"},
      {"line breaks", "E|2-5\r\nc1\r\nc2\r\n", true, "2", "5", "c1\r\nc2\r\n"},
      {"lower case", "e|3-4\r\nc1", true, "3", "4", "c1"},
      {"no tolerance", "c1\r\n", false, "0", "0", "c1\r\n"},
      {"no separator", "E|2-5", false, "0", "0", "E|2-5"},
      {"malformed", "E|x-5;c1;", false, "0", "0", "E|x-5;c1;"},
      {"no dash", "E|25;c1;", false, "0", "0", "E|25;c1;"},
      {"super line", "E|1-2\r\nS|3-4\r\nc1\r\n", true, "1", "2", "c1\r\n"},
      {"super line alone", "S|3-4;c1;", false, "0", "0", "c1;"},
  };
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestFltForm f;
    f.LoadSettingsText(c.Text);
    EXPECT_EQ(f.chkCanErr->Checked(), c.Checked);
    EXPECT_EQ(f.edtCanErr1->Text(), c.Low);
    EXPECT_EQ(f.edtCanErr2->Text(), c.High);
    // The enabling rule ran whenever the switch changed.
    EXPECT_EQ(f.edtCanErr1->Enabled(), c.Checked);
    EXPECT_EQ(f.edtCanErr2->Enabled(), c.Checked);
    EXPECT_FALSE(f.chkCanSupErr->Enabled());
    EXPECT_EQ(f.SetCalls, 1);
    EXPECT_EQ(f.LastSetText, c.Passed);
  }
}

TEST_P(FltLoadTest, BlankTextChangesNothing) {
  SetTolerance(true, "3", "4");
  form->Lines = {"a"};
  for (const char* blank : {"", "   ", " \r\n\t "}) {
    form->LoadSettingsText(blank);
    EXPECT_EQ(form->SetCalls, 0);
    EXPECT_EQ(form->Lines, std::vector<std::string>{"a"});
    EXPECT_TRUE(form->chkCanErr->Checked());
    EXPECT_EQ(form->edtCanErr1->Text(), "3");
  }
}

TEST_P(FltLoadTest, DialogStateSurvivesTheRoundTrip) {
  SetTolerance(true, "1", "3");
  form->Lines = {kTxtModeStraight + std::string(":1=12:0-2"), "L2"};
  const std::string text = form->GetSettingsText();
  for (const std::string& carried : {text, ReplaceAll(text, "\r\n", ";")}) {
    TTestFltForm copy;
    copy.LoadSettingsText(carried);
    EXPECT_EQ(copy.GetSettingsText(), text);
    EXPECT_EQ(copy.Lines, form->Lines);
  }
}

TEST_P(FltBaseTest, SwitchEnablesTheToleranceBoxes) {
  ui::Click(*form->chkCanErr);
  EXPECT_TRUE(Tolerance().Checked);
  EXPECT_TRUE(Tolerance().Enabled);
  EXPECT_FALSE(form->chkCanSupErr->Enabled());  // hidden: never enabled
  ui::Click(*form->chkCanErr);
  EXPECT_FALSE(Tolerance().Enabled);
  // A visible super-tolerance switch follows the first one.
  form->chkCanSupErr->SetVisible(true);
  form->chkCanErr->SetChecked(true);
  EXPECT_TRUE(form->chkCanSupErr->Enabled());
  EXPECT_FALSE(form->edtCanSupErr1->Enabled());
  ui::Click(*form->chkCanSupErr);
  EXPECT_TRUE(form->edtCanSupErr1->Enabled() && form->edtCanSupErr2->Enabled());
  form->edtCanSupErr1->SetText("4");
  form->edtCanSupErr2->SetText("6");
  EXPECT_EQ(form->GetSettingsText(), "E|0-0\r\nS|4-6\r\n");
}

struct RangeCase {
  int32_t Min, Max;
  bool Warn, Result, Warned;
};

TEST_P(FltBaseTest, CheckRangeWarnsOnlyWhenAsked) {
  for (RangeCase c : {RangeCase{5, 3, true, false, true}, RangeCase{5, 3, false, false, false},
                      RangeCase{3, 3, false, true, false}, RangeCase{-2, 1, true, true, false}}) {
    size_t before = Responder.Messages.size();
    EXPECT_EQ(form->CheckRange(c.Min, c.Max, c.Warn), c.Result);
    EXPECT_EQ(Responder.Messages.size() - before, c.Warned ? 1u : 0u);
  }
  EXPECT_EQ(Responder.Texts(TMsgKind::Warning), std::vector<std::string>{kTxtRangeWarning});
}

// ---- settings files ------------------------------------------------------------------

class FltFileTest : public FltBaseTest {
 protected:
  std::string Section() const { return std::string("[") + kTxtFltSection + "]"; }
  std::string Entry(const std::string& key, const std::string& value) const {
    return key + "=" + value;
  }
  TUiTempDir dir;
};

TEST_P(FltFileTest, SavesANewFileWithTheExtension) {
  SetTolerance(true, "0", "1");
  form->Lines = {"L1", "L2"};
  Responder.ChooseFile(dir.File("mine"));
  ui::Click(*form->btnSave);
  EXPECT_EQ(test::UiReadFile(dir.File("mine.flt")),
            Section() + "\r\n" + Entry(kTxtFltBaseCaption, "E|0-1;L1;L2;") + "\r\n");
  ASSERT_EQ(Responder.FileDialogs.size(), 1u);
  const ui::TFileDialogState& asked = Responder.FileDialogs[0];
  EXPECT_TRUE(asked.Save);
  EXPECT_EQ(asked.Filter, kTxtFltFileFilter);
  EXPECT_EQ(asked.FileName, kTxtFltBaseCaption);
  EXPECT_EQ(asked.DefaultExt, "flt");
  EXPECT_EQ(asked.InitialDir, "");
  EXPECT_EQ(Responder.Texts(TMsgKind::Info), std::vector<std::string>{kTxtSaveOk});
}

TEST_P(FltFileTest, SavingMergesIntoAnExistingFileAfterYes) {
  const std::string path = dir.File("both.flt");
  test::UiWriteFile(path, "[Other]\r\nk=v\r\n" + Section() + "\r\nZ=1\r\n\r\n[Last]\r\nq=2\r\n");
  form->Lines = {"A=1"};
  Responder.ChooseFile(path);
  Responder.Answer(ui::mrYes);
  ui::Click(*form->btnSave);
  ASSERT_EQ(Responder.Texts(TMsgKind::Question).size(), 1u);
  EXPECT_EQ(Responder.Texts(TMsgKind::Question)[0], std::string(kTxtOverwriteAsk) + "\r\n" + path);
  EXPECT_TRUE(Responder.Messages[0].DefaultSecond);  // No is the default
  EXPECT_EQ(test::UiReadFile(path), "[Other]\r\nk=v\r\n" + Section() + "\r\nZ=1\r\n" +
                                        Entry(kTxtFltBaseCaption, "A=1;") +
                                        "\r\n\r\n[Last]\r\nq=2\r\n");

  // A second dialog of another caption adds its own key.
  TTestFltForm other;
  other.SetCaption("Second");
  other.Lines = {"B"};
  Responder.ChooseFile(path);
  Responder.Answer(ui::mrYes);
  ui::Click(*other.btnSave);
  EXPECT_NE(test::UiReadFile(path).find(Entry(kTxtFltBaseCaption, "A=1;") + "\r\nSecond=B;\r\n"),
            std::string::npos);
}

TEST_P(FltFileTest, NoToOverwriteOrCancelWritesNothing) {
  const std::string path = dir.File("kept.flt");
  test::UiWriteFile(path, "keep me");
  Responder.ChooseFile(path);
  Responder.Answer(ui::mrNo);
  Responder.CancelFile();
  EXPECT_FALSE(form->SaveFltFile("k", "v"));
  EXPECT_FALSE(form->SaveFltFile("k", "v"));
  EXPECT_EQ(test::UiReadFile(path), "keep me");
  EXPECT_TRUE(Responder.Texts(TMsgKind::Info).empty());
}

TEST_P(FltFileTest, ExtensionIsAddedOnlyToNamesWithoutADot) {
  std::filesystem::create_directories(dir.File("my.dir"));
  const std::string dotted = (std::filesystem::path(dir.File("my.dir")) / "plain").string();
  Responder.ChooseFile(dotted);
  Responder.ChooseFile(dir.File("named.txt"));
  EXPECT_TRUE(form->SaveFltFile("k", "v"));
  EXPECT_TRUE(form->SaveFltFile("k", "v"));
  EXPECT_TRUE(ui::FileExists(dotted));
  EXPECT_TRUE(ui::FileExists(dir.File("named.txt")));
  EXPECT_FALSE(ui::FileExists(dotted + ".flt"));
}

TEST_P(FltFileTest, AFailedSaveSaysSoAndKeepsTheFileWhole) {
  const std::string missing = dir.File("no-such-folder") + "/x.flt";
  Responder.ChooseFile(missing);
  EXPECT_FALSE(form->SaveFltFile("k", "v"));
  EXPECT_EQ(Responder.Texts(TMsgKind::Error),
            std::vector<std::string>{std::string(kTxtSaveFailed) + "\r\n" + missing});
  EXPECT_TRUE(Responder.Texts(TMsgKind::Info).empty());
}

TEST_P(FltFileTest, LoadsTheDialogsKey) {
  const std::string path = dir.File("load.flt");
  test::UiWriteFile(
      path, Section() + "\r\nOther=x\r\n" + Entry(kTxtFltBaseCaption, "E|2-5;c1;c2;") + "\r\n");
  Responder.ChooseFile(path);
  ui::Click(*form->btnLoad);
  EXPECT_TRUE(form->chkCanErr->Checked());
  EXPECT_EQ(form->edtCanErr2->Text(), "5");
  EXPECT_EQ(form->Lines, (std::vector<std::string>{"c1", "c2"}));
  EXPECT_EQ(Responder.FileDialogs[0].Filter, kTxtFltFileFilter);
  EXPECT_FALSE(Responder.FileDialogs[0].Save);
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(FltFileTest, MissingKeyOrCancelChangesNothingSilently) {
  const std::string path = dir.File("other.flt");
  test::UiWriteFile(path, Section() + "\r\nSomeoneElse=E|1-1;x;\r\n");
  form->Lines = {"a"};
  Responder.ChooseFile(path);
  ui::Click(*form->btnLoad);
  ui::Click(*form->btnLoad);  // cancelled
  EXPECT_EQ(form->SetCalls, 0);
  EXPECT_FALSE(form->chkCanErr->Checked());
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(FltFileTest, LoadErrorsAreReported) {
  const std::string path = dir.File("bad.flt");
  test::UiWriteFile(path, Section() + "\r\n" + Entry(kTxtFltBaseCaption, "E|2-5;c1;") + "\r\n");
  form->FailSet = true;
  Responder.ChooseFile(path);
  ui::Click(*form->btnLoad);
  EXPECT_EQ(Responder.Texts(TMsgKind::Info), std::vector<std::string>{kTxtOpenFailed});
  EXPECT_TRUE(form->chkCanErr->Checked());  // what was loaded before the error stays

  // A file that cannot be read at all: the error names it.
  Responder.ChooseFile(dir.Path());
  ui::Click(*form->btnLoad);
  EXPECT_EQ(Responder.Texts(TMsgKind::Error),
            std::vector<std::string>{std::string(kTxtImportFailed) + dir.Path()});
}

// ---- copy-data message, help, OK and Close, host ---------------------------------------

TEST_P(FltBaseTest, CopyDataFillsTheToleranceBoxes) {
  const char text[] = "3-7";
  EXPECT_EQ(ui::SendCopyData(*form, 0, text, sizeof text), 0);
  EXPECT_EQ(form->FToleranceText, "3-7");
  EXPECT_EQ(Tolerance().Low, "3");
  EXPECT_EQ(Tolerance().High, "7");
  EXPECT_FALSE(Tolerance().Checked);  // switch and enabling untouched
  EXPECT_FALSE(Tolerance().Enabled);

  SetTolerance(false, "9", "9");
  ui::Click(*form->Label6);  // puts the received range back
  EXPECT_EQ(Tolerance().Low, "3");
  EXPECT_EQ(Tolerance().High, "7");
}

TEST_P(FltBaseTest, CopyDataIsReadWithinTheBlock) {
  struct Case {
    std::string Block;
    size_t Size;
    const char *Low, *High;
  };
  const Case cases[] = {
      {"12-40XYZ", 5, "12", "40"},                 // no zero: cut at the block's end
      {std::string("1-2\0junk", 8), 8, "1", "2"},  // zero inside
      {"48", 2, "48", "48"},                       // no dash: both get the text
      {"", 0, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Block);
    ui::SendCopyData(*form, 0, c.Block.data(), c.Size);
    EXPECT_EQ(Tolerance().Low, c.Low);
    EXPECT_EQ(Tolerance().High, c.High);
  }
  ui::SendCopyData(*form, 0, nullptr, 16);  // a block without data is empty
  EXPECT_EQ(form->FToleranceText, "");
}

TEST_P(FltBaseTest, Label6BeforeAnyMessageEmptiesTheBoxes) {
  SetTolerance(true, "1", "2");
  ui::Click(*form->Label6);
  EXPECT_EQ(Tolerance().Low, "");
  EXPECT_EQ(Tolerance().High, "");
}

// The host's help file and the shipped page, each present or not.
class HelpFiles {
 public:
  HelpFiles(bool chm, bool page) : saved_(HelpFile) {
    HelpFile = dir_.File("szcqvb.chm");
    Page = dir_.File("veltrin-help.html");
    if (chm) test::UiWriteFile(HelpFile, "chm");
    if (page) test::UiWriteFile(Page, "<html>");
  }
  ~HelpFiles() { HelpFile = saved_; }
  std::string Page;

 private:
  TUiTempDir dir_;
  std::string saved_;
};

TEST_P(FltBaseTest, HelpOpensTheButtonsTopic) {
  // Adjusted: the host's help file must exist now; without it the page
  // opens (below).
  HelpFiles files(true, true);
  form->FHelpPage = files.Page;
  ui::Click(*form->btnHelp);
  form->btnHelp->SetHelpContext(1019);
  ui::Click(*form->btnHelp);
  EXPECT_EQ(Responder.Programs, (std::vector<std::string>{"hh.exe " + HelpFile + "::/101.htm",
                                                          "hh.exe " + HelpFile + "::/1019.htm"}));
}

TEST_P(FltBaseTest, HelpWithoutTheHostsFileOpensThePageOrSaysWhatIsMissing) {
  // Adjusted: the page opens as a document (the system's program for
  // pages), no longer through a started command line.
  {
    HelpFiles files(false, true);
    form->FHelpPage = files.Page;
    ui::Click(*form->btnHelp);
    EXPECT_EQ(Responder.Documents, std::vector<std::string>{files.Page});
    EXPECT_TRUE(Responder.Programs.empty());
    EXPECT_TRUE(Responder.Messages.empty());
  }
  {
    // The system has no program for pages: said, naming the page.
    HelpFiles files(false, true);
    form->FHelpPage = files.Page;
    Responder.DocumentsOpen = false;
    ui::Click(*form->btnHelp);
    Responder.DocumentsOpen = true;
    EXPECT_EQ(Responder.Documents.size(), 2u);
    EXPECT_EQ(Responder.Texts(TMsgKind::Error),
              std::vector<std::string>{std::string(kTxtHelpOpenFailed) + "\r\n" + files.Page});
    Responder.Messages.clear();
  }
  HelpFiles none(false, false);
  form->FHelpPage = none.Page;
  ui::Click(*form->btnHelp);
  EXPECT_EQ(Responder.Documents.size(), 2u);  // nothing more was opened
  EXPECT_TRUE(Responder.Programs.empty());
  EXPECT_EQ(Responder.Texts(TMsgKind::Error),
            std::vector<std::string>{std::string(kTxtHelpMissing) + "\r\n" + HelpFile + "\r\n" +
                                     none.Page});
}

TEST_P(FltBaseTest, OkClearsCancelledAndClosing) {
  struct Case {
    const char* Name;
    std::function<void(TTestFltForm&)> Action;
    bool Cancelled;
    int32_t Result;
  };
  const Case cases[] = {
      {"ok", [](TTestFltForm& d) { ui::Click(*d.btnOK); }, false, ui::mrOk},
      {"close", [](TTestFltForm& d) { ui::Click(*d.btnClose); }, true, ui::mrCancel},
      {"enter", [](TTestFltForm& d) { ui::PressFormKey(d, ui::TFormKey::Enter); }, false, ui::mrOk},
      {"esc", [](TTestFltForm& d) { ui::PressFormKey(d, ui::TFormKey::Escape); }, true,
       ui::mrCancel},
      {"close box", [](TTestFltForm& d) { ui::PressFormKey(d, ui::TFormKey::CloseBox); }, true,
       ui::mrCancel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TTestFltForm dialog;
    Responder.OnModal([&](ui::TForm&) { c.Action(dialog); });
    EXPECT_EQ(dialog.ShowModal(), c.Result);
    EXPECT_EQ(dialog.FCancelled, c.Cancelled);
  }
}

TEST_P(FltBaseTest, ShowingTurnsToTheFirstPage) {
  form->tabFltValidate->SetTabVisible(true);
  form->pageFlt->SetActivePageIndex(1);
  Responder.OnModal([&](ui::TForm&) { EXPECT_EQ(form->pageFlt->ActivePageIndex(), 0); });
  form->ShowModal();
  EXPECT_EQ(Responder.ModalForms, std::vector<std::string>{"frmTestFlt"});
}

TEST_P(FltBaseTest, HostReferenceIsCountedAndReleasedWithTheWindow) {
  test::TStubHost first, second;
  form->SetHost(&first);
  EXPECT_EQ(first.Refs, 1);
  form->SetHost(nullptr);  // ignored
  EXPECT_EQ(form->Host(), &first);
  form->SetHost(&second);
  EXPECT_EQ(first.Refs, 0);
  EXPECT_EQ(second.Refs, 1);
  form.reset();
  EXPECT_EQ(second.Refs, 0);
}

VELTRIN_ON_UI_BACKENDS(FltBaseTest);
VELTRIN_ON_UI_BACKENDS(FltLoadTest);
VELTRIN_ON_UI_BACKENDS(FltFileTest);

}  // namespace
}  // namespace veltrin
