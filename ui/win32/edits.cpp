// Edit boxes and spin boxes (an edit box with up-down arrows beside it).
#include <utility>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

LRESULT CALLBACK DigitsSubclass(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                DWORD_PTR ref);

class TWinEditPeer final : public TWinPeer, public TEditPeer {
 public:
  using TWinPeer::TWinPeer;
  ~TWinEditPeer() override {
    if (updown_) DestroyWindow(updown_);
  }

  void SetText(const std::string& text) override {
    TWinPeer::SetText(text);
    lastText_ = text;
  }
  void SetEnabled(bool enabled) override {
    TWinPeer::SetEnabled(enabled);
    if (updown_) EnableWindow(updown_, enabled);
  }
  void SetVisible(bool visible) override {
    TWinPeer::SetVisible(visible);
    if (updown_) ShowWindow(updown_, visible ? SW_SHOWNA : SW_HIDE);
  }
  void SetMaxLength(int32_t length) override { Send(EM_LIMITTEXT, WPARAM(length)); }
  int32_t MaxLength() const override {
    LRESULT n = Send(EM_GETLIMITTEXT);
    // The edit control's own "no limit" values.
    return n >= 0x7FFFFFFE || n <= 0 ? 0 : int32_t(n);
  }
  void SetReadOnly(bool readOnly) override { Send(EM_SETREADONLY, readOnly); }
  bool ReadOnly() const override {
    return (GetWindowLongPtrW(hwnd_, GWL_STYLE) & ES_READONLY) != 0;
  }
  void SetRange(int32_t min, int32_t max) override {
    if (!updown_) return;
    SendMessageW(updown_, UDM_SETRANGE32, WPARAM(min), LPARAM(max));
    SyncDigitsOnly();
  }
  int32_t Min() const override { return Range().first; }
  int32_t Max() const override { return Range().second; }
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
    return front_.Kind() == TKind::SpinEdit && (updown_ ? Min() : front_.Desc().Min) >= 0;
  }
  // A plain edit box has no range: 0 to 0.
  std::pair<int32_t, int32_t> Range() const {
    int lo = 0, hi = 0;
    if (updown_) SendMessageW(updown_, UDM_GETRANGE32, WPARAM(&lo), LPARAM(&hi));
    return {lo, hi};
  }
  void SyncDigitsOnly() {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      DigitsOnly() ? style | ES_NUMBER : style & ~LONG_PTR(ES_NUMBER));
  }

  HWND updown_ = nullptr;  // spin boxes
  std::string lastText_;   // the text the last change event saw
};

void TWinEditPeer::AfterCreate() {
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
  return std::make_unique<TWinEditPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
