#include "tests/support/input_driver.h"

#if defined(_WIN32)

#include <cstring>

#include "ui/win32/win32.h"

namespace veltrin::test::input {
namespace {

TInputDriver* g_driver = nullptr;
constexpr UINT kTickMs = 15;
constexpr int kSpareTicks = 400;

void SetModifier(UINT vk, UINT left, bool down) {
  BYTE keys[256]{};
  GetKeyboardState(keys);
  keys[vk] = keys[left] = down ? 0x80 : 0;
  SetKeyboardState(keys);
}

LPARAM KeyData(UINT vk, bool up) {
  LPARAM scan = LPARAM(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
  return 1 | scan | (up ? LPARAM(0xC0000000) : 0);
}

}  // namespace

TInputDriver::TInputDriver(std::deque<TStep> steps) : steps_(std::move(steps)) {
  g_driver = this;
  timer_ = SetTimer(nullptr, 0, kTickMs, Tick);
}

TInputDriver::~TInputDriver() {
  if (timer_) KillTimer(nullptr, timer_);
  g_driver = nullptr;
}

void CALLBACK TInputDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
  TInputDriver* self = g_driver;
  if (!self || self->busy_) return;
  self->busy_ = true;
  // Posted keys leave the keyboard state alone; a Shift or Ctrl a step set
  // is let go.
  if (GetKeyState(VK_SHIFT) < 0) SetModifier(VK_SHIFT, VK_LSHIFT, false);
  if (GetKeyState(VK_CONTROL) < 0) SetModifier(VK_CONTROL, VK_LCONTROL, false);
  if (!self->steps_.empty()) {
    // Popped before it runs: a nested loop it may start ticks on.
    TStep step = std::move(self->steps_.front());
    self->steps_.pop_front();
    if (!step() && ++self->repeats_ < kMaxRepeats)
      self->steps_.push_front(std::move(step));
    else
      self->repeats_ = 0;
  } else if (GetActiveWindow() && ++self->spare_ < kSpareTicks) {
    PressKey(VK_ESCAPE);
  }
  self->busy_ = false;
}

void PressKey(UINT vk, bool shift, bool ctrl) {
  if (shift) SetModifier(VK_SHIFT, VK_LSHIFT, true);
  if (ctrl) SetModifier(VK_CONTROL, VK_LCONTROL, true);
  HWND to = GetFocus();
  if (!to) to = GetActiveWindow();
  if (!to) return;
  PostMessageW(to, WM_KEYDOWN, vk, KeyData(vk, false));
  PostMessageW(to, WM_KEYUP, vk, KeyData(vk, true));
}

bool SetClipboard(const std::wstring& text) {
  if (!OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
  bool done = false;
  if (block) {
    memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    done = SetClipboardData(CF_UNICODETEXT, block) != nullptr;
    if (!done) GlobalFree(block);
  }
  CloseClipboard();
  return done;
}

void TypeChars(const std::wstring& text) {
  HWND to = GetFocus();
  if (!to) return;
  for (wchar_t c : text) PostMessageW(to, WM_CHAR, WPARAM(c), 1);
}

void ClickAt(HWND window, bool twice) {
  RECT rc{};
  GetClientRect(window, &rc);
  const LPARAM at = MAKELPARAM(rc.right / 2, rc.bottom / 2);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
  if (twice) {
    PostMessageW(window, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageW(window, WM_LBUTTONUP, 0, at);
  }
}

void MoveMouse(HWND window, POINT at) {
  PostMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
}

HWND Focus() { return GetFocus(); }

std::string FocusName() { return NameOf(GetFocus()); }

std::string NameOf(HWND window) {
  for (HWND h = window; h; h = GetParent(h)) {
    std::string name = ui::ControlName(h);
    if (!name.empty()) return name;
  }
  return {};
}

std::wstring MessageBoxText() {
  HWND box = GetActiveWindow();
  wchar_t cls[16]{};
  if (!box || !GetClassNameW(box, cls, 16) || std::wstring(cls) != L"#32770") return {};
  // The message's static control has the identifier 0xFFFF.
  HWND text = GetDlgItem(box, 0xFFFF);
  if (!text) return {};
  wchar_t buf[1024]{};
  GetWindowTextW(text, buf, 1024);
  return buf;
}

}  // namespace veltrin::test::input

#endif
