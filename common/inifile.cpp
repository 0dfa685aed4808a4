#include "common/inifile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "common/text.h"

#if defined(_WIN32)
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace veltrin {
namespace {

// Appended to the target's name for the copy that is written first and then
// renamed over the target; it stays in the same folder so that the rename
// never crosses a volume.
constexpr char kTempSuffix[] = ".~vsave";

std::string ErrnoText(int err) { return std::strerror(err); }

#if defined(_WIN32)

// File names are GBK like every other text of the system; they are widened
// with code page 936 whatever the system's code page, as the dialogs do.
std::wstring WidePath(const std::string& path) { return GbkToWide(path); }

// The number only: the system's own wording comes in the system's code page,
// not in GBK.
std::string LastErrorText() { return "Windows error " + std::to_string(GetLastError()); }

enum class PathKind { Missing, Directory, Other };

PathKind KindOf(const std::string& path) {
  DWORD attr = GetFileAttributesW(WidePath(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) {
    DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME ||
        err == ERROR_BAD_NETPATH)
      return PathKind::Missing;
    return PathKind::Other;  // exists as far as we can tell; opening reports why not
  }
  return (attr & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Directory : PathKind::Other;
}

std::FILE* OpenFile(const std::string& path, const wchar_t* mode) {
  return _wfopen(WidePath(path).c_str(), mode);
}

bool FlushToDisk(std::FILE* f) { return _commit(_fileno(f)) == 0; }

void CopyMode(const std::string&, const std::string&) {}

bool ReplaceFile(const std::string& from, const std::string& to, std::string& why) {
  if (MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  why = LastErrorText();
  return false;
}

void RemoveFile(const std::string& path) { DeleteFileW(WidePath(path).c_str()); }

std::string SaveTarget(const std::string& path) { return path; }

// The rename would replace a read-only file as readily as any other; such a
// file is refused as a direct write to it would be.
bool MayReplace(const std::string& path, std::string& why) {
  DWORD attr = GetFileAttributesW(WidePath(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES || !(attr & FILE_ATTRIBUTE_READONLY)) return true;
  why = "the file is read-only";
  return false;
}

#else

enum class PathKind { Missing, Directory, Other };

PathKind KindOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0)
    return (errno == ENOENT || errno == ENOTDIR) ? PathKind::Missing : PathKind::Other;
  return S_ISDIR(st.st_mode) ? PathKind::Directory : PathKind::Other;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

// Some file systems cannot sync at all; the data is written all the same.
bool FlushToDisk(std::FILE* f) {
  return fsync(fileno(f)) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// The replacement keeps the permissions of the file it replaces.
void CopyMode(const std::string& from, const std::string& to) {
  struct stat st;
  if (stat(from.c_str(), &st) == 0) chmod(to.c_str(), st.st_mode & 07777);
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string& why) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  why = ErrnoText(errno);
  return false;
}

// unlink, not remove: never take away a directory that happens to bear the name.
void RemoveFile(const std::string& path) { unlink(path.c_str()); }

// A file kept behind a symbolic link is replaced where the link leads, so
// that the link stays and whoever follows it sees the new settings.
std::string SaveTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string target = resolved;
  free(resolved);
  return target;
}

// The rename would replace a read-only file as readily as any other; such a
// file is refused as a direct write to it would be.
bool MayReplace(const std::string& path, std::string& why) {
  if (access(path.c_str(), F_OK) != 0 || access(path.c_str(), W_OK) == 0) return true;
  why = ErrnoText(errno);
  return false;
}

#endif

#if defined(_WIN32)
#define VELTRIN_MODE(m) L##m
#else
#define VELTRIN_MODE(m) m
#endif

std::string HeaderFor(std::string_view section) {
  std::string h;
  h.reserve(section.size() + 2);
  h += '[';
  h.append(section);
  h += ']';
  return h;
}

bool IsEntry(const std::string& line, std::string_view ident) {
  return line.size() > ident.size() && line[ident.size()] == '=' &&
         std::string_view(line).substr(0, ident.size()) == ident;
}

[[noreturn]] void SaveFailed(const std::string& target, const std::string& temp,
                             const std::string& why) {
  RemoveFile(temp);
  throw std::runtime_error("Cannot save settings file '" + target + "': " + why);
}

bool EndsBody(const std::string& line) { return line.empty() || line[0] == '['; }

// Index of the first header for `section`, or lines.size().
size_t FindHeader(const std::vector<std::string>& lines, std::string_view section) {
  const std::string wanted = AsciiUpper(HeaderFor(section));
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].size() == wanted.size() && AsciiUpper(lines[i]) == wanted) return i;
  return lines.size();
}

}  // namespace

TExtIniFile::TExtIniFile(std::string fileName, bool autoSave)
    : fileName_(std::move(fileName)), autoSave_(autoSave) {
  PathKind kind = KindOf(fileName_);
  if (kind == PathKind::Missing) return;
  if (kind == PathKind::Directory)
    throw std::runtime_error("Cannot read settings file '" + fileName_ + "': it is a directory");

  std::FILE* f = OpenFile(fileName_, VELTRIN_MODE("rb"));
  if (!f) {
    int err = errno;
    throw std::runtime_error("Cannot open settings file '" + fileName_ + "': " + ErrnoText(err));
  }
  // Read to the end rather than trusting a size taken beforehand: the file
  // may be growing or not report one.
  std::string data;
  char buf[65536];
  size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, got);
  bool failed = std::ferror(f) != 0;
  int err = errno;
  std::fclose(f);
  if (failed)
    throw std::runtime_error("Cannot read settings file '" + fileName_ + "': " + ErrnoText(err));

  SplitLines(data, [this](std::string_view line) { lines_.emplace_back(line); });
}

std::string TExtIniFile::ReadString(std::string_view section, std::string_view ident,
                                    std::string_view def) const {
  size_t h = FindHeader(lines_, section);
  if (h == lines_.size()) return std::string(def);
  for (size_t i = h + 1; i < lines_.size() && !EndsBody(lines_[i]); ++i)
    if (IsEntry(lines_[i], ident)) return lines_[i].substr(ident.size() + 1);
  return std::string(def);
}

void TExtIniFile::WriteString(std::string_view section, std::string_view ident,
                              std::string_view value) {
  std::string line;
  line.reserve(ident.size() + 1 + value.size());
  line.append(ident);
  line += '=';
  line.append(value);

  size_t h = FindHeader(lines_, section);
  if (h == lines_.size()) {
    // New sections follow the last line directly, named as the caller spells them.
    lines_.push_back(HeaderFor(section));
    lines_.push_back(std::move(line));
  } else {
    // A new key closes the body: it goes before the empty line or next header.
    size_t i = h + 1;
    bool replaced = false;
    for (; i < lines_.size() && !EndsBody(lines_[i]); ++i) {
      if (IsEntry(lines_[i], ident)) {
        lines_[i] = std::move(line);
        replaced = true;
        break;
      }
    }
    if (!replaced) lines_.insert(lines_.begin() + std::ptrdiff_t(i), std::move(line));
  }
  if (autoSave_) Save();
}

void TExtIniFile::Save() const {
  // Written beside the target and renamed over it, so that a failure at any
  // point leaves the old file whole.
  const std::string target = SaveTarget(fileName_);
  const std::string temp = target + kTempSuffix;
  std::string why;
  if (!MayReplace(target, why))
    throw std::runtime_error("Cannot save settings file '" + fileName_ + "': " + why);
  std::FILE* f = OpenFile(temp, VELTRIN_MODE("wb"));
  if (!f) SaveFailed(fileName_, temp, ErrnoText(errno));
  bool ok = true;
  for (const std::string& line : lines_) {
    if (std::fwrite(line.data(), 1, line.size(), f) != line.size() ||
        std::fwrite("\r\n", 1, 2, f) != 2) {
      ok = false;
      break;
    }
  }
  if (ok && std::fflush(f) != 0) ok = false;
  if (ok && !FlushToDisk(f)) ok = false;
  int err = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) SaveFailed(fileName_, temp, ErrnoText(err));

  CopyMode(target, temp);
  if (!ReplaceFile(temp, target, why)) SaveFailed(fileName_, temp, why);
}

}  // namespace veltrin
