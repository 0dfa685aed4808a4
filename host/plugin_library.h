// Loads the library by path, as a host does, and resolves its exports.
#pragma once

#include <string>

#include "plugin/loader.h"

namespace veltrin::host {

// One typed pointer per export; the optional ones are null when the library
// does not offer them.
using PluginExports = TExportTable;

class PluginLibrary {
 public:
  PluginLibrary() = default;
  ~PluginLibrary() { Unload(); }
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  // Loads the library at `path` (UTF-8) and resolves its exports; false
  // with `error` set when it cannot be loaded or a required export is
  // missing.
  bool Load(const std::string& path, std::string& error);
  // Unloads it; the library then destroys its filter object.
  void Unload();
  bool Loaded() const { return library_.IsOpen(); }
  const PluginExports& Exports() const { return exports_; }
  // A symbol by name, for checks beyond the exports (null if absent).
  void* Symbol(const char* name) const { return library_.Symbol(name); }

 private:
  TLibrary library_;
  PluginExports exports_;
};

// The library's path beside the running executable.
std::string DefaultLibraryPath();

}  // namespace veltrin::host
