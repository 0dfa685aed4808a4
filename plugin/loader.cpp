#include "plugin/loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace veltrin {
namespace {

#if defined(_WIN32)
std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring wide(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const wchar_t* wide, int length) {
  int n = WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
  std::string text(size_t(n > 0 ? n : 0), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, wide, length, text.data(), n, nullptr, nullptr);
  return text;
}

// The system's text for an error code, in UTF-8 without the line break.
std::string SystemErrorText(DWORD code) {
  wchar_t buf[512] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buf, DWORD(sizeof buf / sizeof buf[0]), nullptr);
  while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
  std::string text = Narrow(buf, int(n));
  return text.empty() ? "error " + std::to_string(code) : text;
}
#endif

}  // namespace

bool TLibrary::Open(const std::string& path, std::string& error) {
  Close();
#if defined(_WIN32)
  // Dependencies (veltrin_sharemem.dll) are looked up beside the library,
  // which needs the full path.
  std::wstring wide = Widen(path);
  wchar_t full[4096];
  DWORD n = GetFullPathNameW(wide.c_str(), DWORD(sizeof full / sizeof full[0]), full, nullptr);
  if (n > 0 && n < sizeof full / sizeof full[0]) wide.assign(full, n);
  HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    error = "cannot load " + path + ": " + SystemErrorText(GetLastError());
    return false;
  }
  handle_ = reinterpret_cast<void*>(module);
#else
  handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_) {
    const char* why = ::dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
    return false;
  }
#endif
  return true;
}

void TLibrary::Close() noexcept {
  if (!handle_) return;
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  ::dlclose(handle_);
#endif
  handle_ = nullptr;
}

void* TLibrary::Symbol(const char* name) const {
  if (!handle_ || !name) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
  return ::dlsym(handle_, name);
#endif
}

std::string TExportTable::Resolve(const TLibrary& library) {
  std::string missing;
#define VELTRIN_EXPORT_RESOLVE(name, kind, bytes, result, params) \
  name = reinterpret_cast<PFN_##name>(library.Symbol(#name));     \
  if (!name && TExportKind::kind == TExportKind::Required) {      \
    if (!missing.empty()) missing += ", ";                        \
    missing += #name;                                             \
  }
  VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_RESOLVE)
#undef VELTRIN_EXPORT_RESOLVE
  return missing;
}

bool TExportTable::Complete() const {
  bool complete = true;
#define VELTRIN_EXPORT_PRESENT(name, kind, bytes, result, params) \
  if (TExportKind::kind == TExportKind::Required && !name) complete = false;
  VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_PRESENT)
#undef VELTRIN_EXPORT_PRESENT
  return complete;
}

std::string ProgramFolder() {
#if defined(_WIN32)
  wchar_t buf[4096] = {};
  DWORD n = GetModuleFileNameW(nullptr, buf, DWORD(sizeof buf / sizeof buf[0]));
  std::string path = Narrow(buf, int(n));
  return path.substr(0, path.find_last_of("\\/") + 1);
#else
  char buf[PATH_MAX] = {};
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path(buf, n > 0 ? size_t(n) : 0);
  return path.empty() ? "./" : path.substr(0, path.rfind('/') + 1);
#endif
}

}  // namespace veltrin
