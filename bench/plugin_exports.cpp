#include "plugin_exports.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace veltrin::bench {
namespace {

std::string ExecutableDir() {
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  const std::string exe(path, size_t(n));
  return exe.substr(0, exe.rfind('/') + 1);
}

template <class Fn>
bool Resolve(void* lib, const char* name, Fn& fn, std::string& error) {
  fn = reinterpret_cast<Fn>(dlsym(lib, name));
  if (!fn) error = std::string("missing export ") + name;
  return fn != nullptr;
}

}  // namespace

const PluginExports* LoadPlugin(std::string& error) {
  static PluginExports exports;
  static std::string loadError;
  static bool tried = false;
  if (!tried) {
    tried = true;
    const std::string path = ExecutableDir() + kLibraryFileName;
    // Kept loaded for the whole run: the filter object lives in it.
    void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) {
      const char* why = dlerror();
      loadError = "cannot load " + path + ": " + (why ? why : "?");
    } else if (!Resolve(lib, "SetFilterStr", exports.SetFilterStr, loadError) ||
               !Resolve(lib, "SzcPrepare", exports.SzcPrepare, loadError) ||
               !Resolve(lib, "SzcExecute", exports.SzcExecute, loadError)) {
      exports = PluginExports();
    }
  }
  error = loadError;
  return exports.SzcExecute ? &exports : nullptr;
}

}  // namespace veltrin::bench
