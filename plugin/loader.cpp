#include "plugin/loader.h"

#include "port/port.h"

namespace veltrin {

bool TLibrary::Open(const std::string& path, std::string& error) {
  Close();
  handle_ = port::OpenLibrary(path, error);
  return handle_ != nullptr;
}

void TLibrary::Close() noexcept {
  port::CloseLibrary(handle_);
  handle_ = nullptr;
}

void* TLibrary::Symbol(const char* name) const { return port::LibrarySymbol(handle_, name); }

std::string TExportTable::Resolve(const TLibrary& library) {
  std::string missing;
#define VELTRIN_EXPORT_RESOLVE(name, kind, bytes, result, params) \
  name = reinterpret_cast<PFN_##name>(library.Symbol(#name));     \
  if (!name && TExportKind::kind == TExportKind::Required) {      \
    if (!missing.empty()) missing += ", ";                        \
    missing += #name;                                             \
  }
  VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_RESOLVE)
#undef VELTRIN_EXPORT_RESOLVE
  return missing;
}

bool TExportTable::Complete() const {
  bool complete = true;
#define VELTRIN_EXPORT_PRESENT(name, kind, bytes, result, params) \
  if (TExportKind::kind == TExportKind::Required && !name) complete = false;
  VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_PRESENT)
#undef VELTRIN_EXPORT_PRESENT
  return complete;
}

std::string ProgramFolder() {
  // Hosts join names to it: the current folder when the system does not say.
  const std::string folder = port::ProgramFolder();
  return folder.empty() ? std::string(".") + port::kPathSeparator : folder;
}

}  // namespace veltrin
