// The condition list dialog on every backend: its controls and menus, the
// list operations with the position label and the state of the replace
// button, keep or remove, the condition text in and out, and the text import.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/texts.h"
#include "tests/forms/sup_flt_base_fixture.h"

namespace veltrin {
namespace {

using namespace ui;
using test::TUiTempDir;
using test::UiWriteFile;
using Strings = std::vector<std::string>;

class SupFltBaseListTest : public test::SupFltBaseTest {};

TEST_P(SupFltBaseListTest, ControlsMenusAndFirstState) {
  // The column of buttons, the list to its right with the strip under it.
  struct Place {
    const char* name;
    const char* caption;
    int left, top;
    bool visible, enabled;
  } buttons[] = {
      {"btnAdd", kTxtAdd, 254, 64, true, true},
      {"btnReplace", kTxtReplace, 254, 88, true, false},
      {"btnDelete", kTxtDelete, 254, 112, true, true},
      {"btnDeleteAll", kTxtDeleteAll, 254, 136, true, true},
      {"btnHisFlt", kTxtHistoryAide, 254, 184, false, true},
      {"RzButton2", kTxtToleranceAide, 254, 208, false, true},
  };
  for (const Place& p : buttons) {
    SCOPED_TRACE(p.name);
    TButton& b = *form->Get<TButton>(p.name);
    EXPECT_EQ(b.Parent(), form->tabFilter);
    EXPECT_EQ(b.Caption(), p.caption);
    EXPECT_EQ(b.Left(), p.left);
    EXPECT_EQ(b.Top(), p.top);
    EXPECT_LE(b.Left() + b.Width(), 320);  // left of the list
    EXPECT_EQ(b.Visible(), p.visible);
    EXPECT_EQ(b.Enabled(), p.enabled);
  }
  EXPECT_EQ(form->RzPanel4->Parent(), form->tabFilter);
  EXPECT_EQ(form->RzPanel4->Left(), 320);
  EXPECT_EQ(form->RzPanel4->Width(), 217);
  EXPECT_LE(form->RzPanel4->Top() + form->RzPanel4->Height(), form->tabFilter->Height());
  // The list fills the panel above the strip of two 17-pixel rows.
  EXPECT_EQ(form->lstFilter->Parent(), form->RzPanel4);
  EXPECT_EQ(form->LittlePanel->Height(), 34);
  EXPECT_EQ(form->LittlePanel->Top() + 34, form->RzPanel4->Height());
  EXPECT_EQ(form->lstFilter->Height(), form->LittlePanel->Top());
  EXPECT_EQ(form->lstFilter->Width(), 217);
  EXPECT_TRUE(form->lstFilter->MultiSelect());
  EXPECT_TRUE(form->lstFilter->IsVirtual());
  EXPECT_EQ(form->lstFilter->Desc().ItemHeight, 12);
  EXPECT_EQ(form->lstFilter->PopupMenu(), form->PopFilter);
  EXPECT_EQ(form->lstFltValidate->PopupMenu(), form->popValidateResult);
  // The strip: the grey label across it, the flat navy batch button at its
  // right end on the row below.
  EXPECT_EQ(form->lblFltCountInfo->Parent(), form->LittlePanel);
  // Adjusted: text a player reads keeps at least 4.5:1 against the faces
  // it may stand on (the classic and the light button face).
  const auto luminance = [](uint32_t bgr) {
    double sum = 0;
    const double weights[] = {0.2126, 0.7152, 0.0722};  // red, green, blue
    for (int k = 0; k < 3; ++k) {
      const double c = double((bgr >> (8 * k)) & 0xFF) / 255;
      sum += weights[k] * (c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    return sum;
  };
  const TColor text = form->lblFltCountInfo->FontColor();
  ASSERT_EQ(text & 0xFF000000u, 0u) << "an RGB colour";
  for (uint32_t face : {0xF0F0F0u, 0xF5F5F5u})
    EXPECT_GE((luminance(face) + 0.05) / (luminance(text) + 0.05), 4.5) << std::hex << face;
  EXPECT_EQ(CountInfo(), kTxtCountInfoEmpty);
  EXPECT_EQ(CountInfo(), Info(0, 0));
  TButton& batch = *form->btnBatFltAide;
  EXPECT_EQ(batch.Parent(), form->LittlePanel);
  EXPECT_EQ(batch.Caption(), kTxtBatchAide);
  EXPECT_EQ(batch.Left() + batch.Width(), 217);
  EXPECT_GE(batch.Top(), form->lblFltCountInfo->Top() + form->lblFltCountInfo->Height());
  EXPECT_EQ(batch.Top() + batch.Height(), 34);
  EXPECT_EQ(batch.FontColor(), clNavy);
  EXPECT_TRUE(batch.Desc().Flags & kFlat);
  EXPECT_TRUE(batch.Desc().Flags & kHandCursor);
  // The note under the list.
  EXPECT_EQ(form->lblInfo->Caption(), kTxtListNote);
  EXPECT_EQ(form->lblInfo->FontColor(), clMaroon);
  EXPECT_EQ(form->lblInfo->Left(), 320);
  EXPECT_GE(form->lblInfo->Top(), form->RzPanel4->Top() + form->RzPanel4->Height());
  EXPECT_LE(form->lblInfo->Top() + form->lblInfo->Height(), form->tabFilter->Height());
  EXPECT_TRUE(form->lblInfo->Visible());

  auto captions = [](const TPopupMenu& menu) {
    Strings out;
    for (const TMenuItem* item : menu.Items()) out.push_back(item->Name() + "=" + item->Caption());
    return out;
  };
  const std::string sep = "-";
  EXPECT_EQ(captions(*form->PopFilter),
            (Strings{"A=" + std::string(kTxtSelectAll), "B=" + std::string(kTxtSelectNone),
                     "C=" + sep, "D=" + std::string(kTxtSetRemove), "E=" + std::string(kTxtSetKeep),
                     "F=" + sep, "G=" + std::string(kTxtTextImport), "H=" + sep,
                     "I=" + std::string(kTxtHistoryAide), "J=" + std::string(kTxtToleranceAide)}));
  EXPECT_EQ(captions(*form->popValidateResult),
            (Strings{"mnuCopyResult=" + std::string(kTxtCopyResult),
                     "mnuSaveResult=" + std::string(kTxtSaveResult), "N3=" + sep,
                     "mnuClearResult=" + std::string(kTxtClearResult)}));

  // The base's OK and Close keep their distance to the right edge.
  EXPECT_EQ(form->btnOK->Left(), 330);
  EXPECT_EQ(form->btnClose->Left(), 396);
  EXPECT_EQ(form->btnHelp->Left(), 468);
}

TEST_P(SupFltBaseListTest, AddReplaceAndTheirStates) {
  // An empty editor adds and replaces nothing.
  Click(*form->btnAdd);
  EXPECT_TRUE(Lines().empty());
  EXPECT_FALSE(form->btnReplace->Enabled());

  TypeLine("D1");
  Click(*form->btnAdd);
  EXPECT_EQ(Lines(), Strings{"D1"});
  EXPECT_EQ(ListItems(), Strings{"D1"});
  EXPECT_EQ(List().ItemIndex(), 0);
  EXPECT_EQ(CountInfo(), Info(1, 1));
  EXPECT_TRUE(form->btnReplace->Enabled());

  TypeLine("D2");
  Click(*form->btnAdd);
  EXPECT_EQ(Lines(), (Strings{"D1", "D2"}));
  EXPECT_EQ(List().ItemIndex(), 1);
  EXPECT_EQ(CountInfo(), Info(2, 2));

  // Replace works on the current line, in place.
  ClickItem(List(), 0);
  TypeLine("K9");
  Click(*form->btnReplace);
  EXPECT_EQ(Lines(), (Strings{"K9", "D2"}));
  EXPECT_EQ(ListItems(), (Strings{"K9", "D2"}));
  EXPECT_EQ(List().ItemIndex(), 0);
  EXPECT_EQ(CountInfo(), Info(1, 2));
  TypeLine("");
  Click(*form->btnReplace);
  EXPECT_EQ(Lines(), (Strings{"K9", "D2"}));
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(SupFltBaseListTest, ReplaceWithoutCurrentLineAppends) {
  Load("a;b;");
  EXPECT_EQ(List().ItemIndex(), -1);
  EXPECT_EQ(CountInfo(), Info(0, 2));
  EXPECT_FALSE(form->btnReplace->Enabled());
  TypeLine("c");
  form->btnReplace->Click();  // the user cannot press it now; a program can
  EXPECT_EQ(Lines(), (Strings{"a", "b", "c"}));
  EXPECT_EQ(List().ItemIndex(), 2);
  EXPECT_EQ(CountInfo(), Info(3, 3));
  EXPECT_TRUE(form->btnReplace->Enabled());
}

TEST_P(SupFltBaseListTest, DuplicateLineNeedsYes) {
  Load("D1;K2;");
  TypeLine("d1");  // the compare ignores the case of letters
  Responder.Answer(mrNo);
  Click(*form->btnAdd);
  EXPECT_EQ(Lines(), (Strings{"D1", "K2"}));
  ASSERT_EQ(Responder.Messages.size(), 1u);
  EXPECT_EQ(Responder.Messages[0].Kind, TMsgKind::Question);
  EXPECT_EQ(Responder.Messages[0].Text, kTxtConditionExists);
  EXPECT_EQ(Responder.Messages[0].Caption, kTxtSysCaption);
  EXPECT_EQ(Responder.Messages[0].Buttons, TMsgButtons::YesNo);

  Responder.Answer(mrYes);
  Click(*form->btnAdd);
  EXPECT_EQ(Lines(), (Strings{"D1", "K2", "d1"}));
  EXPECT_EQ(List().ItemIndex(), 2);
  EXPECT_EQ(CountInfo(), Info(3, 3));
  EXPECT_EQ(Responder.Messages.size(), 2u);

  // A new line asks nothing.
  TypeLine("D11");
  Click(*form->btnAdd);
  EXPECT_EQ(Lines().size(), 4u);
  EXPECT_EQ(Responder.Messages.size(), 2u);
}

TEST_P(SupFltBaseListTest, ClickShowsTheLine) {
  Load("a\r\nb\r\nc\r\n");
  ClickItem(List(), 1);
  EXPECT_EQ(form->Shown, Strings{"b"});
  EXPECT_EQ(form->edtCondition->Text(), "b");
  EXPECT_EQ(CountInfo(), Info(2, 3));
  EXPECT_TRUE(form->btnReplace->Enabled());
  EXPECT_EQ(form->CurrentCondition(), "b");
  // Ctrl toggles the line off again: it stays current but nothing is
  // selected, so the editor's line is the current condition.
  ClickItem(List(), 1, TShift::Ctrl);
  EXPECT_TRUE(SelectedItems().empty());
  TypeLine("editor");
  EXPECT_EQ(form->CurrentCondition(), "editor");
}

TEST_P(SupFltBaseListTest, DeleteSelectedLines) {
  Load("a;b;c;");
  // The last line, selected and current: the second becomes current.
  ClickItem(List(), 2);
  form->Shown.clear();
  Click(*form->btnDelete);
  EXPECT_EQ(Lines(), (Strings{"a", "b"}));
  EXPECT_EQ(ListItems(), (Strings{"a", "b"}));
  EXPECT_EQ(List().ItemIndex(), 1);
  EXPECT_EQ(form->Shown, Strings{"b"});
  EXPECT_EQ(CountInfo(), Info(2, 2));
  EXPECT_TRUE(form->btnReplace->Enabled());
  EXPECT_TRUE(SelectedItems().empty());

  // Several lines at once.
  Load("a;b;c;d;e;");
  ClickItem(List(), 0);
  ClickItem(List(), 2, TShift::Ctrl);
  ClickItem(List(), 3, TShift::Ctrl);
  EXPECT_EQ(SelectedItems(), (std::vector<int32_t>{0, 2, 3}));
  Click(*form->btnDelete);
  EXPECT_EQ(Lines(), (Strings{"b", "e"}));
  EXPECT_EQ(List().ItemIndex(), 1);  // position 3 is gone: the last line
  EXPECT_EQ(CountInfo(), Info(2, 2));
  EXPECT_TRUE(SelectedItems().empty());

  // Nothing selected: no line goes, the click handling still runs.
  ClickItem(List(), 0);
  ClickItem(List(), 0, TShift::Ctrl);
  form->Shown.clear();
  Click(*form->btnDelete);
  EXPECT_EQ(Lines(), (Strings{"b", "e"}));
  EXPECT_EQ(form->Shown, Strings{"b"});
  EXPECT_EQ(CountInfo(), Info(1, 2));

  // The last line goes: nothing is current and replace is off.
  Load("x;");
  ClickItem(List(), 0);
  Click(*form->btnDelete);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(List().ItemIndex(), -1);
  EXPECT_EQ(CountInfo(), Info(0, 0));
  EXPECT_FALSE(form->btnReplace->Enabled());
}

TEST_P(SupFltBaseListTest, DoubleClickDeletesAndDeleteAllEmpties) {
  Load("a;b;c;");
  DblClickItem(List(), 1);
  EXPECT_EQ(Lines(), (Strings{"a", "c"}));
  EXPECT_EQ(List().ItemIndex(), 1);
  EXPECT_EQ(form->edtCondition->Text(), "c");

  ClickItem(List(), 0);
  EXPECT_TRUE(form->btnReplace->Enabled());
  Click(*form->btnDeleteAll);
  EXPECT_TRUE(Lines().empty());
  EXPECT_EQ(List().Count(), 0);
  EXPECT_EQ(CountInfo(), Info(0, 0));
  EXPECT_FALSE(form->btnReplace->Enabled());
  EXPECT_TRUE(Responder.Messages.empty());  // no question asked
}

TEST_P(SupFltBaseListTest, SelectAllNoneAndKeepOrRemove) {
  Load("D1;X1;D2;K3;;");
  ChooseMenuItem(*form->A);
  EXPECT_EQ(SelectedItems(), (std::vector<int32_t>{0, 1, 2, 3, 4}));
  ChooseMenuItem(*form->B);
  EXPECT_TRUE(SelectedItems().empty());

  // D1, X1 and K3 selected, D2 not.
  ClickItem(List(), 0);
  ClickItem(List(), 1, TShift::Ctrl);
  ClickItem(List(), 3, TShift::Ctrl);
  ClickItem(List(), 4, TShift::Ctrl);  // the empty line stays empty
  ChooseMenuItem(*form->E);            // 更换为保留
  EXPECT_EQ(Lines(), (Strings{"K1", "X1", "D2", "K3", ""}));
  EXPECT_EQ(ListItems(), Lines());
  ChooseMenuItem(*form->D);  // 更换为滤除
  EXPECT_EQ(Lines(), (Strings{"D1", "X1", "D2", "D3", ""}));
  // Lower-case letters are other characters.
  Load("d1;k1;");
  ChooseMenuItem(*form->A);
  form->SetKeepRemove(true);
  EXPECT_EQ(Lines(), (Strings{"d1", "k1"}));
}

TEST_P(SupFltBaseListTest, ConditionTextInAndOut) {
  struct Case {
    const char* text;
    Strings lines;
  } cases[] = {
      {"a;b;", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"a;;b", {"a", "", "b"}},
      {"", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Load("old;lines;");
    ClickItem(List(), 1);
    form->SetConditionsText(c.text);
    EXPECT_EQ(Lines(), c.lines);
    EXPECT_EQ(ListItems(), c.lines);
    EXPECT_EQ(List().ItemIndex(), -1);
    EXPECT_TRUE(SelectedItems().empty());
    EXPECT_EQ(CountInfo(), Info(0, int(c.lines.size())));
    EXPECT_FALSE(form->btnReplace->Enabled());
  }
  Load("a;b;");
  EXPECT_EQ(form->GetConditionsText(), "a\r\nb\r\n");
  Load("");
  EXPECT_EQ(form->GetConditionsText(), "");

  // Through the base: the tolerance line goes to its controls, the rest to
  // the list, and back.
  form->LoadSettingsText("E|1-2;L1;L2;");
  EXPECT_TRUE(form->chkCanErr->Checked());
  EXPECT_EQ(Lines(), (Strings{"L1", "L2"}));
  EXPECT_EQ(form->GetSettingsText(), "E|1-2\r\nL1\r\nL2\r\n");
}

TEST_P(SupFltBaseListTest, TextImport) {
  TUiTempDir dir;
  const std::string file = dir.File("import.txt");
  UiWriteFile(file, "x1\r\n\r\nx3\r\n");
  Load("a;b;");
  ClickItem(List(), 1);

  Responder.ChooseFile(file);
  ChooseMenuItem(*form->G);
  EXPECT_EQ(Lines(), (Strings{"a", "b", "x1", "", "x3"}));
  EXPECT_EQ(ListItems(), Lines());
  EXPECT_EQ(CountInfo(), Info(2, 5));
  ASSERT_EQ(Responder.FileDialogs.size(), 1u);
  EXPECT_FALSE(Responder.FileDialogs[0].Save);
  EXPECT_EQ(Responder.FileDialogs[0].Filter, kTxtImportFileFilter);
  EXPECT_TRUE(Responder.Messages.empty());

  // Cancelled: nothing changes.
  Responder.CancelFile();
  ChooseMenuItem(*form->G);
  EXPECT_EQ(Lines().size(), 5u);

  // A file that cannot be read is reported and changes nothing.
  for (const std::string& bad : {dir.File("missing.txt"), dir.Path()}) {
    Responder.Messages.clear();
    Responder.ChooseFile(bad);
    ChooseMenuItem(*form->G);
    EXPECT_EQ(Lines().size(), 5u);
    ASSERT_EQ(Responder.Messages.size(), 1u) << bad;
    EXPECT_EQ(Responder.Messages[0].Kind, TMsgKind::Error);
    EXPECT_EQ(Responder.Messages[0].Text, std::string(kTxtImportFailed) + bad);
  }
  EXPECT_TRUE(Responder.ScriptUsedUp());
}

VELTRIN_ON_UI_BACKENDS(SupFltBaseListTest);

}  // namespace
}  // namespace veltrin
