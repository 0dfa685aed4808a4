// The Win32 backend: every control a real window made with the W functions;
// texts are GBK and cross to the windows through code page 936. Each
// control's window carries its name in the window property "Name" (a
// global atom), so automation finds any control of a live dialog by name.
#pragma once

#include <string>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace veltrin::ui {

class TComponent;

#if defined(_WIN32)
// The window of a control built on the Win32 backend; null otherwise.
HWND WindowOf(const TComponent& component);

// GBK <-> UTF-16 with code page 936, whatever the system's code page.
std::wstring GbkToWide(const std::string& text);
std::string WideToGbk(const std::wstring& text);

// The first window below `root` (children and their children) whose "Name"
// property names `name`; null when there is none.
HWND FindControlByName(HWND root, const std::string& name);
// The name a window carries, empty when it has none.
std::string ControlName(HWND hwnd);

// Unregisters the window classes and frees fonts and brushes; for the
// library's unload, after every form is gone.
void Win32Shutdown();
#endif

}  // namespace veltrin::ui
