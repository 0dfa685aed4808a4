// GBK <-> UTF-16 for the windows and control names.
#include "port/port.h"
#include "ui/win32/win32_private.h"

namespace veltrin::ui {

// The platform layer's conversion; wchar_t is UTF-16 on Windows.
std::wstring GbkToWide(const std::string& text) {
  const std::u16string wide = port::GbkToUtf16(text);
  return std::wstring(wide.begin(), wide.end());
}

std::string WideToGbk(const std::wstring& text) {
  return port::Utf16ToGbk(std::u16string(text.begin(), text.end()));
}

std::string ControlName(HWND hwnd) {
  HANDLE h = GetPropW(hwnd, win32::kNameProp);
  if (!h) return {};
  wchar_t buf[256] = {};
  UINT n = GlobalGetAtomNameW(ATOM(ULONG_PTR(h)), buf, 256);
  return WideToGbk(std::wstring(buf, n));
}

namespace {
struct TNameSearch {
  const std::string* Name;
  HWND Found;
};

BOOL CALLBACK MatchName(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<TNameSearch*>(lp);
  if (ControlName(hwnd) == *s->Name) {
    s->Found = hwnd;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND FindControlByName(HWND root, const std::string& name) {
  if (root && ControlName(root) == name) return root;
  TNameSearch search{&name, nullptr};
  EnumChildWindows(root, MatchName, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

}  // namespace veltrin::ui
