// Extras of the window descriptions and forms on every backend: a hint
// given with the description, forms sized by their outer size, and grooved
// labels whose groove has a colour of its own (drawn so on Win32).
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/ui_fixture.h"
#include "ui/controls.h"

#if defined(_WIN32)
#include "ui/win32/win32.h"
#endif

namespace veltrin {
namespace {

using namespace ui;
using test::UiBackendTest;

class UiDescExtrasTest : public UiBackendTest {};

class TGrooveForm : public TForm {
 public:
  TGrooveForm() : TForm("frmGroove") {
    SetClientSize(120, 60);
    Build({
        TDesc(TKind::Label, "lblOwn", "", "01")
            .At(4, 4, 22, 21)
            .Groove(clMaroon)
            .Colors(clBtnFace, clNavy)
            .WithHint("12 21"),
        TDesc(TKind::Label, "lblFont", "", "02")
            .At(30, 4, 22, 21)
            .Set(kGroove)
            .Colors(clBtnFace, clNavy),
        TDesc(TKind::Label, "lblPlain", "", "03").At(56, 4, 22, 21),
    });
  }
};

TEST_P(UiDescExtrasTest, HintsComeWithTheDescription) {
  TGrooveForm form;
  EXPECT_EQ(form.Get<TLabel>("lblOwn")->Hint(), "12 21");
  EXPECT_EQ(form.Get<TLabel>("lblPlain")->Hint(), "");
  form.Get<TLabel>("lblOwn")->SetHint("");
  EXPECT_EQ(form.Get<TLabel>("lblOwn")->Hint(), "");
}

TEST_P(UiDescExtrasTest, FormsTakeAnOuterSize) {
  TForm form("frmOuter");
  form.SetOuterSize(252, 297);
  EXPECT_EQ(form.OuterWidth(), 252);
  EXPECT_EQ(form.OuterHeight(), 297);
  // The frame takes its part; the client area is the rest.
  EXPECT_GT(form.ClientWidth(), 200);
  EXPECT_LT(form.ClientWidth(), 252);
  EXPECT_GT(form.ClientHeight(), 230);
  EXPECT_LT(form.ClientHeight(), 297);
  if (!OnWin32()) {
    EXPECT_EQ(form.ClientWidth(), 246);
    EXPECT_EQ(form.ClientHeight(), 272);
  }
  // An inner border belongs to the client side of the frame.
  form.SetBorderWidth(6);
  form.SetOuterSize(252, 297);
  EXPECT_EQ(form.OuterWidth(), 252);
  EXPECT_EQ(form.OuterHeight(), 297);
  if (!OnWin32()) {
    EXPECT_EQ(form.ClientWidth(), 246 - 12);
  }
#if defined(_WIN32)
  if (OnWin32()) {
    RECT r{};
    GetWindowRect(WindowOf(form), &r);
    EXPECT_EQ(r.right - r.left, 252);
    EXPECT_EQ(r.bottom - r.top, 297);
  }
#endif
}

TEST_P(UiDescExtrasTest, GroovesHaveTheirOwnColour) {
  TGrooveForm form;
  EXPECT_EQ(form.Get<TLabel>("lblOwn")->Desc().GrooveColor, clMaroon);
  EXPECT_TRUE(form.Get<TLabel>("lblOwn")->Desc().Flags & kGroove);
  EXPECT_EQ(form.Get<TLabel>("lblFont")->Desc().GrooveColor, clDefault);
  EXPECT_EQ(form.Get<TLabel>("lblOwn")->FontColor(), clNavy);
#if defined(_WIN32)
  if (!OnWin32()) return;
  // Drawn into a bitmap the way the window asks its labels to draw.
  auto edge = [&](const char* name) {
    HWND label = WindowOf(*form.Get<TLabel>(name));
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 22, 21);
    HGDIOBJ old = SelectObject(dc, bitmap);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_STATIC;
    dis.CtlID = UINT(GetDlgCtrlID(label));
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = label;
    dis.hDC = dc;
    dis.rcItem = RECT{0, 0, 22, 21};
    SendMessageW(GetParent(label), WM_DRAWITEM, WPARAM(dis.CtlID), LPARAM(&dis));
    const COLORREF pixel = GetPixel(dc, 0, 10);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixel;
  };
  EXPECT_EQ(edge("lblOwn"), COLORREF(clMaroon));
  EXPECT_EQ(edge("lblFont"), COLORREF(clNavy));
#endif
}

VELTRIN_ON_UI_BACKENDS(UiDescExtrasTest);

}  // namespace
}  // namespace veltrin
