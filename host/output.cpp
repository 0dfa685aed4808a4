#include "host/output.h"

#include <cerrno>
#include <csignal>
#include <cstring>

#include "host/files.h"

#if defined(_WIN32)
#include <windows.h>

#include "host/encoding.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#endif

namespace veltrin::host {
namespace {

volatile std::sig_atomic_t g_signal = 0;

std::string ErrnoText(int err) { return std::strerror(err); }

}  // namespace

#if defined(_WIN32)

namespace {

bool IsDeviceName(const std::string& path) {
  std::string lower;
  for (char c : path) lower += char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return lower == "nul" || lower == "con" || lower.rfind("\\\\.\\", 0) == 0;
}

BOOL WINAPI OnConsoleBreak(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  g_signal = SIGINT;
  return TRUE;
}

extern "C" void OnTerminate(int signal) { g_signal = signal; }

bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), 0,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}

}  // namespace

bool OutputFile::Open(const std::string& target, std::string& error) {
  Discard();
  target_ = target;
  if (IsDeviceName(target)) {
    f_ = OpenFile(target, "wb");
    if (!f_) error = "cannot create " + target + ": " + LastErrorText();
    return f_ != nullptr;
  }
  const DWORD attr = GetFileAttributesW(Utf8ToWide(target).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    error = "cannot create " + target + ": it is a folder";
    return false;
  }
  temp_ = target + ".~vpart" + std::to_string(GetCurrentProcessId());
  f_ = OpenFile(temp_, "wb");
  if (!f_) {
    error = "cannot create " + temp_ + ": " + LastErrorText();
    temp_.clear();
    return false;
  }
  return true;
}

bool OutputFile::Commit(std::string& error) {
  if (!f_) return true;
  std::FILE* f = f_;
  f_ = nullptr;
  errno = 0;
  const bool flushed = std::fflush(f) == 0;
  const int flushErr = errno;
  const bool closed = std::fclose(f) == 0;
  if (!flushed || !closed) {
    const int err = flushErr ? flushErr : errno;
    error = "cannot write " + target_ + ": " + (err ? ErrnoText(err) : "write error");
    Discard();
    return false;
  }
  if (temp_.empty()) return true;
  if (!MoveFileExW(Utf8ToWide(temp_).c_str(), Utf8ToWide(target_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = "cannot replace " + target_ + ": " + WindowsErrorText(GetLastError());
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void OutputFile::Discard() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  if (!temp_.empty()) DeleteFileW(Utf8ToWide(temp_).c_str());
  temp_.clear();
}

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x{}, y{};
  if (!IdentityOf(a, x) || !IdentityOf(b, y)) return false;
  return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

void CatchInterruptions() {
  SetConsoleCtrlHandler(&OnConsoleBreak, TRUE);
  std::signal(SIGTERM, &OnTerminate);
}

#else

namespace {

extern "C" void OnSignal(int signal) { g_signal = signal; }

// The file a symbolic link leads to, so that the link itself stays; the
// path as given when it is no link or leads nowhere yet.
std::string FinalPath(const std::string& path) {
  char buf[PATH_MAX];
  struct stat st;
  if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode) && realpath(path.c_str(), buf))
    return buf;
  return path;
}

mode_t NewFileMode() {
  const mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool OutputFile::Open(const std::string& target, std::string& error) {
  Discard();
  target_ = target;
  const std::string final = FinalPath(target);
  struct stat st;
  const bool exists = stat(final.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) {
    error = "cannot create " + target + ": it is a folder";
    return false;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    // A device or a pipe: nothing to keep whole, and no folder to write
    // beside it.
    f_ = std::fopen(final.c_str(), "wb");
    if (!f_) error = "cannot open " + target + ": " + LastErrorText();
    return f_ != nullptr;
  }
  std::string pattern = final + ".~vpartXXXXXX";
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
  target_ = final;
  return true;
}

bool OutputFile::Commit(std::string& error) {
  if (!f_) return true;
  std::FILE* f = f_;
  f_ = nullptr;
  errno = 0;
  bool ok = std::fflush(f) == 0;
  int err = errno;
  // The data reaches the disk before the name does, so that a crash after
  // the rename cannot leave an empty file behind the name.
  if (ok && !temp_.empty() && fsync(fileno(f)) != 0 && errno != EINVAL && errno != ENOTSUP) {
    ok = false;
    err = errno;
  }
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    err = errno;
  }
  if (!ok) {
    error = "cannot write " + target_ + ": " + (err ? ErrnoText(err) : "write error");
    Discard();
    return false;
  }
  if (temp_.empty()) return true;
  if (std::rename(temp_.c_str(), target_.c_str()) != 0) {
    error = "cannot replace " + target_ + ": " + LastErrorText();
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void OutputFile::Discard() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  if (stat(a.c_str(), &x) != 0 || stat(b.c_str(), &y) != 0) return false;
  return x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

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

#endif

int Interruption() { return int(g_signal); }

int InterruptedStatus(int signal) { return 128 + signal; }

std::string SignalName(int signal) {
  if (signal == SIGINT) return "SIGINT";
  if (signal == SIGTERM) return "SIGTERM";
  return "signal " + std::to_string(signal);
}

}  // namespace veltrin::host
