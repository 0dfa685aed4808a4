#include "tests/support/live_dialog.h"

#if defined(_WIN32)

#include <chrono>

namespace veltrin::test::live {
namespace {

constexpr int kPollMs = 50;

struct TSearch {
  const std::string* Name;
  DWORD ProcessId;
  HWND Found;
};

BOOL CALLBACK MatchTop(HWND window, LPARAM lp) {
  auto* s = reinterpret_cast<TSearch*>(lp);
  if (!IsWindowVisible(window)) return TRUE;
  if (s->ProcessId) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != s->ProcessId) return TRUE;
  }
  if (NameOf(window) != *s->Name) return TRUE;
  s->Found = window;
  return FALSE;
}

BOOL CALLBACK MatchChild(HWND window, LPARAM lp) {
  auto* s = reinterpret_cast<TSearch*>(lp);
  if (NameOf(window) != *s->Name) return TRUE;
  s->Found = window;
  return FALSE;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
  return out;
}

}  // namespace

std::string NameOf(HWND window) {
  HANDLE atom = GetPropW(window, L"Name");
  if (!atom) return {};
  wchar_t buf[256] = {};
  const UINT n = GlobalGetAtomNameW(ATOM(ULONG_PTR(atom)), buf, 256);
  return Narrow(std::wstring(buf, n));
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    Sleep(kPollMs);
  }
}

HWND WaitForTopWindow(const std::string& name, DWORD processId, int timeoutMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        TSearch s{&name, processId, nullptr};
        EnumWindows(MatchTop, reinterpret_cast<LPARAM>(&s));
        found = s.Found;
        return found != nullptr;
      },
      timeoutMs);
  return found;
}

HWND Child(HWND root, const std::string& name) {
  if (!root) return nullptr;
  TSearch s{&name, 0, nullptr};
  EnumChildWindows(root, MatchChild, reinterpret_cast<LPARAM>(&s));
  return s.Found;
}

bool WaitGone(HWND window, int timeoutMs) {
  return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, timeoutMs);
}

void PostClick(HWND control) {
  if (!control) return;
  wchar_t cls[32] = {};
  GetClassNameW(control, cls, 32);
  if (lstrcmpiW(cls, L"Button") == 0) {
    PostMessageW(control, BM_CLICK, 0, 0);
    return;
  }
  PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void PostTyping(HWND edit, const std::wstring& text) {
  if (!edit) return;
  PostMessageW(edit, EM_SETSEL, 0, -1);
  for (wchar_t c : text) PostMessageW(edit, WM_CHAR, WPARAM(c), 1);
}

std::wstring TextOf(HWND window) {
  // WM_GETTEXT: answered by the window's thread even while it is busy in
  // its modal loop.
  wchar_t buf[4096] = {};
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, 4096, LPARAM(buf), SMTO_NORMAL, 5000, &n)) return {};
  return std::wstring(buf, size_t(n));
}

int ListCount(HWND list) {
  DWORD_PTR n = 0;
  if (!SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 5000, &n)) return -1;
  return int(LONG_PTR(n));
}

void PostClose(HWND window) {
  if (window && IsWindow(window)) PostMessageW(window, WM_CLOSE, 0, 0);
}

TDialogCloser::TDialogCloser(DWORD processId, std::string name)
    : processId_(processId), name_(std::move(name)) {
  thread_ = std::thread([this] {
    while (!stop_) {
      HWND dialog = WaitForTopWindow(name_, processId_, 200);
      if (!dialog) continue;
      PostClick(Child(dialog, "btnClose"));
      if (WaitGone(dialog)) ++closed_;
    }
  });
}

TDialogCloser::~TDialogCloser() { Stop(); }

void TDialogCloser::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

}  // namespace veltrin::test::live

#endif
