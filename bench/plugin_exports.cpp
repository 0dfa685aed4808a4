#include "plugin_exports.h"

namespace veltrin::bench {

const PluginExports* LoadPlugin(std::string& error) {
  // Kept loaded for the whole run: the filter object lives in it.
  static TLibrary library;
  static PluginExports exports;
  static std::string loadError;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const std::string path = ProgramFolder() + kLibraryFileName;
    if (library.Open(path, loadError)) {
      const std::string missing = exports.Resolve(library);
      if (!missing.empty()) {
        loadError = "missing export " + missing;
        exports = PluginExports();
      }
    }
  }
  error = loadError;
  return exports.SzcExecute ? &exports : nullptr;
}

}  // namespace veltrin::bench
