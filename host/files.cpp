#include "host/files.h"

#include <cerrno>
#include <cstring>

#include "host/encoding.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#endif

namespace veltrin::host {

#if defined(_WIN32)

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Utf8ToWide(path).c_str(), Utf8ToWide(mode).c_str());
}

bool FileExists(const std::string& path) {
  DWORD attr = GetFileAttributesW(Utf8ToWide(path).c_str());
  return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ExecutableDir() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) {
      buf.resize(n);
      break;
    }
    buf.resize(buf.size() * 2);
  }
  size_t slash = buf.find_last_of(L"\\/");
  return WideToUtf8(slash == std::wstring::npos ? std::wstring() : buf.substr(0, slash + 1));
}

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void SetBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

#else

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

bool FileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

std::string ExecutableDir() {
  char buf[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  std::string path(buf, size_t(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }

void SetBinaryMode(std::FILE*) {}

#endif

std::string JoinPath(const std::string& dir, std::string_view name) {
  std::string out = dir;
  if (!out.empty() && out.back() != '/' && out.back() != '\\') {
#if defined(_WIN32)
    out += '\\';
#else
    out += '/';
#endif
  }
  out.append(name);
  return out;
}

std::string LastErrorText() { return std::strerror(errno); }

bool ReadWholeFile(const std::string& path, std::string& content, std::string& error) {
  content.clear();
  std::FILE* f = OpenFile(path, "rb");
  if (!f) {
    error = "cannot open " + path + ": " + LastErrorText();
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  bool failed = std::ferror(f) != 0;
  std::fclose(f);
  if (failed) {
    error = "cannot read " + path;
    return false;
  }
  return true;
}

}  // namespace veltrin::host
