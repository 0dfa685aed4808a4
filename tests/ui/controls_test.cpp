// The control layer on every backend: the same properties read back, the
// same events fire in the same order, user input reaches handlers through
// the backend's real input path, and errors of handlers are reported.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/texts.h"
#include "forms/share_func.h"
#include "tests/support/ui_fixture.h"
#include "ui/automation.h"
#include "ui/controls.h"
#include "ui/headless/headless.h"
#include "ui/kinds.h"
#include "ui/services.h"

#if defined(_WIN32)
#include "ui/win32/win32.h"
#endif

namespace veltrin {
namespace {

using namespace ui;
using test::UiBackendTest;

class TSampleForm : public TForm {
 public:
  TSampleForm() : TForm("frmSample") {
    SetClientSize(300, 200);
    Build({
        TDesc(TKind::Panel, "pnlBottom", "", "").At(0, 170, 300, 30).Set(kAlignBottom),
        TDesc(TKind::Button, "btnOk", "pnlBottom", "OK")
            .At(220, 4, 70, 22)
            .Set(kAnchorRight | kDefault)
            .Result(mrOk),
        TDesc(TKind::Button, "btnCancel", "pnlBottom", "X").At(140, 4, 70, 22).Set(kCancel),
        TDesc(TKind::PageControl, "pages", "", "").Set(kAlignClient).Tabs(18),
        TDesc(TKind::TabSheet, "tabA", "pages", "A"),
        TDesc(TKind::TabSheet, "tabB", "pages", "B"),
        TDesc(TKind::TabSheet, "tabC", "pages", "C").Set(kTabHidden),
        TDesc(TKind::CheckBox, "chk", "tabA", "check").At(4, 4, 60, 17),
        TDesc(TKind::Label, "lbl", "tabA", kTxtKeep).At(70, 4, 60, 14).Set(kShowHint),
        TDesc(TKind::Edit, "edt", "tabA", "").At(140, 2, 60, 21),
        TDesc(TKind::SpinEdit, "spn", "tabA", "5").At(210, 2, 60, 21).Range(0, 10),
        TDesc(TKind::ListBox, "lstVirtual", "tabA", "")
            .At(4, 28, 120, 100)
            .Set(kVirtual | kMultiSelect | kBorder)
            .Items(12),
        TDesc(TKind::ListBox, "lstPlain", "tabA", "").At(130, 28, 70, 100),
        TDesc(TKind::ComboBox, "cbxList", "tabA", "").At(206, 28, 80, 21).Set(kDropDownList),
        TDesc(TKind::ComboBox, "cbxEdit", "tabA", "x").At(206, 56, 80, 21),
        TDesc(TKind::Button, "btnThrow", "tabA", "throw").At(206, 84, 80, 22),
        TDesc(TKind::Button, "btnOnB", "tabB", "b").At(4, 4, 60, 22),
        TDesc(TKind::PopupMenu, "pop", "", ""),
        TDesc(TKind::MenuItem, "mnuA", "pop", "Alpha"),
        TDesc(TKind::MenuItem, "mnuSep", "pop", "-"),
        TDesc(TKind::MenuItem, "mnuB", "pop", kTxtSave),
    });
  }
};

class UiControlsTest : public UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    if (HasFatalFailure()) return;
    form = std::make_unique<TSampleForm>();
  }
  void TearDown() override {
    form.reset();
    UiBackendTest::TearDown();
  }
  template <class T>
  T& C(const char* name) {
    return *form->Get<T>(name);
  }
  // Counts the events a control fires, in order.
  std::vector<std::string> events;
  TNotifyEvent Log(const std::string& what) {
    return [this, what](TComponent&) { events.push_back(what); };
  }

  std::unique_ptr<TSampleForm> form;
};

TEST_P(UiControlsTest, TextsRoundTripAsGbk) {
  const std::string chinese = kTxtFltBaseCaption;  // 高级过滤
  form->SetCaption(chinese);
  C<TLabel>("lbl").SetCaption(chinese);
  C<TEdit>("edt").SetText(chinese + "12");
  EXPECT_EQ(form->Caption(), chinese);
  EXPECT_EQ(C<TLabel>("lbl").Caption(), chinese);
  EXPECT_EQ(C<TEdit>("edt").Text(), chinese + "12");
  EXPECT_EQ(C<TButton>("btnOk").Caption(), "OK");
}

TEST_P(UiControlsTest, CheckedFiresClickOnlyWhenItChanges) {
  auto& chk = C<TCheckBox>("chk");
  chk.OnClick = Log("click");
  chk.SetChecked(true);
  chk.SetChecked(true);
  EXPECT_TRUE(chk.Checked());
  chk.SetChecked(false);
  EXPECT_EQ(events.size(), 2u);
  Click(chk);  // the user's click toggles, then reports
  EXPECT_TRUE(chk.Checked());
  EXPECT_EQ(events.size(), 3u);
}

TEST_P(UiControlsTest, UserInputSkipsDisabledAndHiddenControls) {
  auto& chk = C<TCheckBox>("chk");
  chk.OnClick = Log("click");
  chk.SetEnabled(false);
  Click(chk);
  chk.SetEnabled(true);
  chk.SetVisible(false);
  Click(chk);
  EXPECT_FALSE(chk.Checked());
  EXPECT_TRUE(events.empty());
  C<TButton>("btnOnB").OnClick = Log("b");
  Click(C<TButton>("btnOnB"));  // its page is not shown
  EXPECT_TRUE(events.empty());
}

TEST_P(UiControlsTest, EditFiresChangeOncePerChangeAndFiltersKeys) {
  auto& edt = C<TEdit>("edt");
  edt.OnChange = Log("change");
  edt.SetText("12");
  edt.SetText("12");
  EXPECT_EQ(events.size(), 1u);

  edt.OnKeyPress = [](TControl&, wchar_t& key) {
    if (key == L'x') key = 0;
    if (key == L'a') key = L'b';
  };
  edt.SetMaxLength(4);
  EXPECT_EQ(edt.MaxLength(), 4);
  TypeText(edt, L"3x4a5");  // x discarded; a (as b) and 5 beyond the limit
  EXPECT_EQ(edt.Text(), "1234");
  EXPECT_EQ(events.size(), 3u);
  TypeText(edt, L"\b\bab");
  EXPECT_EQ(edt.Text(), "12bb");
  edt.SetReadOnly(true);
  TypeText(edt, L"\b");
  EXPECT_EQ(edt.Text(), "12bb");
}

TEST_P(UiControlsTest, SpinBoxKeepsRangeAndText) {
  auto& spn = C<TSpinEdit>("spn");
  EXPECT_EQ(spn.Text(), "5");
  EXPECT_EQ(spn.MinValue(), 0);
  EXPECT_EQ(spn.MaxValue(), 10);
  spn.SetRange(2, 100000);
  EXPECT_EQ(spn.MaxValue(), 100000);
  spn.SetText("x");
  EXPECT_EQ(spn.Text(), "x");
  EXPECT_EQ(spn.Value(), 2);
  spn.SetValue(77);
  EXPECT_EQ(spn.Text(), "77");
}

TEST_P(UiControlsTest, SpinBoxTakesDigitsOnlyAndTellsAValidNumber) {
  auto& spn = C<TSpinEdit>("spn");  // 0..10, "5"
  spn.OnChange = Log("change");
  ASSERT_TRUE(spn.DigitsOnly());
  TypeText(spn, L"abc -+.");
  EXPECT_EQ(spn.Text(), "5");
  EXPECT_TRUE(events.empty()) << "a refused key changes nothing";
  TypeText(spn, L"\b");
  EXPECT_EQ(spn.Text(), "");
  EXPECT_FALSE(spn.ValueValid()) << "a blank is no number";
  TypeText(spn, L"1x2");
  EXPECT_EQ(spn.Text(), "12");
  EXPECT_EQ(events.size(), 3u);

  // What a program may set is read as it stands.
  const struct {
    const char* Text;
    bool Valid;
  } cases[] = {{"12", false}, {"10", true},   {"0", true},   {"", false},           {"abc", false},
               {"-1", false}, {"1 0", false}, {"7a", false}, {"99999999999", false}};
  for (const auto& c : cases) {
    spn.SetText(c.Text);
    EXPECT_EQ(spn.ValueValid(), c.Valid) << "'" << c.Text << "'";
  }
  spn.SetRange(-5, 5);
  EXPECT_FALSE(spn.DigitsOnly());
  spn.SetText("-1");
  EXPECT_TRUE(spn.ValueValid());
}

TEST_P(UiControlsTest, ADropDownListSelectsTheNumberTypedKeysSpell) {
  auto& list = C<TComboBox>("cbxList");
  for (int i = 0; i <= 400; ++i) list.AddItem(std::to_string(i));
  list.OnChange = Log("change");
  TypeText(list, L"40");
  EXPECT_EQ(list.Text(), "40");
  EXPECT_EQ(events.size(), 2u) << "4, then 40";
  // Keys that continue no item start again: 405 is none, 5 is.
  TypeText(list, L"5");
  EXPECT_EQ(list.Text(), "5");
  TypeText(list, L"x");
  EXPECT_EQ(list.Text(), "5");
  EXPECT_EQ(events.size(), 3u);
}

TEST_P(UiControlsTest, EveryKindBuildsItsOwnClassFromItsRow) {
  TForm host("frmKinds");
  host.Build({TDesc(TKind::PageControl, "pages", "", ""), TDesc(TKind::PopupMenu, "pop", "", "")});
  for (size_t k = 0; k <= size_t(TKind::Chart); ++k) {
    const TKind kind = TKind(k);
    const TKindInfo& info = KindInfo(kind);
    EXPECT_EQ(info.Kind, kind) << "the table's rows are in the order of the kinds";
    EXPECT_STREQ(KindName(kind), info.Name);
    if (!info.Make) continue;
    const std::string name = std::string("c") + info.Name;
    const std::string parent = kind == TKind::TabSheet   ? "pages"
                               : kind == TKind::MenuItem ? "pop"
                                                         : "";
    host.Build({TDesc(kind, name, parent, "x").At(0, 0, 20, 20)});
    TComponent* made = host.FindComponent(name);
    ASSERT_NE(made, nullptr) << info.Name;
    EXPECT_EQ(made->Kind(), kind);
    if (info.ParentKind != TKind::Form)
      EXPECT_THROW(host.Build({TDesc(kind, name + "2", "", "x")}), std::logic_error) << info.Name;
  }
  EXPECT_THROW(host.Build({TDesc(TKind::Form, "frmInner", "", "")}), std::logic_error);
}

TEST_P(UiControlsTest, OnDemandListSelectsLikeAnExtendedList) {
  auto& list = C<TListBox>("lstVirtual");
  list.OnData = [](TListBox&, int32_t i) { return "item " + std::to_string(i); };
  list.OnClick = Log("click");
  list.OnDblClick = Log("dbl");
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetCount(12);
  EXPECT_EQ(list.Count(), 12);
  EXPECT_EQ(list.Items(11), "item 11");
  EXPECT_EQ(list.ItemIndex(), -1);

  ClickItem(list, 2);
  ClickItem(list, 4, TShift::Ctrl);
  EXPECT_EQ(list.ItemIndex(), 4);
  EXPECT_EQ(list.SelCount(), 2);
  ClickItem(list, 6, TShift::Shift);  // from the anchor 4
  EXPECT_FALSE(list.Selected(2));
  EXPECT_TRUE(list.Selected(4) && list.Selected(5) && list.Selected(6));
  EXPECT_EQ(list.ItemIndex(), 6);
  ClickItem(list, 10);  // scrolled into view first
  EXPECT_EQ(list.SelCount(), 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "click", "click", "click"}));

  events.clear();
  DblClickItem(list, 1);
  EXPECT_EQ(events, (std::vector<std::string>{"click", "dbl"}));
}

TEST_P(UiControlsTest, OnDemandListKeepsSelectionOnRemainingItems) {
  auto& list = C<TListBox>("lstVirtual");
  list.SetCount(5);
  list.SetSelected(1, true);
  list.SetSelected(4, true);
  list.SetItemIndex(4);
  EXPECT_TRUE(list.Selected(4));
  EXPECT_EQ(list.SelCount(), 2);
  list.SetCount(3);  // the current item went: the last one is current
  EXPECT_EQ(list.ItemIndex(), 2);
  EXPECT_TRUE(list.Selected(1));
  EXPECT_EQ(list.SelCount(), 1);
  list.SetItemIndex(0);  // the current item need not be selected
  EXPECT_EQ(list.ItemIndex(), 0);
  EXPECT_FALSE(list.Selected(0));
  list.SetItemIndex(-1);
  EXPECT_EQ(list.ItemIndex(), -1);
  list.SetCount(0);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_THROW(list.Items(0), std::out_of_range);
}

TEST_P(UiControlsTest, PlainListHoldsItsItems) {
  auto& list = C<TListBox>("lstPlain");
  for (const char* s : {"a", kTxtKeep, "c"}) list.AddItem(s);
  EXPECT_EQ(list.AllItems(), (std::vector<std::string>{"a", kTxtKeep, "c"}));
  list.SetItemIndex(1);
  EXPECT_TRUE(list.Selected(1));
  list.SetItem(1, "B");
  EXPECT_EQ(list.Items(1), "B");
  EXPECT_EQ(list.ItemIndex(), 1);
  list.DeleteItem(1);
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.AllItems(), (std::vector<std::string>{"a", "c"}));
  list.ClearItems();
  EXPECT_EQ(list.Count(), 0);
}

TEST_P(UiControlsTest, ComboBoxesSelectAndShowItems) {
  auto& list = C<TComboBox>("cbxList");
  list.OnChange = Log("change");
  for (const char* s : {"0", "1", "2"}) list.AddItem(s);
  EXPECT_EQ(list.Text(), "");
  list.SetItemIndex(1);
  EXPECT_EQ(list.Text(), "1");
  list.SetText("2");  // a list without typing selects the item
  EXPECT_EQ(list.ItemIndex(), 2);
  list.SetText("9");
  EXPECT_EQ(list.ItemIndex(), -1);
  EXPECT_EQ(list.Text(), "");
  EXPECT_TRUE(events.empty());
  SelectItem(list, 0);
  EXPECT_EQ(list.Text(), "0");
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(list.IndexOf("2"), 2);

  auto& typed = C<TComboBox>("cbxEdit");
  EXPECT_EQ(typed.Text(), "x");
  typed.AddItem(kTxtModeStraight);
  typed.SetItemIndex(0);
  EXPECT_EQ(typed.Text(), kTxtModeStraight);
  typed.SetItemIndex(-1);
  EXPECT_EQ(typed.Text(), "");
}

TEST_P(UiControlsTest, PagesShowAndHideTheirTabs) {
  auto& pages = C<TPageControl>("pages");
  auto& tabC = C<TTabSheet>("tabC");
  pages.OnChange = Log("change");
  EXPECT_EQ(pages.PageCount(), 3);
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  EXPECT_EQ(pages.TabHeight(), 18);
  EXPECT_FALSE(tabC.TabVisible());
  SelectPage(pages, 2);  // no tab to click
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  SelectPage(pages, 1);
  EXPECT_EQ(pages.ActivePageIndex(), 1);
  EXPECT_EQ(events.size(), 1u);
  EXPECT_TRUE(C<TButton>("btnOnB").Showing());
  EXPECT_FALSE(C<TCheckBox>("chk").Showing());

  tabC.SetTabVisible(true);
  pages.SetActivePageIndex(2);
  EXPECT_EQ(pages.ActivePageIndex(), 2);
  tabC.SetTabVisible(false);  // the page shown loses its tab: the first page shows
  EXPECT_EQ(pages.ActivePageIndex(), 0);
  EXPECT_EQ(events.size(), 1u);
}

TEST_P(UiControlsTest, PopupMenuItemsRunTheirHandlers) {
  auto& pop = C<TPopupMenu>("pop");
  ASSERT_EQ(pop.Items().size(), 3u);
  EXPECT_EQ(pop.Items()[2]->Caption(), kTxtSave);
  EXPECT_TRUE(C<TMenuItem>("mnuSep").IsSeparator());
  C<TMenuItem>("mnuA").OnClick = Log("A");
  C<TMenuItem>("mnuB").OnClick = Log("B");
  C<TListBox>("lstPlain").SetPopupMenu(&pop);
  ChooseMenuItem(C<TMenuItem>("mnuB"));
  ChooseMenuItem(C<TMenuItem>("mnuSep"));
  ChooseMenuItem(C<TMenuItem>("mnuA"));
  EXPECT_EQ(events, (std::vector<std::string>{"B", "A"}));
}

TEST_P(UiControlsTest, HandlerErrorsOfUserInputAreShownNotThrown) {
  auto& btn = C<TButton>("btnThrow");
  btn.OnClick = [](TComponent&) { throw std::runtime_error("boom"); };
  Click(btn);
  ASSERT_EQ(Responder.Messages.size(), 1u);
  EXPECT_EQ(Responder.Messages[0].Kind, TMsgKind::Error);
  EXPECT_EQ(Responder.Messages[0].Text, "boom");
  EXPECT_EQ(Responder.Messages[0].Caption, kTxtSysCaption);
  // A program's own click lets the error reach it, as the toolkit does.
  EXPECT_THROW(btn.Click(), std::runtime_error);

  const char block[] = "x";
  form->OnCopyData = [](TForm&, uintptr_t, const void*, size_t) -> intptr_t {
    throw std::logic_error("bad block");
  };
  EXPECT_EQ(SendCopyData(*form, 0, block, 1), 0);
  EXPECT_EQ(Responder.Texts(TMsgKind::Error).back(), "bad block");
}

// The dialogs' report names an error without a message in Chinese; the
// layer's own report, without the dialogs, shows the bare message.
TEST_P(UiControlsTest, HandlerErrorReportsAreTheInstalledOnes) {
  auto& btn = C<TButton>("btnThrow");
  btn.OnClick = [](TComponent&) { throw 7; };
  Click(btn);
  btn.OnClick = [](TComponent&) { throw std::runtime_error("boom"); };
  SetErrorReporter(nullptr);
  Click(btn);
  ASSERT_EQ(Responder.Messages.size(), 2u);
  EXPECT_EQ(Responder.Messages[0].Text, kTxtUnknownError);
  EXPECT_EQ(Responder.Messages[0].Caption, kTxtSysCaption);
  EXPECT_EQ(Responder.Messages[1].Kind, TMsgKind::Error);
  EXPECT_EQ(Responder.Messages[1].Text, "boom");
  EXPECT_EQ(Responder.Messages[1].Caption, "");
}

TEST_P(UiControlsTest, CopyDataReachesTheFormWithinItsSize) {
  std::string seen;
  form->OnCopyData = [&](TForm&, uintptr_t tag, const void* data, size_t size) -> intptr_t {
    seen.assign(static_cast<const char*>(data), size);
    return intptr_t(tag) + 1;
  };
  const char block[] = "3-7XYZ";
  EXPECT_EQ(SendCopyData(*form, 41, block, 3), 42);
  EXPECT_EQ(seen, "3-7");
}

TEST_P(UiControlsTest, ModalRunsEndByTheirButtonsAndKeys) {
  std::vector<std::string> order;
  form->OnShow = [&](TComponent&) { order.push_back("show"); };
  Responder.OnModal([&](TForm& f) {
    order.push_back("modal");
    Click(*f.Get<TButton>("btnOk"));
  });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_EQ(order, (std::vector<std::string>{"show", "modal"}));
  EXPECT_EQ(Responder.ModalForms, (std::vector<std::string>{"frmSample"}));

  EXPECT_EQ(form->ShowModal(), mrCancel);  // nobody answers: cancelled

  C<TButton>("btnCancel").OnClick = [&](TComponent&) { form->Close(); };
  struct Case {
    TFormKey Key;
    int32_t Result;
  };
  for (Case c : {Case{TFormKey::Enter, mrOk}, Case{TFormKey::Escape, mrCancel},
                 Case{TFormKey::CloseBox, mrCancel}}) {
    Responder.OnModal([&](TForm& f) { PressFormKey(f, c.Key); });
    EXPECT_EQ(form->ShowModal(), c.Result);
  }
}

TEST_P(UiControlsTest, NestedModalRunsAnswerInTurn) {
  TSampleForm inner;
  C<TButton>("btnThrow").OnClick = [&](TComponent&) {
    EXPECT_EQ(inner.ShowModal(), mrOk);
    form->SetModalResult(mrYes);
  };
  Responder.OnModal([&](TForm& f) { Click(*f.Get<TButton>("btnThrow")); });
  Responder.OnModal([&](TForm& f) { PressFormKey(f, TFormKey::Enter); });
  EXPECT_EQ(form->ShowModal(), mrYes);
  EXPECT_TRUE(Responder.ScriptUsedUp());
}

TEST_P(UiControlsTest, DockedAndAnchoredControlsFollowTheClientSize) {
  form->SetClientSize(400, 250);
  auto& panel = C<TPanel>("pnlBottom");
  auto& ok = C<TButton>("btnOk");
  auto& pages = C<TPageControl>("pages");
  EXPECT_EQ(panel.Top(), 220);
  EXPECT_EQ(panel.Width(), 400);
  EXPECT_EQ(ok.Left(), 320);
  EXPECT_EQ(C<TButton>("btnCancel").Left(), 140);
  EXPECT_EQ(pages.Height(), 220);
  EXPECT_EQ(C<TTabSheet>("tabA").Width(), 392);
  EXPECT_EQ(form->Peer().Prop(TProp::ClientWidth), 400);
  EXPECT_EQ(form->Peer().Prop(TProp::ClientHeight), 250);
#if defined(_WIN32)
  if (OnWin32()) {
    RECT okRect{}, panelRect{};
    GetWindowRect(WindowOf(ok), &okRect);
    GetWindowRect(WindowOf(panel), &panelRect);
    EXPECT_EQ(okRect.left - panelRect.left, 320);
    EXPECT_EQ(okRect.right - okRect.left, 70);
  }
#endif
}

TEST_P(UiControlsTest, ComponentsAreFoundByName) {
  EXPECT_EQ(form->FindComponent("nope"), nullptr);
  EXPECT_THROW(form->Get<TButton>("chk"), std::logic_error);
  EXPECT_THROW(form->Build({TDesc(TKind::Label, "chk", "", "")}), std::logic_error);
  EXPECT_THROW(form->Build({TDesc(TKind::Label, "lblOrphan", "nowhere", "")}), std::logic_error);
  EXPECT_EQ(form->Components().front()->Name(), "pnlBottom");
#if defined(_WIN32)
  if (OnWin32()) {
    for (const char* name : {"lstVirtual", "chk", "btnOk", "tabB", "spn"}) {
      HWND found = FindControlByName(WindowOf(*form), name);
      EXPECT_EQ(found, WindowOf(*form->FindComponent(name))) << name;
      EXPECT_EQ(ControlName(found), name);
    }
  }
#endif
}

TEST_P(UiControlsTest, FramesKeepTheirNamesToThemselves) {
  TFrame frame(*form, TDesc(TKind::Panel, "frame1", "tabB", "").At(10, 30, 100, 60));
  frame.Build({
      TDesc(TKind::Label, "chk", "", "in frame").At(2, 2, 50, 14),  // a name the form uses too
      TDesc(TKind::Panel, "inner", "", "").At(0, 20, 100, 40),
      TDesc(TKind::Button, "btnIn", "inner", "b").At(4, 4, 40, 22),
  });
  EXPECT_EQ(frame.Get<TLabel>("chk")->Caption(), "in frame");
  EXPECT_EQ(frame.Get<TLabel>("chk")->Parent(), frame.Container());
  EXPECT_EQ(C<TCheckBox>("chk").Caption(), "check");
  EXPECT_EQ(frame.Get<TButton>("btnIn")->Parent()->Name(), "inner");
  EXPECT_EQ(frame.Components().size(), 3u);
  EXPECT_EQ(form->Components().back(), frame.FindComponent("btnIn"));
  EXPECT_EQ(frame.Container()->Left(), 10);
  C<TPageControl>("pages").SetActivePageIndex(1);
  frame.Get<TButton>("btnIn")->OnClick = Log("in");
  Click(*frame.Get<TButton>("btnIn"));
  EXPECT_EQ(events, std::vector<std::string>{"in"});
}

TEST_P(UiControlsTest, HintsAndColoursReadBack) {
  auto& lbl = C<TLabel>("lbl");
  EXPECT_TRUE(lbl.ShowHint());
  lbl.SetHint("01 02 99");
  EXPECT_EQ(lbl.Hint(), "01 02 99");
  lbl.SetShowHint(false);
  EXPECT_EQ(lbl.Hint(), "01 02 99");
  lbl.SetShowHint(true);
  lbl.SetHint("");
  EXPECT_EQ(lbl.Hint(), "");
  lbl.SetColor(0xF0CAA6);
  lbl.SetFontColor(clNavy);
  lbl.SetFontBold(true);
  EXPECT_EQ(lbl.Color(), 0xF0CAA6u);
  EXPECT_EQ(lbl.FontColor(), clNavy);
  EXPECT_TRUE(lbl.FontBold());
}

TEST_P(UiControlsTest, ServicesGoThroughTheHook) {
  TShareFunc::ShowError("e");
  TShareFunc::ShowInfo("i");
  TShareFunc::ShowWarning("w");
  Responder.Answer(mrNo);
  EXPECT_EQ(TShareFunc::AskQuestion("q", TMsgButtons::YesNo, form.get(), true), mrNo);
  ASSERT_EQ(Responder.Messages.size(), 4u);
  const TMsgKind kinds[] = {TMsgKind::Error, TMsgKind::Info, TMsgKind::Warning, TMsgKind::Question};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(Responder.Messages[i].Kind, kinds[i]);
    EXPECT_EQ(Responder.Messages[i].Caption, kTxtSysCaption);
  }
  EXPECT_EQ(Responder.Messages[3].Buttons, TMsgButtons::YesNo);
  EXPECT_TRUE(Responder.Messages[3].DefaultSecond);

  SetClipboardText(std::string(kTxtKeep) + "\r\n1");
  EXPECT_EQ(ClipboardText(), std::string(kTxtKeep) + "\r\n1");
}

struct HelpCase {
  int Topic;
  const char* Page;
};

TEST(UiHelpCommand, TopicsBelow100OpenTopic101) {
  for (HelpCase c : {HelpCase{0, "101"}, HelpCase{99, "101"}, HelpCase{-5, "101"},
                     HelpCase{100, "100"}, HelpCase{1019, "1019"}}) {
    EXPECT_EQ(TShareFunc::HelpCommand("C:\\host\\szcqvb.chm", c.Topic),
              std::string("hh.exe C:\\host\\szcqvb.chm::/") + c.Page + ".htm");
  }
}

TEST_P(UiControlsTest, ShowHelpStartsTheViewer) {
  TShareFunc::ShowHelp("C:\\host\\szcqvb.chm", 1019);
  EXPECT_EQ(Responder.Programs,
            (std::vector<std::string>{"hh.exe C:\\host\\szcqvb.chm::/1019.htm"}));
}

TEST_P(UiControlsTest, OpenDocumentSaysWhetherItOpened) {
  // While a test stands in for the person, its hook answers.
  Responder.DocumentsOpen = false;
  EXPECT_FALSE(ui::OpenDocument("C:\\host\\help.html"));
  EXPECT_EQ(Responder.Documents, std::vector<std::string>{"C:\\host\\help.html"});
  // Without one, the backend: on Win32 the shell, which opens no document
  // that is not there; headless, the record and the answer it is given.
  ui::SetHook(nullptr);
  test::TUiTempDir dir;
  const std::string missing = dir.File("missing.html");
  if (OnWin32()) {
    EXPECT_FALSE(ui::OpenDocument(missing));
  } else {
    ui::THeadlessBackend& headless = ui::TheHeadlessBackend();
    headless.ClearRecords();
    EXPECT_TRUE(ui::OpenDocument(missing));
    headless.SetDocumentsOpen(false);
    EXPECT_FALSE(ui::OpenDocument(missing));
    headless.SetDocumentsOpen(true);
    ASSERT_EQ(headless.Records().size(), 2u);
    EXPECT_EQ(headless.Records()[1].Kind, ui::THeadlessRecord::What::Document);
    EXPECT_EQ(headless.Records()[1].Text, missing);
  }
  ui::SetHook(&Responder);
}

VELTRIN_ON_UI_BACKENDS(UiControlsTest);

}  // namespace
}  // namespace veltrin
