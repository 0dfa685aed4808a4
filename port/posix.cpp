// The platform layer on POSIX systems.
#include <dlfcn.h>
#include <fcntl.h>
#include <iconv.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "port/codec.h"
#include "port/port.h"

namespace veltrin::port {

const char kPathSeparator = '/';
const char kLineEnd[] = "\n";

namespace detail {
namespace {

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts all of `in`; false when any of it does not convert.
  bool Convert(std::string_view in, std::string& out) {
    out.clear();
    if (!ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[256];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      const size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, size_t(dst - buf));
      if (r == size_t(-1) && errno != E2BIG) return false;
    }
    return true;
  }

 private:
  iconv_t cd_;
};

}  // namespace

bool DecodeGbk(std::string_view gbk, std::string& utf8) {
  // Kept: messages decode a character at a time.
  thread_local Iconv decoder("UTF-8", "GBK");
  return decoder.Convert(gbk, utf8);
}

bool EncodeGbk(std::string_view utf8, std::string& gbk) {
  thread_local Iconv encoder("GBK", "UTF-8");
  return encoder.Convert(utf8, gbk);
}

}  // namespace detail

bool TerminalIsGbk() {
  // The character set of the user's locale, without changing the program's.
  const char* vars[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::string locale;
  for (const char* v : vars) {
    const char* value = std::getenv(v);
    if (value && *value) {
      locale = value;
      break;
    }
  }
  for (char& c : locale) c = char(std::toupper(static_cast<unsigned char>(c)));
  const size_t dot = locale.find('.');
  if (dot == std::string::npos) return false;
  const std::string codeset = locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
  return codeset == "GBK" || codeset == "GB2312" || codeset == "GB18030" || codeset == "CP936" ||
         codeset == "EUC-CN" || codeset == "EUCCN";
}

// The bytes are the name.
bool PathFromGbk(std::string_view gbk, std::string& path) {
  path.assign(gbk);
  return true;
}

bool PathToGbk(std::string_view path, std::string& gbk) {
  gbk.assign(path);
  return true;
}

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), mode);
}

PathKind KindOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0)
    return (errno == ENOENT || errno == ENOTDIR) ? PathKind::Missing : PathKind::Other;
  if (S_ISDIR(st.st_mode)) return PathKind::Folder;
  return S_ISREG(st.st_mode) ? PathKind::File : PathKind::Other;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  if (stat(a.c_str(), &x) != 0 || stat(b.c_str(), &y) != 0) return false;
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

std::string ErrnoText(int err) { return std::strerror(err); }

std::string SystemErrorText(unsigned long code) { return ErrnoText(int(code)); }

std::string LastErrorText() { return ErrnoText(errno); }

namespace {

// The file a symbolic link leads to, so that the link itself stays; the
// path as given when it is no link or leads nowhere yet.
std::string FinalPath(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* resolved = realpath(path.c_str(), nullptr);
  if (!resolved) return path;
  std::string out = resolved;
  std::free(resolved);
  return out;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool ReplacingFile::Open(const std::string& target, std::string& error) {
  Discard();
  shown_ = target;
  target_ = FinalPath(target);
  struct stat st;
  const bool exists = stat(target_.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error = "cannot create " + target + ": it is a folder";
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or a pipe: nothing to keep whole, and no folder to write
    // beside it.
    f_ = std::fopen(target_.c_str(), "wb");
    if (!f_) error = "cannot open " + target + ": " + LastErrorText();
    return f_ != nullptr;
  }
  // The rename would replace a read-only file as readily as any other; it
  // is refused as a direct write to it would be.
  if (exists && access(target_.c_str(), W_OK) != 0) {
    error = "cannot replace " + target + ": " + LastErrorText();
    return false;
  }
  std::string pattern = target_ + ".~vpartXXXXXX";
  const int fd = mkstemp(pattern.data());
  if (fd < 0) {
    error = "cannot create a file beside " + target + ": " + LastErrorText();
    return false;
  }
  // mkstemp makes the file private; the result gets the earlier file's
  // permissions, or those of any new file.
  fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());
  f_ = fdopen(fd, "wb");
  if (!f_) {
    error = "cannot create " + pattern + ": " + LastErrorText();
    close(fd);
    unlink(pattern.c_str());
    return false;
  }
  temp_ = pattern;
  return true;
}

bool ReplacingFile::Commit(std::string& error) {
  if (!f_) return true;
  std::FILE* f = f_;
  f_ = nullptr;
  errno = 0;
  // A write that failed earlier leaves the stream's error set even when the
  // flush has nothing left to write.
  bool ok = std::fflush(f) == 0 && !std::ferror(f);
  int err = errno;
  // The data reaches the disk before the name does, so that a crash after
  // the rename cannot leave an empty file behind the name. Some file
  // systems cannot sync at all; the data is written all the same.
  if (ok && !temp_.empty() && fsync(fileno(f)) != 0 && errno != EINVAL && errno != ENOTSUP) {
    ok = false;
    err = errno;
  }
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    error = "cannot write " + shown_ + ": " + (err ? ErrnoText(err) : "write error");
    Discard();
    return false;
  }
  if (temp_.empty()) return true;
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    error = "cannot replace " + shown_ + ": " + LastErrorText();
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  // unlink, not remove: never take away a folder that happens to bear the name.
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

std::string ProgramFolder() {
  char buf[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return {};
  const std::string path(buf, size_t(n));
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ModuleFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<const void*>(&ModuleFolder), &info) || !info.dli_fname) return {};
  std::string path = info.dli_fname;
  // The main program's own name may come back as it was typed (argv[0]).
  if (path.find('/') == std::string::npos) return ProgramFolder();
  if (path[0] != '/') {
    char full[PATH_MAX];
    if (!realpath(path.c_str(), full)) return {};
    path = full;
  }
  return path.substr(0, path.rfind('/') + 1);
}

void* OpenLibrary(const std::string& path, std::string& error) {
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    error = "cannot load " + path + ": " + (why ? why : "unknown error");
  }
  return library;
}

void* LibrarySymbol(void* library, const char* name) {
  return library && name ? dlsym(library, name) : nullptr;
}

void CloseLibrary(void* library) {
  if (library) dlclose(library);
}

std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  return args;
}

void UseUtf8Console() {}

bool IsTerminal(std::FILE* stream) { return isatty(fileno(stream)) != 0; }

void SetBinaryMode(std::FILE*) {}

namespace {

volatile sig_atomic_t g_signal = 0;

extern "C" void OnSignal(int signal) { g_signal = signal; }

}  // namespace

void CatchInterruptions() {
  struct sigaction sa;
  std::memset(&sa, 0, sizeof sa);
  sa.sa_handler = &OnSignal;
  sigemptyset(&sa.sa_mask);
  // No SA_RESTART: a read from a terminal or an open pipe must return.
  sa.sa_flags = 0;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
}

int Interruption() { return int(g_signal); }

bool HasWindows() { return false; }

bool ShowMessage(std::string_view, std::string_view) { return false; }

SendResult SendCopyData(std::string_view, const std::string&) { return SendResult::NoWindowSystem; }

}  // namespace veltrin::port
