// Edit boxes and spin boxes (an edit box with up-down arrows beside it).
#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

LRESULT CALLBACK DigitsSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                DWORD_PTR ref);

class TEditPeer final : public TWinPeer {
 public:
  using TWinPeer::TWinPeer;
  ~TEditPeer() override {
    if (updown_) DestroyWindow(updown_);
  }

  void SetText(const std::string& text) override {
    TWinPeer::SetText(text);
    lastText_ = text;
  }
  void SetProp(TProp prop, int32_t value) override;
  int32_t Prop(TProp prop) const override;
  void SetBounds(const TRect& r) override {
    TWinPeer::SetBounds(r);
    // The arrows take their place inside the box's width again.
    if (updown_) SendMessageW(updown_, UDM_SETBUDDY, WPARAM(hwnd_), 0);
  }
  void UserType(const std::wstring& keys) override {
    int end = GetWindowTextLengthW(hwnd_);
    Send(EM_SETSEL, WPARAM(end), LPARAM(end));
    for (wchar_t key : keys) Send(WM_CHAR, WPARAM(key), 1);
  }
  void OnCommand(WORD code) override {
    // Only a real change counts: the edit control also reports keys it
    // refused at its length limit.
    if (code != EN_CHANGE || suppress_ != 0) return;
    std::string text = Text();
    if (text == lastText_) return;
    lastText_ = std::move(text);
    Control().UserInput(TInput::Change);
  }
  COLORREF Background() const override {
    if (color_ == clDefault && (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY))
      return GetSysColor(COLOR_BTNFACE);
    return Resolve(color_, COLOR_WINDOW);
  }

 protected:
  TWindowClass WindowClass() const override {
    DWORD style = WS_TABSTOP | ES_AUTOHSCROLL;
    if (Flags() & kReadOnly) style |= ES_READONLY;
    if (DigitsOnly()) style |= ES_NUMBER;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
  }
  void AfterCreate() override;

 private:
  // A spin box over whole numbers (its range holds no negative number)
  // takes digits only.
  bool DigitsOnly() const {
    return front_.Kind() == TKind::SpinEdit &&
           (updown_ ? Prop(TProp::Min) : front_.Desc().Min) >= 0;
  }
  void SyncDigitsOnly() {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      DigitsOnly() ? style | ES_NUMBER : style & ~LONG_PTR(ES_NUMBER));
  }

  HWND updown_ = nullptr;  // spin boxes
  std::string lastText_;   // the text the last change event saw
};

void TEditPeer::AfterCreate() {
  const TDesc& d = front_.Desc();
  lastText_ = d.Caption;
  // Typed keys pass the control's key handler first (the subclass set last
  // sees a message first), then the digits-only rule.
  if (front_.Kind() == TKind::SpinEdit) SetWindowSubclass(hwnd_, DigitsSubclass, 2, 0);
  SetWindowSubclass(hwnd_, EditSubclass, 1, DWORD_PTR(this));
  if (front_.Kind() != TKind::SpinEdit) return;
  DWORD style = WS_CHILD | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_NOTHOUSANDS;
  if (!(d.Flags & kHidden)) style |= WS_VISIBLE;
  if (d.Flags & kDisabled) style |= WS_DISABLED;
  updown_ = CreateWindowExW(0, UPDOWN_CLASSW, nullptr, style, 0, 0, 0, 0, GetParent(hwnd_),
                            reinterpret_cast<HMENU>(INT_PTR(backend_.NextControlId())), Module(),
                            nullptr);
  SendMessageW(updown_, UDM_SETRANGE32, WPARAM(d.Min), LPARAM(d.Max));
  SendMessageW(updown_, UDM_SETBUDDY, WPARAM(hwnd_), 0);
  // The buddy took the arrows' position as its text: the described one again.
  ++suppress_;
  SetWindowTextW(hwnd_, GbkToWide(d.Caption).c_str());
  --suppress_;
}

void TEditPeer::SetProp(TProp prop, int32_t value) {
  switch (prop) {
    case TProp::Enabled:
      TWinPeer::SetProp(prop, value);
      if (updown_) EnableWindow(updown_, value != 0);
      break;
    case TProp::Visible:
      TWinPeer::SetProp(prop, value);
      if (updown_) ShowWindow(updown_, value ? SW_SHOWNA : SW_HIDE);
      break;
    case TProp::MaxLength:
      Send(EM_LIMITTEXT, WPARAM(value));
      break;
    case TProp::ReadOnly:
      Send(EM_SETREADONLY, value != 0);
      break;
    case TProp::Min:
    case TProp::Max: {
      if (!updown_) break;
      int lo = 0, hi = 0;
      SendMessageW(updown_, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
      (prop == TProp::Min ? lo : hi) = value;
      SendMessageW(updown_, UDM_SETRANGE32, WPARAM(lo), LPARAM(hi));
      SyncDigitsOnly();
      break;
    }
    default:
      TWinPeer::SetProp(prop, value);
  }
}

int32_t TEditPeer::Prop(TProp prop) const {
  switch (prop) {
    case TProp::MaxLength: {
      LRESULT n = Send(EM_GETLIMITTEXT);
      // The edit control's own "no limit" values.
      return n >= 0x7FFFFFFE || n <= 0 ? 0 : int32_t(n);
    }
    case TProp::ReadOnly:
      return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
    case TProp::Min:
    case TProp::Max: {
      if (!updown_) return 0;
      int lo = 0, hi = 0;
      SendMessageW(updown_, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
      return prop == TProp::Min ? lo : hi;
    }
    default:
      return TWinPeer::Prop(prop);
  }
}

// Only the digits of the clipboard's text, in place of the selection.
void PasteDigits(HWND hwnd) {
  if (GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_READONLY) return;
  std::wstring digits;
  if (OpenClipboard(hwnd)) {
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT))
      if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
        for (const wchar_t* c = text; *c; ++c)
          if (*c >= L'0' && *c <= L'9') digits += *c;
        GlobalUnlock(data);
      }
    CloseClipboard();
  }
  if (digits.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  SendMessageW(hwnd, EM_REPLACESEL, TRUE, LPARAM(digits.c_str()));
}

// ES_NUMBER refuses typed keys that are no digit but lets any pasted text
// in; a spin box's number must hold digits only whichever way it came.
LRESULT CALLBACK DigitsSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id, DWORD_PTR) {
  // The rule follows the range: it stands while ES_NUMBER does.
  if ((msg == WM_CHAR || msg == WM_PASTE) && !(GetWindowLongPtrW(hwnd, GWL_STYLE) & ES_NUMBER))
    return DefSubclassProc(hwnd, msg, wp, lp);
  switch (msg) {
    case WM_CHAR:
      if (wp == 0x16) {  // Ctrl+V
        PasteDigits(hwnd);
        return 0;
      }
      if (wp >= 32 && (wp < L'0' || wp > L'9')) {
        MessageBeep(MB_OK);
        return 0;
      }
      break;
    case WM_PASTE:
      PasteDigits(hwnd);
      return 0;
    case WM_NCDESTROY:
      RemoveWindowSubclass(hwnd, DigitsSubclass, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(hwnd, msg, wp, lp);
}

}  // namespace

std::unique_ptr<TWinPeer> MakeEditPeer(TComponent& front, TWin32Backend& backend) {
  return std::make_unique<TEditPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
