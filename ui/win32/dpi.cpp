// Dots per inch. The window descriptions are in 96-DPI units; a form is
// scaled to the DPI of the monitor it opens on. The per-monitor functions
// are looked up at run time, so that the library still loads where the
// system lacks them (older Windows, Wine): there the system DPI serves.
#include <algorithm>

#include "ui/win32/win32_private.h"

namespace veltrin::ui::win32 {
namespace {

using TSetThreadContext = void*(WINAPI*)(void*);
using TGetThreadContext = void*(WINAPI*)();
using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForMonitor = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using TAdjustForDpi = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

// The awareness contexts by their documented values.
void* const kPerMonitorAwareV2 = reinterpret_cast<void*>(intptr_t(-4));
void* const kPerMonitorAware = reinterpret_cast<void*>(intptr_t(-3));
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

struct TDpiApi {
  TSetThreadContext SetThreadContext = nullptr;
  TGetThreadContext GetThreadContext = nullptr;
  TGetDpiForWindow GetDpiForWindow = nullptr;
  TGetDpiForMonitor GetDpiForMonitor = nullptr;
  TAdjustForDpi AdjustForDpi = nullptr;

  TDpiApi() {
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
      SetThreadContext = Proc<TSetThreadContext>(user, "SetThreadDpiAwarenessContext");
      GetThreadContext = Proc<TGetThreadContext>(user, "GetThreadDpiAwarenessContext");
      GetDpiForWindow = Proc<TGetDpiForWindow>(user, "GetDpiForWindow");
      AdjustForDpi = Proc<TAdjustForDpi>(user, "AdjustWindowRectExForDpi");
    }
    // Loaded on first use, never in DllMain; kept for the process's life.
    if (HMODULE shcore = LoadLibraryW(L"shcore.dll"))
      GetDpiForMonitor = Proc<TGetDpiForMonitor>(shcore, "GetDpiForMonitor");
  }

  template <class F>
  static F Proc(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
};

const TDpiApi& Api() {
  static const TDpiApi api;
  return api;
}

bool Plausible(UINT dpi) { return dpi >= 48 && dpi <= 960; }

}  // namespace

int SystemDpi() {
  HDC dc = GetDC(nullptr);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : kDesignDpi;
  if (dc) ReleaseDC(nullptr, dc);
  return Plausible(UINT(dpi)) ? dpi : kDesignDpi;
}

int MonitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  if (monitor && Api().GetDpiForMonitor &&
      SUCCEEDED(Api().GetDpiForMonitor(monitor, kEffectiveDpi, &x, &y)) && Plausible(y))
    return int(y);
  return SystemDpi();
}

int WindowDpi(HWND hwnd) {
  if (hwnd && Api().GetDpiForWindow) {
    UINT dpi = Api().GetDpiForWindow(hwnd);
    if (Plausible(dpi)) return int(dpi);
  }
  return MonitorDpi(hwnd ? MonitorFromWindow(hwnd, MONITOR_DEFAULTTONEAREST) : nullptr);
}

void* ThreadDpiContext() { return Api().GetThreadContext ? Api().GetThreadContext() : nullptr; }

TDpiContextScope::TDpiContextScope(void* context) {
  if (context && Api().SetThreadContext) old_ = Api().SetThreadContext(context);
}

TDpiContextScope::~TDpiContextScope() {
  if (old_) Api().SetThreadContext(old_);
}

TDpiAwareScope::TDpiAwareScope() {
  if (!Api().SetThreadContext) return;
  // Version 2 scales the frame and the common controls as well; version 1
  // is what Windows 10 before 1703 offers.
  old_ = Api().SetThreadContext(kPerMonitorAwareV2);
  if (!old_) old_ = Api().SetThreadContext(kPerMonitorAware);
}

TDpiAwareScope::~TDpiAwareScope() {
  if (old_) Api().SetThreadContext(old_);
}

void AdjustWindowRectForDpi(RECT& r, DWORD style, DWORD exStyle, int dpi) {
  if (!Api().AdjustForDpi || !Api().AdjustForDpi(&r, style, FALSE, exStyle, UINT(dpi)))
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
}

HMONITOR HostMonitor(HWND owner) {
  HWND host = owner ? owner : GetActiveWindow();
  if (!host) host = GetForegroundWindow();
  if (host) return MonitorFromWindow(host, MONITOR_DEFAULTTONEAREST);
  return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

RECT WorkArea(HMONITOR monitor) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
  RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  return work;
}

POINT CentreIn(const RECT& work, int width, int height) {
  // Centred; a window larger than the area keeps its top left corner (and
  // so its caption) on the area.
  auto place = [](LONG lo, LONG hi, int size) {
    LONG at = lo + (hi - lo - size) / 2;
    return std::max(lo, std::min(at, LONG(hi - size)));
  };
  return POINT{place(work.left, work.right, width), place(work.top, work.bottom, height)};
}

}  // namespace veltrin::ui::win32
