// What a user meets beyond clicks: the whole text of a condition line, a
// clipboard that refuses, and (Windows) every dialog driven by real keys and
// mouse messages through its modal loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/lottery.h"
#include "common/texts.h"
#include "forms/code_grade_form.h"
#include "forms/select_two_form.h"
#include "forms/share_func.h"
#include "tests/forms/sup_flt_base_fixture.h"
#include "tests/forms/test_flt_form.h"
#include "tests/support/input_driver.h"
#include "ui/automation.h"
#include "ui/headless/headless.h"
#include "ui/services.h"

#if defined(_WIN32)
#include "ui/win32/win32.h"
#endif

namespace veltrin::test {
namespace {

std::string LongLine(char keep, int fill) {
  std::string line = std::string(1, keep) + ":";
  // About as long as the lines the editor builds.
  for (int i = 0; i < 30; ++i) line += std::to_string(fill) + "=00 01 02 03 04 05 06 07 ";
  return line + ":2-48";
}

class ConditionLineTest : public UiBackendTest {};

TEST_P(ConditionLineTest, TheHintHoldsTheWholeLineOfTheCurrentItem) {
  TTestSupFltForm form;
  const std::vector<std::string> lines = {LongLine('K', 1), "K:0=00:0-0", LongLine('D', 2)};
  form.SetConditionsText(lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2]);
  ASSERT_GT(lines[2].size(), 700u);
  EXPECT_EQ(form.lstFilter->Hint(), "");
  for (int32_t i : {2, 0, 1}) {
    ui::ClickItem(*form.lstFilter, i);
    EXPECT_EQ(form.lstFilter->HintItem(), i);
    EXPECT_EQ(form.lstFilter->Hint(), lines[size_t(i)]) << i;
  }
  // A line replaced in place shows its new text; the stored text is the
  // lines themselves.
  form.edtCondition->SetText("D:5=55:1-2");
  form.btnReplaceClick();
  EXPECT_EQ(form.lstFilter->Hint(), "D:5=55:1-2");
  EXPECT_EQ(form.GetConditionsText(), lines[0] + "\r\n" + "D:5=55:1-2\r\n" + lines[2] + "\r\n");
  form.btnDeleteAllClick();
  EXPECT_EQ(form.lstFilter->HintItem(), -1);
  EXPECT_EQ(form.lstFilter->Hint(), "");
}

TEST_P(ConditionLineTest, ACopyTheClipboardRefusesIsReported) {
  TTestSupFltForm form;
  form.lstFltValidate->AddItem("123 - x");
  std::atomic<int> state{0};  // 1: held, 2: let go
  std::thread holder;
  if (OnWin32()) {
#if defined(_WIN32)
    // Another program has the clipboard open.
    holder = std::thread([&state] {
      HWND own = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr);
      const bool opened = OpenClipboard(own) != 0;
      state = opened ? 1 : -1;
      while (opened && state != 2) Sleep(5);
      if (opened) CloseClipboard();
      DestroyWindow(own);
    });
    while (state == 0) Sleep(5);
    ASSERT_EQ(state, 1);
#endif
  } else {
    ui::TheHeadlessBackend().SetClipboardAvailable(false);
  }
  ui::ChooseMenuItem(*form.mnuCopyResult);
  state = 2;
  if (holder.joinable()) holder.join();
  ui::TheHeadlessBackend().SetClipboardAvailable(true);
  EXPECT_EQ(Responder.Texts(ui::TMsgKind::Error), std::vector<std::string>{kTxtClipboardFailed});

  ui::ChooseMenuItem(*form.mnuCopyResult);
  EXPECT_EQ(ui::ClipboardText(), "123 - x\r\n");
  EXPECT_EQ(Responder.Messages.size(), 1u);
}

VELTRIN_ON_UI_BACKENDS(ConditionLineTest);

#if defined(_WIN32)

using input::ClickAt;
using input::FocusName;
using input::PressKey;
using input::TStep;

// A step that only acts.
TStep Do(std::function<void()> action) {
  return [action = std::move(action)] {
    action();
    return true;
  };
}
// Tab until the control named `name` has the focus.
TStep TabTo(std::string name) {
  return [name = std::move(name)] {
    if (FocusName() == name) return true;
    PressKey(VK_TAB);
    return false;
  };
}

HWND Window(const ui::TComponent& c) { return ui::WindowOf(c); }

// Real windows, shown, with no hook: message boxes are the system's.
class RealInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::SetCurrentBackend(ui::Win32Backend());
    ui::SetHook(nullptr);
    TShareFunc::InstallErrorReporter();
    savedDigits_ = ChipDigitCount;
    ChipDigitCount = 3;
  }
  void TearDown() override {
    ChipDigitCount = savedDigits_;
    ui::SetErrorReporter(nullptr);
    ui::SetCurrentBackend(nullptr);
  }
  // Shows `form` while `steps` drive it; the modal result.
  int32_t Drive(ui::TForm& form, std::deque<TStep> steps) {
    input::TInputDriver driver(std::move(steps));
    const int32_t result = form.ShowModal();
    EXPECT_TRUE(driver.Done()) << "steps left when the dialog closed";
    return result;
  }

 private:
  int32_t savedDigits_ = 0;
};

// ---- every dialog: where it starts, Tab, Enter and Esc ----------------------------

struct TDialogCase {
  const char* Name;
  std::function<std::unique_ptr<ui::TForm>()> Make;
  const char* Start;  // where the focus is when it opens
};

std::vector<TDialogCase> Dialogs() {
  return {
      {"FilterBase", [] { return std::make_unique<TTestFltForm>(); }, "pageFlt"},
      {"ConditionList", [] { return std::make_unique<TTestSupFltForm>(); }, "lstFilter"},
      {"PairScore", [] { return std::make_unique<TCodeGradeFrm>(); }, "edtCode0"},
      {"Picker",
       [] {
         auto picker = std::make_unique<TfrmSelectTwo>();
         picker->InitLabels();
         return picker;
       },
       "RzBitBtn1"},
  };
}

class DialogKeysTest : public RealInputTest, public ::testing::WithParamInterface<TDialogCase> {};

struct TStopSeen {
  HWND Window;
  RECT Rect;
};

BOOL CALLBACK CollectWindow(HWND h, LPARAM lp) {
  reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
  return TRUE;
}

// The named windows below `root` that Tab can reach now; the clickable
// labels of one parent count as one stop.
std::map<HWND, int> ReachableStops(HWND root) {
  std::map<HWND, int> stops;  // window (a label's parent for labels) -> times visited
  std::vector<HWND> all;
  EnumChildWindows(root, CollectWindow, LPARAM(&all));
  for (HWND h : all) {
    if (ui::ControlName(h).empty() || !(GetWindowLongPtrW(h, GWL_STYLE) & WS_TABSTOP)) continue;
    bool usable = IsWindowVisible(h) != 0;
    for (HWND p = h; usable && p != root; p = GetParent(p)) usable = IsWindowEnabled(p) != 0;
    if (!usable) continue;
    wchar_t cls[16]{};
    GetClassNameW(h, cls, 16);
    stops[_wcsicmp(cls, L"Static") == 0 ? GetParent(h) : h] = 0;
  }
  return stops;
}

HWND StopOf(HWND focus) {
  HWND named = focus;
  while (named && ui::ControlName(named).empty()) named = GetParent(named);
  wchar_t cls[16]{};
  GetClassNameW(named, cls, 16);
  return _wcsicmp(cls, L"Static") == 0 ? GetParent(named) : named;
}

bool Overlap(LONG a0, LONG a1, LONG b0, LONG b1) { return a0 < b1 && b0 < a1; }

TEST_P(DialogKeysTest, StartsWhereTheUserStartsTabsInReadingOrderAndAnswersEnterAndEsc) {
  const TDialogCase& dialog = GetParam();
  std::unique_ptr<ui::TForm> form = dialog.Make();
  HWND root = Window(*form);
  std::string start;
  std::vector<TStopSeen> cycle;
  std::map<HWND, int> stops;
  TStep atStart = Do([&] {
    start = FocusName();
    stops = ReachableStops(root);
    PressKey(VK_TAB);
  });
  TStep roundTheCycle = [&] {  // back to where it started
    RECT rc{};
    GetWindowRect(input::Focus(), &rc);
    cycle.push_back({input::Focus(), rc});
    if (FocusName() == start || cycle.size() > 300) return true;
    PressKey(VK_TAB);
    return false;
  };
  std::string back;  // Shift+Tab from the start
  const int32_t escaped =
      Drive(*form, {atStart, roundTheCycle, Do([] { PressKey(VK_TAB, true); }), Do([&] {
                      back = FocusName();
                      PressKey(VK_ESCAPE);
                    })});
  EXPECT_EQ(escaped, ui::mrCancel);
  EXPECT_EQ(start, dialog.Start);
  ASSERT_GE(cycle.size(), 2u);
  EXPECT_EQ(back, input::NameOf(cycle[cycle.size() - 2].Window)) << "Shift+Tab goes back";

  // Every stop exactly once.
  for (const TStopSeen& seen : cycle) {
    auto it = stops.find(StopOf(seen.Window));
    ASSERT_NE(it, stops.end()) << "Tab reached " << ui::ControlName(seen.Window);
    ++it->second;
  }
  for (const auto& [window, times] : stops)
    EXPECT_EQ(times, 1) << ui::ControlName(window) << " (or its labels)";

  // Reading order from where it begins (the top left stop): nothing comes
  // after a stop that lies wholly above it in its column, or wholly left of
  // it in its row.
  auto first = std::min_element(cycle.begin(), cycle.end(), [](auto& a, auto& b) {
    return a.Rect.top != b.Rect.top ? a.Rect.top < b.Rect.top : a.Rect.left < b.Rect.left;
  });
  std::rotate(cycle.begin(), first, cycle.end());
  const LONG tol = 3;
  for (size_t i = 0; i < cycle.size(); ++i)
    for (size_t j = i + 1; j < cycle.size(); ++j) {
      const RECT& a = cycle[i].Rect;
      const RECT& b = cycle[j].Rect;
      const bool above = b.bottom <= a.top + tol && Overlap(a.left, a.right, b.left, b.right);
      const bool left = b.right <= a.left + tol && Overlap(a.top, a.bottom, b.top, b.bottom);
      EXPECT_FALSE(above || left) << ui::ControlName(cycle[j].Window) << " comes after "
                                  << ui::ControlName(cycle[i].Window);
    }

  // Enter where the dialog starts presses its default button.
  EXPECT_EQ(Drive(*form, {Do([] { PressKey(VK_RETURN); })}), ui::mrOk);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, DialogKeysTest, ::testing::ValuesIn(Dialogs()),
                         [](const auto& info) { return std::string(info.param.Name); });

// ---- buttons, the default button, focus after a message box -----------------------

LONG ButtonType(const ui::TButton& b) {
  return GetWindowLongPtrW(Window(b), GWL_STYLE) & BS_TYPEMASK;
}

TEST_F(RealInputTest, EnterAndSpacePressTheFocusedButtonAndTheDefaultComesBack) {
  TTestSupFltForm form;
  const std::wstring empty = ui::GbkToWide(kTxtConditionsEmpty);
  std::vector<std::wstring> boxes;
  std::vector<std::string> focusAfterBox;
  LONG okWhileOnSave = -1, saveWhileOnSave = -1, okOnList = -1, saveOnList = -1;
  const int32_t result =
      Drive(form, {TabTo("btnBatFltAide"), Do([] { PressKey(VK_RETURN); }),
                   // The flat button ran its aide (a warning: no conditions), the
                   // dialog is still open.
                   Do([&] {
                     boxes.push_back(input::MessageBoxText());
                     PressKey(VK_RETURN);
                   }),
                   Do([&] {
                     focusAfterBox.push_back(FocusName());
                     PressKey(VK_SPACE);
                   }),
                   Do([&] {
                     boxes.push_back(input::MessageBoxText());
                     PressKey(VK_RETURN);
                   }),
                   Do([&] { focusAfterBox.push_back(FocusName()); }), TabTo("btnSave"), Do([&] {
                     okWhileOnSave = ButtonType(*form.btnOK);
                     saveWhileOnSave = ButtonType(*form.btnSave);
                   }),
                   // Across the other buttons to the list: OK is the default again.
                   TabTo("lstFilter"), Do([&] {
                     okOnList = ButtonType(*form.btnOK);
                     saveOnList = ButtonType(*form.btnSave);
                     PressKey(VK_RETURN);
                   })});
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(boxes, (std::vector<std::wstring>{empty, empty}));
  EXPECT_EQ(focusAfterBox, (std::vector<std::string>{"btnBatFltAide", "btnBatFltAide"}));
  EXPECT_EQ(saveWhileOnSave, BS_DEFPUSHBUTTON);
  EXPECT_EQ(okWhileOnSave, BS_PUSHBUTTON);
  EXPECT_EQ(okOnList, BS_DEFPUSHBUTTON);
  EXPECT_EQ(saveOnList, BS_PUSHBUTTON);
}

TEST_F(RealInputTest, TheListShowsTheWholeLineOfTheItemUnderTheMouse) {
  TTestSupFltForm form;
  const std::string line = LongLine('K', 7);
  form.SetConditionsText("K:0=00:0-0\r\n" + line);
  HWND list = Window(*form.lstFilter);
  int extent = 0, width = 0;
  std::string hint;
  Drive(form, {Do([&] {
                 RECT item{}, client{};
                 SendMessageW(list, LB_GETITEMRECT, 1, LPARAM(&item));
                 GetClientRect(list, &client);
                 width = client.right;
                 extent = int(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0));
                 input::MoveMouse(list, POINT{10, (item.top + item.bottom) / 2});
               }),
               Do([&] {
                 hint = form.lstFilter->Hint();
                 PressKey(VK_ESCAPE);
               })});
  EXPECT_GT(extent, 10 * width) << "the longest line scrolls into view";
  EXPECT_EQ(hint, line);
}

// ---- the code picker and the score grid ---------------------------------------------

TEST_F(RealInputTest, ThePickerTogglesOnEveryClickAndWorksWithoutAMouse) {
  TfrmSelectTwo picker;
  picker.InitLabels();
  std::vector<std::string> focus;
  const int32_t result =
      Drive(picker, {Do([&] { ClickAt(Window(*picker.Get<ui::TLabel>("lblCode37")), true); }),
                     Do([&] { ClickAt(Window(*picker.Get<ui::TLabel>("lblCode38"))); }),
                     // The focus is on 38 now: down to 48, left to 47.
                     Do([] { PressKey(VK_DOWN); }), Do([&] {
                       focus.push_back(FocusName());
                       PressKey(VK_SPACE);
                     }),
                     Do([] { PressKey(VK_LEFT); }), Do([&] {
                       focus.push_back(FocusName());
                       PressKey(VK_SPACE);
                     }),
                     Do([] { PressKey(VK_RETURN); })});
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_EQ(focus, (std::vector<std::string>{"lblCode48", "lblCode47"}));
  EXPECT_EQ(picker.GetSelected(), "38 47 48");
}

TEST_F(RealInputTest, FocusComesBackToTheScoreAfterThePicker) {
  TCodeGradeFrm form;
  std::string inPicker, after;
  HWND afterRoot = nullptr;
  const int32_t result =
      Drive(form, {TabTo("lblCode1"), Do([] { PressKey(VK_RIGHT); }),
                   Do([] { PressKey(VK_SPACE); }),  // opens the picker for score 2
                   Do([&] {
                     inPicker = FocusName();
                     PressKey(VK_ESCAPE);
                   }),
                   Do([&] {
                     after = FocusName();
                     afterRoot = GetAncestor(input::Focus(), GA_ROOT);
                     PressKey(VK_ESCAPE);
                   })});
  EXPECT_EQ(result, ui::mrCancel);
  EXPECT_EQ(inPicker, "RzBitBtn1");
  EXPECT_EQ(after, "lblCode2");
  EXPECT_EQ(afterRoot, Window(form));
}

// ---- the host's current folder ------------------------------------------------------

TEST_F(RealInputTest, AFileDialogLeavesTheCurrentFolder) {
  TUiTempDir dir;
  TTestFltForm form;
  UiWriteFile(dir.File("picked.flt"),
              "[" + std::string(kTxtFltSection) + "]\r\n" + form.Caption() + "=K:0=00:0-0\r\n");
  wchar_t before[MAX_PATH]{}, after[MAX_PATH]{};
  GetCurrentDirectoryW(MAX_PATH, before);
  ASSERT_NE(std::wstring(before), ui::GbkToWide(dir.Path()));
  // The way a user goes: into the folder, then the file.
  auto typeIntoFileDialog = [&](std::string text) -> TStep {
    return [&form, text] {
      HWND box = GetActiveWindow();
      if (!box || box == Window(form) || !input::Focus()) return false;
      input::TypeChars(ui::GbkToWide(text));
      PressKey(VK_RETURN);
      return true;
    };
  };
  Drive(form, {Do([&] { ClickAt(Window(*form.btnLoad)); }), typeIntoFileDialog(dir.Path()),
               typeIntoFileDialog("picked.flt"), Do([] { PressKey(VK_ESCAPE); })});
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_EQ(form.Lines, std::vector<std::string>{"K:0=00:0-0"}) << "the file was not loaded";
  EXPECT_EQ(std::wstring(before), std::wstring(after));
}

// ---- what a player meets at single controls -----------------------------------------

// The pixels of a window's client area as the screen shows them.
std::vector<COLORREF> Pixels(HWND window) {
  RECT rc{};
  GetClientRect(window, &rc);
  std::vector<COLORREF> out;
  HDC dc = GetDC(window);
  for (int y = 0; y < rc.bottom; ++y)
    for (int x = 0; x < rc.right; ++x) out.push_back(GetPixel(dc, x, y));
  ReleaseDC(window, dc);
  return out;
}

// A step that waits until `ms` have passed since the step before it ran.
TStep Pause(DWORD ms) {
  auto since = std::make_shared<DWORD>(0);
  return [since, ms] {
    if (*since == 0) *since = GetTickCount();
    return GetTickCount() - *since >= ms;
  };
}

TEST_F(RealInputTest, AToleranceBoxTakesDigitsOnlyAndItsCheckBoxShowsTheFocus) {
  TTestFltForm form;
  HWND check = Window(*form.chkCanErr);
  std::vector<COLORREF> unfocused, focused;
  std::vector<std::string> texts;
  std::vector<bool> valid;
  auto note = [&] {
    texts.push_back(form.edtCanErr1->Text());
    valid.push_back(form.edtCanErr1->ValueValid());
  };
  Drive(form, {Do([&] { unfocused = Pixels(check); }), TabTo("chkCanErr"), Do([&] {
                 focused = Pixels(check);
                 PressKey(VK_SPACE);  // tolerance on: the boxes open
               }),
               TabTo("edtCanErr1"), Do([] { input::TypeChars(L"abc"); }), Do(note),
               Do([] { input::TypeChars(L"7"); }), Do([&] {
                 note();
                 ASSERT_TRUE(input::SetClipboard(L"4x2 "));
                 PressKey('V', false, true);
               }),
               Do(note), Do([] { PressKey(VK_HOME, true); }), Do([] { PressKey(VK_BACK); }),
               Do(note), Do([] { PressKey(VK_ESCAPE); })});
  EXPECT_TRUE(form.chkCanErr->Checked());
  EXPECT_NE(focused, unfocused) << "the check box without caption shows its focus";
  EXPECT_EQ(texts, (std::vector<std::string>{"0", "7", "742", ""}));
  EXPECT_EQ(valid, (std::vector<bool>{true, true, true, false}));
}

TEST_F(RealInputTest, DigitsTypedInQuickSuccessionSelectTheNumberTheySpell) {
  TCodeGradeFrm form;
  std::vector<std::string> picked;
  auto note = [&] { picked.push_back(form.cbxMin->Text()); };
  Drive(form, {TabTo("cbxMin"), Do([] { input::TypeChars(L"40"); }), Do(note),
               Do([] { input::TypeChars(L"5"); }), Do(note), Pause(1300),
               Do([] { input::TypeChars(L"9"); }), Do(note), Pause(1300),
               Do([] { input::TypeChars(L"12"); }), Do(note), Do([] { PressKey(VK_ESCAPE); })});
  ASSERT_GT(form.cbxMin->Count(), 100);
  EXPECT_EQ(picked, (std::vector<std::string>{"40", "5", "9", "12"}));
}

TEST_F(RealInputTest, TheModeBoxShowsNoSelectionOnceTheFocusLeft) {
  TCodeGradeFrm form;
  HWND edit = GetWindow(Window(*form.FilterType), GW_CHILD);
  DWORD inStart = 0, inEnd = 0, outStart = 0, outEnd = 0;
  Drive(form, {TabTo("FilterType"), Do([&] {
                 SendMessageW(edit, EM_GETSEL, WPARAM(&inStart), LPARAM(&inEnd));
                 PressKey(VK_TAB);
               }),
               Do([&] {
                 SendMessageW(edit, EM_GETSEL, WPARAM(&outStart), LPARAM(&outEnd));
                 PressKey(VK_ESCAPE);
               })});
  ASSERT_NE(edit, nullptr);
  EXPECT_LT(inStart, inEnd) << "Tab selects the whole text";
  EXPECT_EQ(outStart, outEnd) << "nothing highlighted after the focus left";
}

TEST_F(RealInputTest, CtrlTabAndCtrlShiftTabSwitchPages) {
  TCodeGradeFrm form;
  form.tabFltValidate->SetTabVisible(true);  // three tabs
  std::vector<int32_t> pages;
  std::string focusOnPage;
  auto note = [&] { pages.push_back(form.pageFlt->ActivePageIndex()); };
  Drive(form,
        {Do(note), Do([] { PressKey(VK_TAB, false, true); }), Do([&] {
           note();
           focusOnPage = FocusName();
           PressKey(VK_TAB, false, true);
         }),
         Do(note), Do([] { PressKey(VK_TAB, false, true); }), Do(note),
         Do([] { PressKey(VK_TAB, true, true); }), Do(note),
         Do([] { PressKey(VK_TAB, true, true); }), Do(note), Do([] { PressKey(VK_ESCAPE); })});
  EXPECT_EQ(pages, (std::vector<int32_t>{0, 1, 2, 0, 2, 1}));
  EXPECT_EQ(focusOnPage, "pageFlt") << "the focus left the hidden page for its tabs";
}

// WCAG's contrast of two colours.
double Contrast(COLORREF a, COLORREF b) {
  auto lum = [](COLORREF c) {
    auto ch = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * ch(GetRValue(c)) + 0.7152 * ch(GetGValue(c)) + 0.0722 * ch(GetBValue(c));
  };
  const double la = lum(a), lb = lum(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST_F(RealInputTest, ThePositionLabelReadsAtFourAndAHalfToOne) {
  TTestSupFltForm form;
  form.SetConditionsText("K:0=00:0-0");
  double best = 0;
  Drive(form, {Do([&] {
          const std::vector<COLORREF> px = Pixels(Window(*form.lblFltCountInfo));
          ASSERT_FALSE(px.empty());
          // The ground is the corner; the text's ink, its strongest pixel.
          for (COLORREF c : px) best = std::max(best, Contrast(c, px.front()));
          PressKey(VK_ESCAPE);
        })});
  EXPECT_GE(best, 4.5);
}

#endif

}  // namespace
}  // namespace veltrin::test
