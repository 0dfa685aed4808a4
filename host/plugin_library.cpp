#include "host/plugin_library.h"

#include "host/encoding.h"
#include "host/files.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace veltrin::host {
namespace {

// Resolves one export into a typed pointer; false when it is missing.
template <class Fn>
bool Resolve(const PluginLibrary& lib, const char* name, Fn& out, std::string& missing) {
  out = reinterpret_cast<Fn>(lib.Symbol(name));
  if (!out) {
    if (!missing.empty()) missing += ", ";
    missing += name;
  }
  return out != nullptr;
}

}  // namespace

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  Unload();
#if defined(_WIN32)
  // Dependencies (veltrin_sharemem.dll) are looked up beside the library,
  // which needs the full path.
  std::wstring wide = Utf8ToWide(path);
  wchar_t full[4096];
  DWORD n = GetFullPathNameW(wide.c_str(), DWORD(sizeof full / sizeof full[0]), full, nullptr);
  if (n > 0 && n < sizeof full / sizeof full[0]) wide.assign(full, n);
  HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    error = "cannot load " + path + ": " + WindowsErrorText(GetLastError());
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
  std::string missing;
  PluginExports& e = exports_;
  Resolve(*this, "SetIIWrapper", e.SetIIWrapper, missing);
  Resolve(*this, "GetFilterName", e.GetFilterName, missing);
  Resolve(*this, "GetVersion", e.GetVersion, missing);
  Resolve(*this, "GetAuthor", e.GetAuthor, missing);
  Resolve(*this, "GetFilterStr", e.GetFilterStr, missing);
  Resolve(*this, "SetFilterStr", e.SetFilterStr, missing);
  Resolve(*this, "SzcPrepare", e.SzcPrepare, missing);
  Resolve(*this, "SzcExecute", e.SzcExecute, missing);
  Resolve(*this, "SzcFltDebug", e.SzcFltDebug, missing);
  Resolve(*this, "SzcOpen", e.SzcOpen, missing);
  if (!missing.empty()) {
    error = path + " is not a filter library: missing " + missing;
    Unload();
    return false;
  }
  e.VeltrinCreateFilter = reinterpret_cast<PFN_VeltrinCreateFilter>(Symbol("VeltrinCreateFilter"));
  e.VeltrinExplain = reinterpret_cast<PFN_VeltrinExplain>(Symbol(kExplainExportName));
  return true;
}

void PluginLibrary::Unload() {
  if (!handle_) return;
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(handle_));
#else
  ::dlclose(handle_);
#endif
  handle_ = nullptr;
  exports_ = PluginExports{};
}

void* PluginLibrary::Symbol(const char* name) const {
  if (!handle_) return nullptr;
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(handle_), name));
#else
  return ::dlsym(handle_, name);
#endif
}

std::string DefaultLibraryPath() { return JoinPath(ExecutableDir(), kLibraryFileName); }

}  // namespace veltrin::host
