// Creation of a control's window and the state every control shares: text,
// enabled and visible, colours, font, hint, place.
#include <algorithm>
#include <stdexcept>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {

TWinPeer* PeerOf(HWND hwnd) {
  return hwnd ? static_cast<TWinPeer*>(GetPropW(hwnd, kPeerProp)) : nullptr;
}

TWinPeer::TWinPeer(TComponent& front, TWin32Backend& backend) : front_(front), backend_(backend) {
  const TDesc& d = front.Desc();
  color_ = d.Color;
  fontColor_ = d.FontColor;
  bold_ = (d.Flags & kBold) != 0;
  showHint_ = (d.Flags & kShowHint) != 0;
}

HWND TWinPeer::MakeWindow(const TWindowClass& wc) {
  const TDesc& d = front_.Desc();
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | wc.Style;
  if (wc.Visible && !(d.Flags & kHidden)) style |= WS_VISIBLE;
  if (d.Flags & kDisabled) style |= WS_DISABLED;
  TWinPeer* parent = ParentPeer();
  std::wstring text = wc.Caption ? GbkToWide(d.Caption) : std::wstring();
  // The peer rides along as the creation parameter: the backend's own
  // window classes attach it before their first message.
  const RECT r =
      PxRect(TRect{d.Left, d.Top, std::max(0, d.Width), std::max(0, d.Height + wc.ExtraHeight)});
  return CreateWindowExW(wc.ExStyle, wc.Class, text.c_str(), style, r.left, r.top, r.right - r.left,
                         r.bottom - r.top, parent ? parent->hwnd_ : nullptr,
                         reinterpret_cast<HMENU>(INT_PTR(backend_.NextControlId())), Module(),
                         this);
}

void TWinPeer::Create() {
  const TWindowClass wc = WindowClass();
  const TDesc& d = front_.Desc();
  bounds_ = TRect{d.Left, d.Top, d.Width, d.Height};
  if (wc.Class) {
    TDpiAwareScope aware;
    hwnd_ = MakeWindow(wc);
    if (!hwnd_) throw std::runtime_error("cannot create the window of '" + front_.Name() + "'");
    SetPropW(hwnd_, kPeerProp, this);
    nameAtom_ = GlobalAddAtomW(GbkToWide(front_.Name()).c_str());
    SetPropW(hwnd_, kNameProp, reinterpret_cast<HANDLE>(ULONG_PTR(nameAtom_)));
    Send(WM_SETFONT, WPARAM(CurrentFont()), FALSE);
  }
  AfterCreate();
  if (showHint_) SyncTool();
}

TWinPeer::~TWinPeer() {
  if (!hwnd_) return;
  if (toolAdded_) {
    showHint_ = false;
    SyncTool();
  }
  // No notification of the dying window may reach a front that is going.
  RemovePropW(hwnd_, kPeerProp);
  RemovePropW(hwnd_, kNameProp);
  if (nameAtom_) GlobalDeleteAtom(nameAtom_);
  DestroyWindow(hwnd_);
}

TWinPeer* TWinPeer::ParentPeer() const {
  TComponent* p = front_.ParentComponent();
  return p ? static_cast<TWinPeer*>(p->PeerOrNull()) : nullptr;
}

TWinPeer* TWinPeer::FormPeer() const {
  if (front_.Kind() == TKind::Form) return const_cast<TWinPeer*>(this);
  return static_cast<TWinPeer*>(front_.Owner()->PeerOrNull());
}

void TWinPeer::SetText(const std::string& text) {
  if (!hwnd_) return;
  ++suppress_;
  SetWindowTextW(hwnd_, GbkToWide(text).c_str());
  --suppress_;
}

std::string TWinPeer::Text() const {
  if (!hwnd_) return {};
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring buf(size_t(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, buf.data(), n + 1);
  buf.resize(size_t(std::max(0, n)));
  return WideToGbk(buf);
}

void TWinPeer::SetEnabled(bool enabled) {
  if (hwnd_) EnableWindow(hwnd_, enabled);
}

bool TWinPeer::Enabled() const { return hwnd_ ? IsWindowEnabled(hwnd_) != 0 : true; }

void TWinPeer::SetVisible(bool visible) {
  if (hwnd_) ShowWindow(hwnd_, visible ? SW_SHOWNA : SW_HIDE);
}

bool TWinPeer::Visible() const {
  return hwnd_ ? (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0 : false;
}

void TWinPeer::SetColor(TColor color) {
  color_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinPeer::SetFontColor(TColor color) {
  fontColor_ = color;
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinPeer::SetFontBold(bool bold) {
  bold_ = bold;
  if (hwnd_) Send(WM_SETFONT, WPARAM(CurrentFont()), TRUE);
}

void TWinPeer::SetShowHint(bool show) {
  showHint_ = show;
  SyncTool();
}

HWND TWinPeer::Tooltip() { return FormPeer() ? FormPeer()->Tooltip() : nullptr; }

void TWinPeer::SyncTool() {
  if (!hwnd_ || front_.Kind() == TKind::Form) return;
  bool want = showHint_ && !hint_.empty();
  if (!want && !toolAdded_) return;
  HWND tip = Tooltip();
  if (!tip) return;
  std::wstring text = GbkToWide(hint_);
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = GetParent(hwnd_);
  ti.uId = UINT_PTR(hwnd_);
  ti.hinst = Module();
  ti.lpszText = text.data();
  if (want && !toolAdded_) {
    toolAdded_ = SendMessageW(tip, TTM_ADDTOOLW, 0, LPARAM(&ti)) != 0;
  } else if (want) {
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, LPARAM(&ti));
  } else {
    SendMessageW(tip, TTM_DELTOOLW, 0, LPARAM(&ti));
    toolAdded_ = false;
  }
}

void TWinPeer::SetHint(const std::string& hint) {
  hint_ = hint;
  SyncTool();
}

std::string TWinPeer::Hint() const {
  if (!toolAdded_) return hint_;
  // The tooltip holds the shown hint.
  std::vector<wchar_t> buf(4096, L'\0');
  TOOLINFOW ti{};
  ti.cbSize = TTTOOLINFOW_V2_SIZE;
  ti.hwnd = GetParent(hwnd_);
  ti.uId = UINT_PTR(hwnd_);
  ti.lpszText = buf.data();
  SendMessageW(const_cast<TWinPeer*>(this)->Tooltip(), TTM_GETTEXTW, WPARAM(buf.size()),
               LPARAM(&ti));
  return WideToGbk(buf.data());
}

void TWinPeer::SetBounds(const TRect& r) {
  bounds_ = r;
  if (!hwnd_) return;
  TDpiAwareScope aware;
  const RECT px = PxRect(r);
  MoveWindow(hwnd_, px.left, px.top, px.right - px.left, px.bottom - px.top, TRUE);
}

int TWinPeer::Dpi() const {
  TWinPeer* form = FormPeer();
  return form && form != this ? form->Dpi() : kDesignDpi;
}

void* TWinPeer::HostDpiContext() const {
  TWinPeer* form = FormPeer();
  return form && form != this ? form->HostDpiContext() : nullptr;
}

void TWinPeer::Rescale() {
  if (!hwnd_) return;
  Send(WM_SETFONT, WPARAM(CurrentFont()), FALSE);
  SetBounds(bounds_);
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinPeer::Repaint() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

HBRUSH TWinPeer::CtlColor(HDC dc) {
  COLORREF bg = Background();
  SetTextColor(dc, Resolve(fontColor_, COLOR_WINDOWTEXT));
  SetBkColor(dc, bg);
  return backend_.Brush(bg);
}

bool TWinPeer::ShowPopup(LPARAM where) {
  if (!hwnd_ || front_.Kind() == TKind::Form) return false;
  TPopupMenu* popup = Control().PopupMenu();
  if (!popup || !popup->PeerOrNull()) return false;
  POINT pt{GET_X_LPARAM(where), GET_Y_LPARAM(where)};
  if (where == -1) {  // from the keyboard: at the control
    RECT rc;
    GetWindowRect(hwnd_, &rc);
    pt = POINT{rc.left + Px(8), rc.top + Px(8)};
  }
  // The chosen item comes back to the form as a menu command.
  TrackPopupMenu(MenuOf(*popup->PeerOrNull()), TPM_LEFTALIGN | TPM_RIGHTBUTTON, pt.x, pt.y, 0,
                 FormPeer()->hwnd_, nullptr);
  return true;
}

}  // namespace veltrin::ui::win32
