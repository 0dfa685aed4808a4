// Files and paths of the host: the platform layer's, under the names the
// host's files use. Paths are UTF-8 inside the host.
#pragma once

#include <string>
#include <string_view>

#include "port/port.h"

namespace veltrin::host {

using port::IsTerminal;
using port::JoinPath;
using port::LastErrorText;
using port::OpenFile;
using port::SetBinaryMode;

// The folder of the running executable, with a trailing separator.
inline std::string ExecutableDir() { return port::ProgramFolder(); }
// True when anything but a folder exists at `path`.
inline bool FileExists(const std::string& path) {
  const port::PathKind kind = port::KindOf(path);
  return kind == port::PathKind::File || kind == port::PathKind::Other;
}

}  // namespace veltrin::host
