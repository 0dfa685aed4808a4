// Loads the library by path, as a host does, and resolves its ten exports.
#pragma once

#include <string>

#include "plugin/exports.h"

namespace veltrin::host {

struct PluginExports {
  PFN_SetIIWrapper SetIIWrapper = nullptr;
  PFN_GetFilterName GetFilterName = nullptr;
  PFN_GetVersion GetVersion = nullptr;
  PFN_GetAuthor GetAuthor = nullptr;
  PFN_GetFilterStr GetFilterStr = nullptr;
  PFN_SetFilterStr SetFilterStr = nullptr;
  PFN_SzcPrepare SzcPrepare = nullptr;
  PFN_SzcExecute SzcExecute = nullptr;
  PFN_SzcFltDebug SzcFltDebug = nullptr;
  PFN_SzcOpen SzcOpen = nullptr;
  // Optional: null when the library does not offer it.
  PFN_VeltrinCreateFilter VeltrinCreateFilter = nullptr;
  PFN_VeltrinExplain VeltrinExplain = nullptr;
};

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary() { Unload(); }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library at `path` (UTF-8) and resolves all ten exports; false
  // with `error` set when it cannot be loaded or an export is missing.
  bool Load(const std::string& path, std::string& error);
  // Unloads it; the library then destroys its filter object.
  void Unload();
  bool Loaded() const { return handle_ != nullptr; }
  const PluginExports& Exports() const { return exports_; }
  // A symbol by name, for checks beyond the ten exports (null if absent).
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
  PluginExports exports_;
};

// The library's path beside the running executable.
std::string DefaultLibraryPath();

}  // namespace veltrin::host
