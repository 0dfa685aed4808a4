// Loading the library as a host does: opened by path at run time, every
// export resolved by name from the export list into a typed pointer, no
// link-time tie. The reference host, the tests and the benchmarks all load
// it through here; what differs between Windows and POSIX stays in
// loader.cpp.
#pragma once

#include <string>

#include "plugin/exports.h"

namespace veltrin {

// A shared library opened by path (LoadLibrary, dlopen), closed when the
// holder goes. Closing it runs the library's unload.
class TLibrary {
 public:
  TLibrary() = default;
  ~TLibrary() { Close(); }
  TLibrary(const TLibrary&) = delete;
  TLibrary& operator=(const TLibrary&) = delete;

  // Opens the library at `path` (UTF-8), closing any held before; false
  // with `error` set to "cannot load <path>: <the system's reason>".
  bool Open(const std::string& path, std::string& error);
  void Close() noexcept;
  bool IsOpen() const { return handle_ != nullptr; }
  // The address of an exported symbol; null when it is absent or nothing
  // is open.
  void* Symbol(const char* name) const;

 private:
  void* handle_ = nullptr;
};

// One typed pointer per entry of the export list (PFN_<name> <name>).
struct TExportTable {
#define VELTRIN_EXPORT_FIELD(name, kind, bytes, result, params) PFN_##name name = nullptr;
  VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_FIELD)
#undef VELTRIN_EXPORT_FIELD

  // Resolves every export of `library` (null where it is absent); returns
  // the names of the required ones that are missing, ", "-separated, and
  // the empty text when none is.
  std::string Resolve(const TLibrary& library);
  // Whether every required export was found.
  bool Complete() const;
};

// The folder of the running program, with a trailing separator.
std::string ProgramFolder();

}  // namespace veltrin
