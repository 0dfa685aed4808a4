// Labels (drawn by the backend, with an optional grooved border) and panels.
#include <cstdlib>
#include <utility>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

LRESULT CALLBACK KeyboardLabelSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR ref);

class TLabelPeer final : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetText(const std::string& text) override {
    TWinPeer::SetText(text);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void SetEnabled(bool enabled) override {
    TWinPeer::SetEnabled(enabled);
    // Disabled text is drawn grey.
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  void UserClick() override {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }
  void OnCommand(WORD code) override {
    if (code == STN_CLICKED)
      Control().UserInput(TInput::Click);
    else if (code == STN_DBLCLK)
      Control().UserInput(TInput::DblClick);
  }
  COLORREF Background() const override {
    // Without a colour of its own a label shows its parent's.
    if (color_ == clDefault)
      if (TWinPeer* parent = ParentPeer()) return parent->Background();
    return TWinPeer::Background();
  }
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  // The arrow keys move among the clickable labels beside this one.
  void MoveTo(WPARAM key);

 protected:
  TWindowClass WindowClass() const override {
    return {L"STATIC",
            DWORD(SS_OWNERDRAW | SS_NOTIFY | (IsKeyboardLabel(Control()) ? WS_TABSTOP : 0))};
  }
  void AfterCreate() override {
    if (IsKeyboardLabel(Control()))
      SetWindowSubclass(hwnd_, KeyboardLabelSubclass, 1, DWORD_PTR(this));
  }
};

void TLabelPeer::MoveTo(WPARAM key) {
  const TControl& self = Control();
  if (!self.Parent()) return;
  auto centre = [](const TControl& c) {
    return std::pair<int, int>(c.Left() + c.Width() / 2, c.Top() + c.Height() / 2);
  };
  const auto [x, y] = centre(self);
  HWND best = nullptr;
  long bestScore = 0;
  for (TControl* c : self.Parent()->Controls()) {
    if (c == &self || !IsKeyboardLabel(*c)) continue;
    HWND h = static_cast<TWinPeer*>(c->PeerOrNull())->Hwnd();
    if (!CanFocus(h, GetAncestor(hwnd_, GA_ROOT))) continue;
    const auto [cx, cy] = centre(*c);
    const int dx = cx - x, dy = cy - y;
    int along = 0, across = 0;
    switch (key) {
      case VK_LEFT:
        along = -dx, across = dy;
        break;
      case VK_RIGHT:
        along = dx, across = dy;
        break;
      case VK_UP:
        along = -dy, across = dx;
        break;
      case VK_DOWN:
        along = dy, across = dx;
        break;
      default:
        return;
    }
    if (along <= 0) continue;
    // The nearest in that direction, the same row or column first.
    const long score = long(along) + 8L * std::abs(across);
    if (!best || score < bestScore) best = h, bestScore = score;
  }
  if (best) SetFocus(best);
}

// A label the user clicks is reached by the keyboard too: it takes the
// focus, shows it, moves it with the arrow keys and is clicked by Space.
LRESULT CALLBACK KeyboardLabelSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                       DWORD_PTR ref) {
  auto* peer = reinterpret_cast<TLabelPeer*>(ref);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_KEYDOWN:
      if (wp == VK_SPACE) {
        if (!(lp & (1 << 30))) peer->Control().UserInput(TInput::Click);  // not a repeat
        return 0;
      }
      if (wp == VK_LEFT || wp == VK_RIGHT || wp == VK_UP || wp == VK_DOWN) {
        peer->MoveTo(wp);
        return 0;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (IsWindowVisible(hwnd) && GetFocus() != hwnd) SetFocus(hwnd);
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, KeyboardLabelSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

void TLabelPeer::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  const uint32_t flags = Flags();
  FillRect(dc, &rc, backend_.Brush(Background()));
  // Text a player reads is kept readable whatever colour it was given;
  // disabled text is grey by the system's convention.
  COLORREF ink = IsWindowEnabled(hwnd_)
                     ? Readable(Resolve(fontColor_, COLOR_WINDOWTEXT), Background())
                     : GetSysColor(COLOR_GRAYTEXT);
  RECT textRect = rc;
  if (flags & kGroove) {
    // A groove: a dark line (the groove's own colour, else the font's)
    // with a light line inside it; the text stays inside both where it
    // fits, whatever the font's first glyph reaches.
    const TColor groove = front_.Desc().GrooveColor;
    HBRUSH dark = backend_.Brush(groove != clDefault ? Resolve(groove, COLOR_BTNSHADOW)
                                                     : Resolve(fontColor_, COLOR_BTNSHADOW));
    FrameRect(dc, &rc, dark);
    RECT inner{rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1};
    FrameRect(dc, &inner, backend_.Brush(GetSysColor(COLOR_BTNHIGHLIGHT)));
    InflateRect(&textRect, -2, -2);
  }
  std::wstring text = GbkToWide(Text());
  SIZE extent{};
  if ((flags & kGroove) && GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &extent) &&
      extent.cx > textRect.right - textRect.left) {
    // A caption wider than that ("100" in a font wider than SimSun) may
    // cover the light line, never the dark one.
    InflateRect(&textRect, 1, 0);
  }
  SetTextColor(dc, ink);
  UINT vert = (flags & kGroove) ? DT_VCENTER : DT_TOP;
  DrawTextW(dc, text.c_str(), int(text.size()), &textRect,
            TextAlign(flags) | vert | DT_SINGLELINE | DT_NOPREFIX);
  if (GetFocus() == hwnd_) {
    RECT fr{rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
    DrawFocusRect(dc, &fr);
  }
  SelectObject(dc, oldFont);
}

class TPanelPeer final : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetText(const std::string& text) override {
    TWinPeer::SetText(text);
    if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  }
  bool Paint() override;

 protected:
  TWindowClass WindowClass() const override {
    return {kBoxClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
  }
};

bool TPanelPeer::Paint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd_, &ps);
  RECT rc;
  GetClientRect(hwnd_, &rc);
  const uint32_t flags = Flags();
  if (flags & kBevel) DrawEdge(dc, &rc, BDR_RAISEDINNER, BF_RECT);
  std::wstring text = GbkToWide(Text());
  if (!text.empty()) {
    HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Readable(Resolve(fontColor_, COLOR_WINDOWTEXT), Background()));
    RECT tr{rc.left + Px(2), rc.top, rc.right - Px(2), rc.bottom};
    DrawTextW(dc, text.c_str(), int(text.size()), &tr,
              TextAlign(flags) | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, oldFont);
  }
  EndPaint(hwnd_, &ps);
  return true;
}

}  // namespace

std::unique_ptr<TWinPeer> MakeStaticPeer(TComponent& front, TWin32Backend& backend) {
  if (front.Kind() == TKind::Panel) return std::make_unique<TPanelPeer>(front, backend);
  return std::make_unique<TLabelPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
