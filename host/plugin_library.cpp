#include "host/plugin_library.h"

#include "host/files.h"

namespace veltrin::host {

bool PluginLibrary::Load(const std::string& path, std::string& error) {
  Unload();
  if (!library_.Open(path, error)) return false;
  const std::string missing = exports_.Resolve(library_);
  if (!missing.empty()) {
    error = path + " is not a filter library: missing " + missing;
    Unload();
    return false;
  }
  return true;
}

void PluginLibrary::Unload() {
  library_.Close();
  exports_ = PluginExports{};
}

std::string DefaultLibraryPath() { return JoinPath(ExecutableDir(), kLibraryFileName); }

}  // namespace veltrin::host
