// Drives a live dialog of the Windows library from outside, the way an
// automation tool does: windows are found through Win32 alone by the "Name"
// property every control carries (a global atom of its name), and input is
// posted to them as a user's would arrive. Works on dialogs of another
// module (the library has its own copy of the control layer) and of another
// process. Windows builds only.
//
// Everything here runs on a helper thread while the dialog's own thread sits
// in its modal loop: actions are posted, never sent, so that a click that
// opens a modal window of its own does not block the helper, and a click
// that ends the modal run wakes the loop.
#pragma once

#if defined(_WIN32)

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace veltrin::test::live {

// Generous: a window shown or hidden under Wine without a window manager
// takes seconds.
inline constexpr int kTimeoutMs = 15000;

// The name a window carries; empty when it has none.
std::string NameOf(HWND window);
// The first visible top-level window named `name` whose process is
// `processId` (0: any process); null when none appears within `timeoutMs`.
HWND WaitForTopWindow(const std::string& name, DWORD processId, int timeoutMs = kTimeoutMs);
// The control named `name` below `root`; null when there is none.
HWND Child(HWND root, const std::string& name);
// True once `condition` holds, polled until `timeoutMs` has passed.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = kTimeoutMs);
// True once `window` is gone or hidden.
bool WaitGone(HWND window, int timeoutMs = kTimeoutMs);

// A click as the user's mouse gives it: a button or check box pressed, a
// label clicked.
void PostClick(HWND control);
// Replaces an edit box's text by typing `text` over all of it.
void PostTyping(HWND edit, const std::wstring& text);
// The window's text (UTF-16).
std::wstring TextOf(HWND window);
// Items of a list box.
int ListCount(HWND list);
// Closes a window as its close box would.
void PostClose(HWND window);

// Presses "btnClose" of every window named `name` that comes up in the
// process `processId` (0: any) while the object lives: for tests that open
// the library's dialog only to see what is answered around it.
class TDialogCloser {
 public:
  explicit TDialogCloser(DWORD processId = GetCurrentProcessId(),
                         std::string name = "CodeGradeFrm");
  ~TDialogCloser();
  TDialogCloser(const TDialogCloser&) = delete;
  TDialogCloser& operator=(const TDialogCloser&) = delete;
  // Stops watching (waiting for a close under way to finish).
  void Stop();
  // How many dialogs it closed.
  int Closed() const { return closed_; }

 private:
  DWORD processId_;
  std::string name_;
  std::atomic<bool> stop_{false};
  std::atomic<int> closed_{0};
  std::thread thread_;
};

}  // namespace veltrin::test::live

#endif
