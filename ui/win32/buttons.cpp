// Buttons (flat ones drawn by the backend) and check boxes.
#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

LRESULT CALLBACK FlatButtonSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR ref);
LRESULT CALLBACK BareCheckSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR ref);

class TButtonPeer final : public TWinPeer, public TCheckPeer {
 public:
  using TWinPeer::TWinPeer;

  void SetChecked(bool checked) override {
    Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
  }
  bool Checked() const override { return Send(BM_GETCHECK) == BST_CHECKED; }
  void UserClick() override { Send(BM_CLICK); }
  void OnCommand(WORD code) override {
    if (code == BN_CLICKED) Control().UserInput(TInput::Click);
  }
  COLORREF Background() const override {
    // A check box without a colour of its own shows its parent's.
    if (IsCheckBox() && color_ == clDefault)
      if (TWinPeer* parent = ParentPeer()) return parent->Background();
    return TWinPeer::Background();
  }
  void DrawItem(const DRAWITEMSTRUCT& dis) override;
  void SetDefaultLook(bool on) override {
    if (IsCheckBox() || !hwnd_) return;
    if (Flags() & kFlat) {
      if (defaultLook_ != on) InvalidateRect(hwnd_, nullptr, TRUE);
      defaultLook_ = on;
      return;
    }
    const LONG_PTR want = on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((GetWindowLongPtrW(hwnd_, GWL_STYLE) & BS_TYPEMASK) != want) Send(BM_SETSTYLE, want, TRUE);
  }
  bool DefaultLook() const { return defaultLook_; }

 protected:
  TWindowClass WindowClass() const override {
    const uint32_t flags = Flags();
    DWORD style = WS_TABSTOP;
    if (IsCheckBox())
      style |= BS_AUTOCHECKBOX;
    else
      style |= (flags & kFlat)      ? BS_OWNERDRAW
               : (flags & kDefault) ? BS_DEFPUSHBUTTON
                                    : BS_PUSHBUTTON;
    return {L"BUTTON", style};
  }
  void AfterCreate() override {
    if (IsCheckBox() && (Flags() & kChecked)) Send(BM_SETCHECK, BST_CHECKED);
    if (!IsCheckBox() && (Flags() & kFlat))
      SetWindowSubclass(hwnd_, FlatButtonSubclass, 1, DWORD_PTR(this));
    if (IsCheckBox()) SetWindowSubclass(hwnd_, BareCheckSubclass, 1, DWORD_PTR(this));
  }

 private:
  bool IsCheckBox() const { return front_.Kind() == TKind::CheckBox; }

  bool defaultLook_ = false;  // flat buttons: drawn as the button Enter presses
};

// A flat button is drawn by its owner, and the system takes an owner-drawn
// button for no push button: Enter on it would press the form's default
// button. It answers as the push button it is, and keeps being drawn by its
// owner when the dialog keys make it the default one.
LRESULT CALLBACK FlatButtonSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                    DWORD_PTR ref) {
  auto* peer = reinterpret_cast<TButtonPeer*>(ref);
  switch (msg) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (peer->DefaultLook() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE: {
      const WPARAM type = wp & BS_TYPEMASK;
      if (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) {
        peer->SetDefaultLook(type == BS_DEFPUSHBUTTON);
        return 0;
      }
      break;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, FlatButtonSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// A check box draws its focus around its caption, so one without a caption
// (the tolerance switch) would take Space unseen: it is framed instead.
LRESULT CALLBACK BareCheckSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                   DWORD_PTR) {
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case BM_SETCHECK:
    case BM_SETSTATE: {
      // The button paints these at once, outside WM_PAINT: again whole.
      const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      if (GetWindowTextLengthW(hwnd) == 0)
        RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      return r;
    }
    case WM_PAINT: {
      const LRESULT r = DefSubclassProc(hwnd, msg, wp, lp);
      if (GetFocus() == hwnd && GetWindowTextLengthW(hwnd) == 0) {
        RECT rc{};
        GetClientRect(hwnd, &rc);
        HDC dc = GetDC(hwnd);
        DrawFocusRect(dc, &rc);
        ReleaseDC(hwnd, dc);
      }
      return r;
    }
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, BareCheckSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

// A flat button: its face, sunk while pressed, framed while Enter presses it.
void TButtonPeer::DrawItem(const DRAWITEMSTRUCT& dis) {
  HDC dc = dis.hDC;
  RECT rc = dis.rcItem;
  HGDIOBJ oldFont = SelectObject(dc, CurrentFont());
  SetBkMode(dc, TRANSPARENT);
  FillRect(dc, &rc, backend_.Brush(Background()));
  if (dis.itemState & ODS_SELECTED)
    DrawEdge(dc, &rc, BDR_SUNKENOUTER, BF_RECT);
  else if (defaultLook_)
    FrameRect(dc, &rc, GetSysColorBrush(COLOR_WINDOWFRAME));
  SetTextColor(dc, (dis.itemState & ODS_DISABLED) ? GetSysColor(COLOR_GRAYTEXT)
                                                  : Resolve(fontColor_, COLOR_BTNTEXT));
  std::wstring text = GbkToWide(Text());
  DrawTextW(dc, text.c_str(), int(text.size()), &rc,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  if (dis.itemState & ODS_FOCUS) {
    RECT fr{rc.left + 2, rc.top + 2, rc.right - 2, rc.bottom - 2};
    DrawFocusRect(dc, &fr);
  }
  SelectObject(dc, oldFont);
}

}  // namespace

std::unique_ptr<TWinPeer> MakeButtonPeer(TComponent& front, TWin32Backend& backend) {
  return std::make_unique<TButtonPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
