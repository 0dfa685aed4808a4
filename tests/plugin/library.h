// Loads the built library by path from the test binary's own folder and
// resolves its exports by name, exactly as a host does (plugin/loader.h):
// no link-time tie to the library, every call through a VELTRIN_API
// (__stdcall) pointer.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "plugin/loader.h"

namespace veltrin::test {

// The folder of the running test binary, with a trailing separator.
inline std::string TestBinaryDir() { return ProgramFolder(); }

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
  explicit LoadedLibrary(const std::string& path) { library_.Open(path, error_); }
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

  bool Loaded() const { return library_.IsOpen(); }
  // Why it did not load.
  const std::string& Error() const { return error_; }
  void Unload() { library_.Close(); }
  void* Symbol(const char* name) const { return library_.Symbol(name); }
  template <class Fn>
  Fn Get(const char* name) const {
    return reinterpret_cast<Fn>(Symbol(name));
  }
  const TLibrary& Library() const { return library_; }

 private:
  TLibrary library_;
  std::string error_;
};

// The exports of one loaded library.
struct Api : TExportTable {
  explicit Api(const LoadedLibrary& lib) { Resolve(lib.Library()); }

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
    ASSERT_TRUE(lib_.Loaded()) << lib_.Error();
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
