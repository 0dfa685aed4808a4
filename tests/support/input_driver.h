// Real keyboard and mouse input for a dialog of the test's own thread,
// delivered through the dialog's modal loop. Each step runs from a thread
// timer, and the system hands out a timer message only when no posted
// message waits: a step sees everything the steps before it caused, the
// keys' WM_CHAR included. A step posts WM_KEYDOWN / WM_KEYUP (the loop's
// TranslateMessage adds WM_CHAR) or mouse messages, so IsDialogMessage,
// the default button and the focus logic of the loop take part, in nested
// loops (message boxes, the code picker) too. Windows builds only.
#pragma once

#if defined(_WIN32)

#include <windows.h>

#include <deque>
#include <functional>
#include <string>

namespace veltrin::test::input {

// One step; false runs it again at the next timer message (a step that
// presses Tab until the focus is somewhere, say), up to kMaxRepeats times.
using TStep = std::function<bool()>;
inline constexpr int kMaxRepeats = 1000;

// Runs `steps` one per timer message while it lives. When they are used up
// and a window of this thread is still active, Esc is pressed until none
// is, so that a test that went wrong ends instead of waiting for a person.
class TInputDriver {
 public:
  explicit TInputDriver(std::deque<TStep> steps);
  ~TInputDriver();
  TInputDriver(const TInputDriver&) = delete;
  TInputDriver& operator=(const TInputDriver&) = delete;
  // True when every step ran.
  bool Done() const { return steps_.empty(); }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  std::deque<TStep> steps_;
  UINT_PTR timer_ = 0;
  int spare_ = 0;    // ticks after the last step
  int repeats_ = 0;  // runs of the current step
  bool busy_ = false;
};

// A key pressed and released at the window that has the focus; with
// `shift` (`ctrl`), the Shift (Ctrl) key reads as held until the next step
// runs.
void PressKey(UINT vk, bool shift = false, bool ctrl = false);
// Puts `text` on the clipboard, as another program's copy would.
bool SetClipboard(const std::wstring& text);
// Characters typed at the window that has the focus (WM_CHAR each).
void TypeChars(const std::wstring& text);
// The left button pressed and released at the centre of `window`; with
// `twice`, a second click within the double-click time follows (it
// arrives as a double click).
void ClickAt(HWND window, bool twice = false);
// The mouse moved to point `at` of `window`'s client area.
void MoveMouse(HWND window, POINT at);

// The window that has the focus, and the name of the named control that is
// it or holds it (a combo box's edit belongs to its combo box); empty when
// none.
HWND Focus();
std::string FocusName();
std::string NameOf(HWND window);
// The text of the message box shown now, empty when none is.
std::wstring MessageBoxText();

}  // namespace veltrin::test::input

#endif
