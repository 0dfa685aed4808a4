// The backend object: window classes, fonts, brushes, menu commands and the
// peer of each control family.
#include <stdexcept>

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
  std::unique_ptr<TWinPeer> peer;
  switch (front.Kind()) {
    case TKind::Form:
      peer = MakeFormPeer(front, *this);
      break;
    case TKind::Button:
    case TKind::CheckBox:
      peer = MakeButtonPeer(front, *this);
      break;
    case TKind::Edit:
    case TKind::SpinEdit:
      peer = MakeEditPeer(front, *this);
      break;
    case TKind::ListBox:
    case TKind::ComboBox:
      peer = MakeListPeer(front, *this);
      break;
    case TKind::PageControl:
    case TKind::TabSheet:
      peer = MakeTabsPeer(front, *this);
      break;
    case TKind::Label:
    case TKind::Panel:
      peer = MakeStaticPeer(front, *this);
      break;
    case TKind::Chart:
      peer = MakeChartPeer(front, *this);
      break;
    case TKind::PopupMenu:
    case TKind::MenuItem:
    case TKind::OpenDialog:
    case TKind::SaveDialog:
      peer = MakeMenuPeer(front, *this);
      break;
  }
  peer->Create();
  return peer;
}

}  // namespace win32

TBackend* Win32Backend() { return &win32::Backend(); }

HWND WindowOf(const TComponent& component) {
  TForm* owner = component.Owner();
  if (!owner || &owner->Backend() != &win32::Backend() || !component.PeerOrNull()) return nullptr;
  return static_cast<win32::TWinPeer*>(component.PeerOrNull())->Hwnd();
}

void Win32Shutdown() { win32::Backend().Shutdown(); }

}  // namespace veltrin::ui
