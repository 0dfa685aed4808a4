// GBK <-> UTF-16 (the layer's one conversion), control names and file
// existence.
#include "ui/win32/win32_private.h"

namespace veltrin::ui {

std::wstring GbkToWide(const std::string& text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(936, 0, text.data(), int(text.size()), nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(size_t(n), L'\0');
  MultiByteToWideChar(936, 0, text.data(), int(text.size()), out.data(), n);
  return out;
}

std::string WideToGbk(const std::wstring& text) {
  if (text.empty()) return {};
  int n = WideCharToMultiByte(936, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(size_t(n), '\0');
  WideCharToMultiByte(936, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool Win32FileExists(const std::string& path) {
  std::wstring wide = GbkToWide(path);
  if (wide.empty()) return false;
  DWORD attrs = GetFileAttributesW(wide.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
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
