#include "forms/file_access.h"

#include "port/port.h"
#include "ui/services.h"

namespace veltrin {

std::FILE* OpenPath(const std::string& path, bool write) {
  // Windows opens the path through its UTF-16 form whatever the system's
  // code page is.
  std::string native;
  if (!port::PathFromGbk(path, native)) return nullptr;
  return port::OpenFile(native, write ? "wb" : "rb");
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  if (!ui::FileExists(path)) return std::nullopt;
  std::FILE* f = OpenPath(path, false);
  if (!f) return std::nullopt;
  std::string data;
  char buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, got);
  const bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) return std::nullopt;
  return data;
}

bool WriteWholeFile(const std::string& path, const std::string& data) {
  std::FILE* f = OpenPath(path, true);
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  if (std::fclose(f) != 0) ok = false;
  return ok;
}

}  // namespace veltrin
