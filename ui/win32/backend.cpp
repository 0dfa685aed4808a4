// The backend object: window classes, fonts, brushes, menu commands and the
// peer of each control family.
#include <algorithm>
#include <array>
#include <cmath>
#include <stdexcept>

#include "ui/kinds.h"

#include "ui/win32/win32_private.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace veltrin::ui {
namespace win32 {

HINSTANCE Module() { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

COLORREF Resolve(TColor c, int sysDefault) {
  if (c == clDefault) return GetSysColor(sysDefault);
  if (c & kSysColorFlag) return GetSysColor(int(c & 0xFF));
  return COLORREF(c & 0xFFFFFF);
}

namespace {
double Luminance(COLORREF c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(GetRValue(c)) + 0.7152 * channel(GetGValue(c)) +
         0.0722 * channel(GetBValue(c));
}
double Contrast(COLORREF a, COLORREF b) {
  const double la = Luminance(a), lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
}  // namespace

COLORREF Readable(COLORREF ink, COLORREF ground) {
  constexpr double kMinContrast = 4.5;
  if (Contrast(ink, ground) >= kMinContrast) return ink;
  // Toward black on a light ground, toward white on a dark one, keeping
  // the hue as long as it can.
  const bool darken = Luminance(ground) > 0.18;
  for (int step = 1; step <= 16; ++step) {
    auto mix = [&](int v) { return darken ? v * (16 - step) / 16 : v + (255 - v) * step / 16; };
    const COLORREF c = RGB(mix(GetRValue(ink)), mix(GetGValue(ink)), mix(GetBValue(ink)));
    if (Contrast(c, ground) >= kMinContrast) return c;
  }
  return darken ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

UINT TextAlign(uint32_t flags) {
  return (flags & kTextRight) ? DT_RIGHT : (flags & kTextCenter) ? DT_CENTER : DT_LEFT;
}

TWin32Backend& Backend() {
  static TWin32Backend backend;
  return backend;
}

void TWin32Backend::EnsureClasses() {
  if (classesReady_) return;
  INITCOMMONCONTROLSEX icc{
      sizeof icc, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  for (const wchar_t* name : {kFormClass, kBoxClass}) {
    // A class left by an earlier load of this library at the same address
    // would point at code that is gone.
    UnregisterClassW(name, Module());
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | (name == kFormClass ? 0u : UINT(CS_HREDRAW | CS_VREDRAW));
    wc.lpfnWndProc = BoxProc;
    wc.hInstance = Module();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register the window classes");
  }
  classesReady_ = true;
}

void TWin32Backend::Shutdown() {
  if (classesReady_) {
    UnregisterClassW(kFormClass, Module());
    UnregisterClassW(kBoxClass, Module());
    classesReady_ = false;
  }
  for (auto& f : fonts_) DeleteObject(f.second);
  fonts_.clear();
  for (auto& b : brushes_) DeleteObject(b.second);
  brushes_.clear();
}

HFONT TWin32Backend::Font(const TFontSpec& want, bool bold, int dpi) {
  std::wstring face = GbkToWide(want.Name);
  const int height = ToDevice(want.Height, dpi);
  auto key = std::make_tuple(face, height, want.Charset, bold);
  auto it = fonts_.find(key);
  if (it != fonts_.end()) return it->second;
  HFONT font =
      CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                  DWORD(want.Charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                  DEFAULT_PITCH | FF_DONTCARE, face.empty() ? nullptr : face.c_str());
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  fonts_.emplace(key, font);
  return font;
}

HBRUSH TWin32Backend::Brush(COLORREF color) {
  auto it = brushes_.find(color);
  if (it != brushes_.end()) return it->second;
  HBRUSH b = CreateSolidBrush(color);
  brushes_.emplace(color, b);
  return b;
}

UINT TWin32Backend::AddMenuCommand(TMenuItem* item) {
  for (UINT tries = 0; tries <= kLastMenuId - kFirstMenuId; ++tries) {
    UINT id = nextMenu_;
    nextMenu_ = nextMenu_ >= kLastMenuId ? kFirstMenuId : nextMenu_ + 1;
    if (!menus_.count(id)) {
      menus_.emplace(id, item);
      return id;
    }
  }
  throw std::runtime_error("too many menu items");
}

std::unique_ptr<TPeer> TWin32Backend::CreatePeer(TComponent& front) {
  EnsureClasses();
  const TFamily family = KindInfo(front.Kind()).Family;
  if (family == TFamily::Menu) return MakeMenuPeer(front, *this);
  // The window peer of each other family, in the order of TFamily.
  using TMaker = std::unique_ptr<TWinPeer> (*)(TComponent&, TWin32Backend&);
  static constexpr std::array<TMaker, kFamilyCount - 1> kMakers{
      MakeFormPeer, MakeButtonPeer, MakeEditPeer,  MakeListPeer,
      MakeTabsPeer, MakeStaticPeer, MakeChartPeer,
  };
  static_assert(size_t(TFamily::Menu) == kFamilyCount - 1, "the menu family comes last");
  std::unique_ptr<TWinPeer> peer = kMakers[size_t(family)](front, *this);
  peer->Create();
  return peer;
}

}  // namespace win32

TBackend* Win32Backend() { return &win32::Backend(); }

HWND WindowOf(const TComponent& component) {
  TForm* owner = component.Owner();
  if (!owner || &owner->Backend() != &win32::Backend() || !component.PeerOrNull()) return nullptr;
  // A popup menu's peer has no window.
  auto* peer = dynamic_cast<win32::TWinPeer*>(component.PeerOrNull());
  return peer ? peer->Hwnd() : nullptr;
}

void Win32Shutdown() { win32::Backend().Shutdown(); }

}  // namespace veltrin::ui
