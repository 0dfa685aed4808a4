// Every dialog on real windows at the display's DPI: scaled from its 96-DPI
// description, nothing clipped, no two controls on top of each other, and
// centred on the host window's monitor. CTest runs this file at 96 DPI with
// the whole suite and again at 120, 144 and 192 DPI, each in a Wine prefix
// of its own (VELTRIN_EXPECT_DPI names the DPI the prefix was set to).
#if defined(_WIN32)

#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/lottery.h"
#include "common/texts.h"
#include "forms/code_grade_form.h"
#include "forms/select_two_form.h"
#include "forms/share_func.h"
#include "tests/forms/sup_flt_base_fixture.h"
#include "tests/forms/test_flt_form.h"
#include "tests/support/ui_fixture.h"
#include "ui/automation.h"
#include "ui/win32/win32.h"

namespace veltrin {
namespace {

using namespace ui;

int ScreenDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  ReleaseDC(nullptr, dc);
  return dpi;
}

int Px(int length, int dpi) { return MulDiv(length, dpi, 96); }

// What SimSun, the font a Chinese Windows has, gives a text at 12 pixels:
// full width for Chinese and full-width signs, half width for ASCII.
int SimSunWidth(const std::wstring& text, int dpi) {
  int width = 0;
  for (wchar_t c : text) width += c < 0x80 ? 6 : 12;
  return Px(width, dpi);
}

RECT RectOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return r;
}

// Visible up to the form (the form itself stays hidden under the test's hook).
bool Showing(HWND hwnd, HWND form) {
  for (HWND h = hwnd; h && h != form; h = GetParent(h))
    if (!(GetWindowLongPtrW(h, GWL_STYLE) & WS_VISIBLE)) return false;
  return true;
}

std::wstring TextOf(HWND hwnd) {
  std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
  return text;
}

class DpiLayoutTest : public test::UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    dpi_ = ScreenDpi();
    savedDigits_ = ChipDigitCount;
    ChipDigitCount = 3;
  }
  void TearDown() override {
    ChipDigitCount = savedDigits_;
    UiBackendTest::TearDown();
  }

  // The caption of every showing label, button, check box and captioned
  // panel fits its control in the control's own font; the run-time labels
  // named in `simSun` fit a SimSun-wide text as well.
  void ExpectTextsFit(TForm& form, const std::vector<std::string>& simSun = {}) {
    HWND root = WindowOf(form);
    HDC dc = GetDC(root);
    for (TComponent* c : form.Components()) {
      const TKind kind = c->Kind();
      if (kind != TKind::Label && kind != TKind::Button && kind != TKind::CheckBox &&
          kind != TKind::Panel)
        continue;
      HWND hwnd = WindowOf(*c);
      if (!hwnd || !Showing(hwnd, root)) continue;
      const std::wstring text = TextOf(hwnd);
      RECT client{};
      GetClientRect(hwnd, &client);
      SCOPED_TRACE(form.Name() + "." + c->Name());
      if (text.empty()) {
        // A check box without caption still shows its whole box.
        if (kind == TKind::CheckBox) {
          EXPECT_GE(client.right, Px(13, dpi_));
        }
        continue;
      }
      const uint32_t flags = c->Desc().Flags;
      int room = client.right;
      if (flags & kGroove) room -= 2;  // the dark line each side
      if (kind == TKind::Button && !(flags & kFlat)) room -= 2 * Px(3, dpi_);
      if (kind == TKind::Panel) room -= 2 * Px(2, dpi_);
      HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
      SIZE extent{};
      GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent);
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      SelectObject(dc, old);
      EXPECT_LE(extent.cx, room) << "text cut at " << dpi_ << " DPI";
      EXPECT_LE(tm.tmHeight - tm.tmInternalLeading, client.bottom) << "text cut at the bottom";
      for (const std::string& name : simSun) {
        if (name == c->Name()) {
          EXPECT_LE(SimSunWidth(text, dpi_), room) << "cut in SimSun";
        }
      }
    }
    ReleaseDC(root, dc);
  }

  // No two showing controls of one parent overlap, but for a control lying
  // on an empty part of a panel (as the mode box on the score grid).
  void ExpectNoOverlap(TForm& form) {
    HWND root = WindowOf(form);
    std::vector<std::pair<TComponent*, HWND>> shown;
    for (TComponent* c : form.Components())
      if (HWND h = WindowOf(*c); h && h != root && Showing(h, root)) shown.push_back({c, h});
    auto childrenHit = [&](HWND panel, const RECT& r) {
      for (auto& [c, h] : shown) {
        RECT hit{}, cr = RectOf(h);
        if (GetParent(h) == panel && IntersectRect(&hit, &cr, &r)) return true;
      }
      return false;
    };
    for (size_t i = 0; i < shown.size(); ++i)
      for (size_t j = i + 1; j < shown.size(); ++j) {
        auto [a, ha] = shown[i];
        auto [b, hb] = shown[j];
        RECT ra = RectOf(ha), rb = RectOf(hb), hit{};
        if (GetParent(ha) != GetParent(hb) || !IntersectRect(&hit, &ra, &rb)) continue;
        if (a->Kind() == TKind::Panel && !childrenHit(ha, rb)) continue;
        if (b->Kind() == TKind::Panel && !childrenHit(hb, ra)) continue;
        ADD_FAILURE() << form.Name() << ": " << a->Name() << " and " << b->Name() << " overlap at "
                      << dpi_ << " DPI";
      }
  }

  // The page shown fills its page frame to the right and bottom edges:
  // no strip of the frame's own grey beside the sheet's background.
  void ExpectSheetsFill(TForm& form) {
    HWND root = WindowOf(form);
    for (TComponent* c : form.Components()) {
      if (c->Kind() != TKind::TabSheet) continue;
      HWND sheet = WindowOf(*c);
      if (!Showing(sheet, root)) continue;
      HWND pages = GetParent(sheet);
      RECT area{};
      GetClientRect(pages, &area);
      SendMessageW(pages, TCM_ADJUSTRECT, FALSE, LPARAM(&area));
      MapWindowPoints(pages, nullptr, reinterpret_cast<POINT*>(&area), 2);
      const RECT mine = RectOf(sheet);
      EXPECT_EQ(mine.right, area.right) << form.Name() << "." << c->Name() << " at " << dpi_;
      EXPECT_EQ(mine.bottom, area.bottom) << form.Name() << "." << c->Name() << " at " << dpi_;
    }
  }

  void ExpectAllClear(TForm& form, const std::vector<std::string>& simSun = {}) {
    ExpectTextsFit(form, simSun);
    ExpectNoOverlap(form);
    ExpectSheetsFill(form);
  }

  int dpi_ = 96;
  int32_t savedDigits_ = 0;
};

TEST_P(DpiLayoutTest, TheDisplayHasTheDpiThePrefixWasSetTo) {
  const char* expected = std::getenv("VELTRIN_EXPECT_DPI");
  if (!expected) GTEST_SKIP() << "run at the display's own DPI";
  EXPECT_EQ(dpi_, std::atoi(expected));
}

// The pair-score dialog with three-digit counts everywhere a count shows:
// 999 conditions, the last one current, and the simulated run over them
// with the widest tolerance range.
TEST_P(DpiLayoutTest, PairScoreDialogAtEveryDpi) {
  TCodeGradeFrm dialog;
  std::string text = "E|10000-10000\r\n";
  for (int i = 0; i < 999; ++i) text += std::string(kTxtModeStraight) + ":0=00,1=12 21:0-10\r\n";
  dialog.LoadSettingsText(text);
  Responder.OnModal([&](TForm&) {
    const HWND hwnd = WindowOf(dialog);
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, Px(544 + 12, dpi_));  // the inner border both sides
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(WindowOf(*dialog.btnOK), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(-font.lfHeight, Px(12, dpi_));

    dialog.RefreshList(998);
    const std::string count = dialog.lblFltCountInfo->Caption();
    EXPECT_EQ(count.substr(count.size() - 7), "999/999");
    ExpectAllClear(dialog, {"lblFltCountInfo"});

    dialog.tabFltValidate->SetTabVisible(true);
    SelectPage(*dialog.pageFlt, 1);
    Click(*dialog.btnFltValidate);
    EXPECT_EQ(dialog.lblCanErr->Caption(), "10000 - 10000");
    ExpectAllClear(dialog, {"lblFltTimes", "lblCanErr", "lblFltResult"});
    dialog.Close();
  });
  dialog.ShowModal();
  EXPECT_TRUE(Responder.ScriptUsedUp());
}

TEST_P(DpiLayoutTest, OtherDialogsAtEveryDpi) {
  test::TTestFltForm base;
  base.tabFltValidate->SetTabVisible(true);
  test::TTestSupFltForm list;
  auto picker = std::make_unique<TfrmSelectTwo>();
  picker->InitLabels();
  for (TForm* form : std::initializer_list<TForm*>{&base, &list, picker.get()}) {
    Responder.OnModal([&](TForm& shown) {
      ExpectAllClear(shown, {"lblFltCountInfo"});
      if (&shown == &base) {
        SelectPage(*base.pageFlt, 1);
        ExpectAllClear(shown, {"lblCanErr"});
      }
      shown.Close();
    });
    form->ShowModal();
  }
}

// Moved to a monitor of another DPI (one the screen has room for) and
// back: the system's message rescales places, sizes and fonts from the
// description, without drift.
TEST_P(DpiLayoutTest, MovingToAnotherDpiRescales) {
  TCodeGradeFrm dialog;
  Responder.OnModal([&](TForm&) {
    const HWND hwnd = WindowOf(dialog), list = WindowOf(*dialog.lstFilter);
    const RECT before = RectOf(list), window = RectOf(hwnd);
    const int other = dpi_ <= 120 ? dpi_ * 3 / 2 : dpi_ / 2;
    RECT suggested{window.left, window.top,
                   window.left + MulDiv(window.right - window.left, other, dpi_),
                   window.top + MulDiv(window.bottom - window.top, other, dpi_)};
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(other, other), LPARAM(&suggested));
    RECT client{};
    GetClientRect(hwnd, &client);
    EXPECT_EQ(client.right, Px(544 + 12, other));
    EXPECT_EQ(RectOf(hwnd).left, suggested.left);
    const RECT scaled = RectOf(list);
    EXPECT_NEAR(scaled.right - scaled.left, MulDiv(before.right - before.left, other, dpi_), 2);
    LOGFONTW font{};
    GetObjectW(HGDIOBJ(SendMessageW(list, WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_EQ(-font.lfHeight, Px(12, other));
    const int shown = dpi_;
    dpi_ = other;
    ExpectNoOverlap(dialog);
    dpi_ = shown;

    RECT back = RectOf(hwnd);
    SendMessageW(hwnd, WM_DPICHANGED, MAKEWPARAM(dpi_, dpi_), LPARAM(&back));
    const RECT after = RectOf(list);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
    dialog.Close();
  });
  dialog.ShowModal();
}

// Centred on the work area of the host window's monitor, never off it.
TEST_P(DpiLayoutTest, OpensCentredOnTheHostsMonitor) {
  HWND host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 30, 300,
                              200, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(host);
  SetActiveWindow(host);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoW(MonitorFromWindow(host, MONITOR_DEFAULTTONEAREST), &info);
  const RECT work = info.rcWork;
  auto check = [&](TForm& form) {
    Responder.OnModal([&](TForm& shown) {
      const RECT r = RectOf(WindowOf(shown));
      const int w = r.right - r.left, h = r.bottom - r.top;
      EXPECT_GE(r.left, work.left);
      EXPECT_GE(r.top, work.top);
      if (w <= work.right - work.left) {
        EXPECT_NEAR(r.left, work.left + (work.right - work.left - w) / 2, 1);
      }
      if (h <= work.bottom - work.top) {
        EXPECT_NEAR(r.top, work.top + (work.bottom - work.top - h) / 2, 1);
      }
      shown.Close();
    });
    form.ShowModal();
  };
  TfrmSelectTwo picker;
  check(picker);
  // Taller than the screen: the caption stays on it.
  TForm tall("frmTall");
  tall.SetClientSize(200, 4000);
  check(tall);
  DestroyWindow(host);
}

INSTANTIATE_TEST_SUITE_P(Backends, DpiLayoutTest, ::testing::Values(std::string("win32")),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           return info.param;
                         });

}  // namespace
}  // namespace veltrin

#endif
