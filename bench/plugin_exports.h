// The plug-in library loaded from beside the benchmark binary, as a host
// loads it, with the exports the benchmarks call.
#pragma once

#include <string>

#include "plugin/loader.h"

namespace veltrin::bench {

using PluginExports = TExportTable;

// Loads the library once per process; null with `error` set when it cannot.
const PluginExports* LoadPlugin(std::string& error);

}  // namespace veltrin::bench
