// Forms: the top-level window, its client size, the tooltip of its
// controls, the modal run, and what reaches a form as a whole (Enter, Esc,
// the close box, menu commands, copied data).
#include <algorithm>
#include <utility>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

BOOL CALLBACK DisableOthers(HWND hwnd, LPARAM lp) {
  auto* list = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(lp);
  if (hwnd != list->first && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
    EnableWindow(hwnd, FALSE);
    list->second.push_back(hwnd);
  }
  return TRUE;
}

class TWinFormPeer final : public TWinPeer, public TFormPeer {
 public:
  TWinFormPeer(TComponent& front, TWin32Backend& backend)
      : TWinPeer(front, backend), hostContext_(ThreadDpiContext()) {}
  ~TWinFormPeer() override {
    if (tooltip_) DestroyWindow(tooltip_);
  }

  void SetVisible(bool) override {}  // shown by its modal run
  void SetClientSize(int32_t width, int32_t height) override {
    clientW_ = width;
    clientH_ = height;
    ApplyClientSize();
  }
  // In 96-DPI units, as the description gives sizes.
  int32_t ClientWidth() const override { return ClientSize().cx; }
  int32_t ClientHeight() const override { return ClientSize().cy; }
  int32_t FrameWidth() const override { return FrameSize().cx; }
  int32_t FrameHeight() const override { return FrameSize().cy; }
  void SetBounds(const TRect&) override {}  // a form is placed by its modal run
  HWND Tooltip() override;
  int Dpi() const override { return dpi_; }
  void* HostDpiContext() const override { return hostContext_; }
  void Rescale() override;
  void RunModal() override;
  void UserFormKey(TFormKey key) override;
  intptr_t UserCopyData(uintptr_t tag, const void* data, size_t size) override;
  bool OnFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

 protected:
  TWindowClass WindowClass() const override { return {kFormClass}; }
  HWND MakeWindow(const TWindowClass& wc) override {
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    // Made on the monitor of the host's window, where it will open, so that
    // it has that monitor's DPI from the start.
    const RECT work = WorkArea(HostMonitor(nullptr));
    HWND hwnd =
        CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME, wc.Class,
                        GbkToWide(front_.Desc().Caption).c_str(), style, work.left, work.top, 200,
                        100, nullptr, nullptr, Module(), static_cast<TWinPeer*>(this));
    if (hwnd) dpi_ = WindowDpi(hwnd);
    return hwnd;
  }

 private:
  TForm& Form() const { return static_cast<TForm&>(front_); }
  void ApplyClientSize();
  SIZE ClientSize() const;
  SIZE FrameSize() const;
  void RunHook();
  void OnCommandId(WORD id);
  // Centres the window on the host's monitor, rescaling it first when that
  // monitor's DPI is not the one it was built for.
  void Place(HWND owner);
  void ChangeDpi(int dpi, const RECT* suggested);

  // Keyboard focus (focus.cpp has the order).
  int StopIndexOf(HWND hwnd) const;
  HWND StopTarget(int index) const;
  void MoveFocus(int from, bool back);
  void FocusStart();
  void RestoreFocus();
  bool HandleTab(const MSG& msg);
  bool StepPage(bool back);
  void WatchFocus();
  void SyncDefault(HWND focus);

  HWND tooltip_ = nullptr;         // the tooltip of all the form's controls
  int clientW_ = 0, clientH_ = 0;  // 96-DPI units
  int dpi_ = kDesignDpi;
  void* hostContext_ = nullptr;
  std::vector<TTabStop> order_;
  std::map<int, HWND> groupFocus_;  // the label last focused in each run of labels
  HWND lastFocus_ = nullptr;        // the control that had the focus last
  HWND seenFocus_ = nullptr;
};

void TWinFormPeer::ApplyClientSize() {
  TDpiAwareScope aware;
  const int width = Px(clientW_), height = Px(clientH_);
  DWORD style = DWORD(GetWindowLongPtrW(hwnd_, GWL_STYLE));
  DWORD ex = DWORD(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
  RECT r{0, 0, width, height};
  AdjustWindowRectForDpi(r, style, ex, dpi_);
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // Correct for whatever the frame really takes.
  RECT c{};
  GetClientRect(hwnd_, &c);
  int dw = width - (c.right - c.left), dh = height - (c.bottom - c.top);
  if (dw || dh)
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left + dw, r.bottom - r.top + dh,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

SIZE TWinFormPeer::ClientSize() const {
  TDpiAwareScope aware;
  RECT c{};
  GetClientRect(hwnd_, &c);
  return SIZE{FromDevice(c.right - c.left, Dpi()), FromDevice(c.bottom - c.top, Dpi())};
}

SIZE TWinFormPeer::FrameSize() const {
  TDpiAwareScope aware;
  RECT w{}, c{};
  GetWindowRect(hwnd_, &w);
  GetClientRect(hwnd_, &c);
  return SIZE{FromDevice((w.right - w.left) - c.right, Dpi()),
              FromDevice((w.bottom - w.top) - c.bottom, Dpi())};
}

void TWinFormPeer::Rescale() {
  if (tooltip_) {
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(300));
    SendMessageW(tooltip_, WM_SETFONT, WPARAM(CurrentFont()), FALSE);
  }
  ApplyClientSize();
}

void TWinFormPeer::ChangeDpi(int dpi, const RECT* suggested) {
  if (dpi == dpi_ || dpi < 48) return;
  TDpiAwareScope aware;
  dpi_ = dpi;
  if (suggested)
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  Rescale();
  // Every control again from its description's place, with the new fonts.
  for (TComponent* c : Form().Components())
    if (auto* peer = dynamic_cast<TWinPeer*>(c->PeerOrNull()); peer && c != &front_)
      peer->Rescale();  // menus have no window to rescale
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinFormPeer::Place(HWND owner) {
  TDpiAwareScope aware;
  const RECT work = WorkArea(HostMonitor(owner));
  // Onto the host's monitor first: a form built while the host was on a
  // monitor of another DPI takes this one's (where the system tells the
  // window itself, this changes nothing more).
  SetWindowPos(hwnd_, nullptr, work.left, work.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  ChangeDpi(WindowDpi(hwnd_), nullptr);
  RECT wr{};
  GetWindowRect(hwnd_, &wr);
  const POINT at = CentreIn(work, wr.right - wr.left, wr.bottom - wr.top);
  SetWindowPos(hwnd_, HWND_TOP, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
}

HWND TWinFormPeer::Tooltip() {
  if (!tooltip_) {
    TDpiAwareScope aware;
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, Module(), nullptr);
    // Long code lists wrap instead of running off the screen.
    SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, Px(300));
    SendMessageW(tooltip_, WM_SETFONT, WPARAM(CurrentFont()), FALSE);
  }
  return tooltip_;
}

void TWinFormPeer::RunModal() {
  TForm& form = Form();
  // Read once the form is built and its OnShow has placed everything.
  order_ = ReadingOrder(form);
  groupFocus_.clear();
  lastFocus_ = seenFocus_ = nullptr;
  HWND owner = GetActiveWindow();
  if (owner == hwnd_) owner = nullptr;
  SetWindowLongPtrW(hwnd_, GWLP_HWNDPARENT, LONG_PTR(owner));
  // The thread's other windows wait while this one is up.
  std::pair<HWND, std::vector<HWND>> disabled{hwnd_, {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOthers, LPARAM(&disabled));

  // Under a hook the window stays hidden: the hook answers in place of a
  // person, and a window that was never shown spares the wait for a window
  // manager when it is hidden again.
  const bool shown = Hook() == nullptr;
  Place(owner);
  if (shown) {
    SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(hwnd_);
    FocusStart();
  } else {
    PostMessageW(hwnd_, kMsgRunHook, 0, 0);
  }

  MSG msg;
  while (form.ModalResult() == mrNone) {
    BOOL r = GetMessageW(&msg, nullptr, 0, 0);
    if (r == 0) {
      // The application is quitting: pass the request on to the outer loop.
      PostQuitMessage(int(msg.wParam));
      break;
    }
    if (r < 0) break;
    if (!HandleTab(msg) && !IsDialogMessageW(hwnd_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    WatchFocus();
  }
  if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
  for (HWND other : disabled.second) EnableWindow(other, TRUE);
  if (shown) ShowWindow(hwnd_, SW_HIDE);
  if (owner && IsWindow(owner)) SetActiveWindow(owner);
}

// The stop of `hwnd` or of the nearest window holding it (a combo box
// holds its edit box); a page control's sheets hold stops of their own.
int TWinFormPeer::StopIndexOf(HWND hwnd) const {
  for (HWND h = hwnd; h && h != hwnd_; h = GetParent(h))
    for (size_t i = 0; i < order_.size(); ++i)
      for (HWND m : order_[i].Members)
        if (m == h) return int(i);
  return -1;
}

HWND TWinFormPeer::StopTarget(int index) const {
  const std::vector<HWND>& members = order_[size_t(index)].Members;
  auto remembered = groupFocus_.find(index);
  if (remembered != groupFocus_.end() && CanFocus(remembered->second, hwnd_))
    return remembered->second;
  for (HWND m : members)
    if (CanFocus(m, hwnd_)) return m;
  return nullptr;
}

// The next stop after (or before) stop `from` that can take the focus;
// from -1 the first (or last).
void TWinFormPeer::MoveFocus(int from, bool back) {
  const int n = int(order_.size());
  for (int k = 1; k <= n; ++k) {
    int i = from < 0 ? (back ? n - k : k - 1) : from + (back ? -k : k);
    i = ((i % n) + n) % n;
    if (HWND target = StopTarget(i)) {
      FocusControl(target);
      WatchFocus();
      return;
    }
  }
}

void TWinFormPeer::FocusStart() {
  TControl* start = Form().ActiveControl();
  auto* peer = start ? static_cast<TWinPeer*>(start->PeerOrNull()) : nullptr;
  if (peer && CanFocus(peer->Hwnd(), hwnd_)) {
    FocusControl(peer->Hwnd());
    WatchFocus();
  } else {
    MoveFocus(-1, false);
  }
}

// Back from another window (a message box, the code picker): the control
// that had the focus has it again, not the form itself.
void TWinFormPeer::RestoreFocus() {
  if (lastFocus_ && CanFocus(lastFocus_, hwnd_)) {
    SetFocus(lastFocus_);
    WatchFocus();
  } else {
    FocusStart();
  }
}

// Tab and Shift+Tab go by the reading order, before the dialog manager's
// own Tab handling (which follows the order the windows were made in).
bool TWinFormPeer::HandleTab(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || order_.empty()) return false;
  if (msg.hwnd != hwnd_ && !IsChild(hwnd_, msg.hwnd)) return false;
  if (GetKeyState(VK_CONTROL) < 0) return StepPage(GetKeyState(VK_SHIFT) < 0);
  const LRESULT code =
      SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
  if (code & (DLGC_WANTTAB | DLGC_WANTALLKEYS)) return false;
  MoveFocus(StopIndexOf(GetFocus()), GetKeyState(VK_SHIFT) < 0);
  return true;
}

// Ctrl+Tab and Ctrl+Shift+Tab, as in a property sheet: the next (or
// previous) page of the page control that holds the focus, else of the
// form's first page control that shows. The focus stays where it is, or
// goes to the tabs when its page went away.
bool TWinFormPeer::StepPage(bool back) {
  TWinPeer* pages = nullptr;
  for (HWND h = GetFocus(); h && h != hwnd_ && !pages; h = GetParent(h))
    if (TWinPeer* peer = PeerOf(h); peer && peer->Front().Kind() == TKind::PageControl)
      pages = peer;
  for (TComponent* c : Form().Components()) {
    if (pages) break;
    if (c->Kind() == TKind::PageControl && static_cast<TControl*>(c)->Showing() &&
        static_cast<TControl*>(c)->Operable())
      pages = static_cast<TWinPeer*>(c->PeerOrNull());
  }
  if (!pages || !StepPageOf(*pages, back)) return true;  // the key is used up either way
  if (!CanFocus(GetFocus(), hwnd_)) FocusControl(pages->Hwnd());
  WatchFocus();
  return true;
}

void TWinFormPeer::WatchFocus() {
  HWND focus = GetFocus();
  if (focus == seenFocus_) return;
  seenFocus_ = focus;
  if (focus != hwnd_ && !IsChild(hwnd_, focus)) return;  // another window has it
  if (focus != hwnd_) {
    lastFocus_ = focus;
    const int stop = StopIndexOf(focus);
    if (stop >= 0 && order_[size_t(stop)].Members.size() > 1) groupFocus_[stop] = focus;
  }
  SyncDefault(focus);
}

// As in a dialog box: a push button with the focus is the one Enter
// presses and shows it; anywhere else the form's default button does.
void TWinFormPeer::SyncDefault(HWND focus) {
  HWND target = nullptr;
  TWinPeer* focused = PeerOf(focus);
  if (focused && focused != this && focused->Front().Kind() == TKind::Button)
    target = focus;
  else if (TButton* def = Form().DefaultButton())
    target = WindowOf(*def);
  for (TComponent* c : Form().Components())
    if (c->Kind() == TKind::Button)
      if (auto* peer = static_cast<TWinPeer*>(c->PeerOrNull()))
        peer->SetDefaultLook(peer->Hwnd() == target);
}

void TWinFormPeer::RunHook() {
  TForm& form = Form();
  if (TUiHook* hook = Hook()) RunGuarded([&] { hook->Modal(form); });
  // Under a hook nobody else is there to close the window.
  if (form.ModalResult() == mrNone) form.SetModalResult(mrCancel);
}

void TWinFormPeer::UserFormKey(TFormKey key) {
  switch (key) {
    // What IsDialogMessage sends for Enter and Esc.
    case TFormKey::Enter:
      Send(WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
      break;
    case TFormKey::Escape:
      Send(WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
      break;
    case TFormKey::CloseBox:
      Send(WM_SYSCOMMAND, SC_CLOSE, 0);
      break;
  }
}

intptr_t TWinFormPeer::UserCopyData(uintptr_t tag, const void* data, size_t size) {
  COPYDATASTRUCT cds{};
  cds.dwData = ULONG_PTR(tag);
  cds.cbData = DWORD(size);
  cds.lpData = const_cast<void*>(data);
  return intptr_t(Send(WM_COPYDATA, 0, LPARAM(&cds)));
}

void TWinFormPeer::OnCommandId(WORD id) {
  if (id == IDOK) {
    Form().UserFormKey(TFormKey::Enter);
  } else if (id == IDCANCEL) {
    Form().UserFormKey(TFormKey::Escape);
  } else if (TMenuItem* item = backend_.MenuCommand(id)) {
    item->UserChoose();
  }
}

bool TWinFormPeer::OnFormMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_COMMAND:  // from a menu or the dialog keys: no control window
      OnCommandId(LOWORD(wp));
      return true;
    case WM_CLOSE:
      Form().UserFormKey(TFormKey::CloseBox);
      return true;
    case WM_COPYDATA:
      if (auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp))
        result = LRESULT(Form().UserCopyData(cds->dwData, cds->lpData, cds->cbData));
      return true;
    case kMsgRunHook:
      RunHook();
      return true;
    case WM_DPICHANGED:  // moved to a monitor of another DPI
      ChangeDpi(HIWORD(wp), reinterpret_cast<const RECT*>(lp));
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wp) == WA_INACTIVE || HIWORD(wp)) return false;
      RestoreFocus();
      return true;
    case WM_SETFOCUS:
      RestoreFocus();
      return true;
    case DM_GETDEFID: {
      // Enter on a control that is no push button presses this one.
      TButton* def = Form().DefaultButton();
      HWND h = def ? WindowOf(*def) : nullptr;
      if (h && def->Showing() && def->Operable())
        result = MAKELRESULT(GetDlgCtrlID(h), DC_HASDEFID);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

std::unique_ptr<TWinPeer> MakeFormPeer(TComponent& front, TWin32Backend& backend) {
  return std::make_unique<TWinFormPeer>(front, backend);
}

}  // namespace veltrin::ui::win32
