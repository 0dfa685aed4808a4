// Loads the built library by path from the test binary's own folder and
// resolves its exports by name, exactly as a host does: no link-time tie to
// the library, every call through a VELTRIN_API (__stdcall) pointer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "plugin/exports.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace veltrin::test {

// The folder of the running test binary, with a trailing separator.
inline std::string TestBinaryDir() {
#if defined(_WIN32)
  char buf[MAX_PATH * 2] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, DWORD(sizeof buf));
  std::string path(buf, n);
  return path.substr(0, path.find_last_of("\\/") + 1);
#else
  char buf[PATH_MAX] = {};
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  std::string path(buf, n > 0 ? size_t(n) : 0);
  return path.substr(0, path.rfind('/') + 1);
#endif
}

// The reference host built beside the test binary.
inline std::string HostPath() {
#if defined(_WIN32)
  return TestBinaryDir() + "veltrin-host.exe";
#else
  return TestBinaryDir() + "veltrin-host";
#endif
}

class LoadedLibrary {
 public:
  explicit LoadedLibrary(const std::string& path) {
#if defined(_WIN32)
    handle_ = LoadLibraryA(path.c_str());
#else
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  }
  ~LoadedLibrary() { Unload(); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool Loaded() const { return handle_ != nullptr; }
  void Unload() {
    if (!handle_) return;
#if defined(_WIN32)
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
  }
  void* Symbol(const char* name) const {
    if (!handle_) return nullptr;
#if defined(_WIN32)
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return dlsym(handle_, name);
#endif
  }
  template <class Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }

 private:
  void* handle_ = nullptr;
};

// The ten exports of one loaded library.
struct Api {
  PFN_SetIIWrapper SetIIWrapper;
  PFN_GetFilterName GetFilterName;
  PFN_GetVersion GetVersion;
  PFN_GetAuthor GetAuthor;
  PFN_GetFilterStr GetFilterStr;
  PFN_SetFilterStr SetFilterStr;
  PFN_SzcPrepare SzcPrepare;
  PFN_SzcExecute SzcExecute;
  PFN_SzcFltDebug SzcFltDebug;
  PFN_SzcOpen SzcOpen;

  explicit Api(const LoadedLibrary& lib)
      : SetIIWrapper(lib.Get<PFN_SetIIWrapper>("SetIIWrapper")),
        GetFilterName(lib.Get<PFN_GetFilterName>("GetFilterName")),
        GetVersion(lib.Get<PFN_GetVersion>("GetVersion")),
        GetAuthor(lib.Get<PFN_GetAuthor>("GetAuthor")),
        GetFilterStr(lib.Get<PFN_GetFilterStr>("GetFilterStr")),
        SetFilterStr(lib.Get<PFN_SetFilterStr>("SetFilterStr")),
        SzcPrepare(lib.Get<PFN_SzcPrepare>("SzcPrepare")),
        SzcExecute(lib.Get<PFN_SzcExecute>("SzcExecute")),
        SzcFltDebug(lib.Get<PFN_SzcFltDebug>("SzcFltDebug")),
        SzcOpen(lib.Get<PFN_SzcOpen>("SzcOpen")) {}

  bool Complete() const {
    return SetIIWrapper && GetFilterName && GetVersion && GetAuthor && GetFilterStr &&
           SetFilterStr && SzcPrepare && SzcExecute && SzcFltDebug && SzcOpen;
  }
  // Sets and prepares a condition text in one step.
  bool Use(const std::string& text) const {
    SetFilterStr(text.c_str());
    return SzcPrepare();
  }
};

// A freshly loaded library for every test, so that each starts with a new
// filter object and unloading is part of what is tested.
class PluginTest : public ::testing::Test {
 protected:
  PluginTest() : lib_(TestBinaryDir() + kLibraryFileName), api_(lib_) {}
  void SetUp() override {
    ASSERT_TRUE(lib_.Loaded()) << "cannot load " << TestBinaryDir() + kLibraryFileName;
    ASSERT_TRUE(api_.Complete()) << "an export is missing";
  }
  void TearDown() override { lib_.Unload(); }
  const Api& api() const { return api_; }
  LoadedLibrary& library() { return lib_; }

 private:
  LoadedLibrary lib_;
  Api api_;
};

}  // namespace veltrin::test
