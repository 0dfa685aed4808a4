// The platform layer on Windows. The system's texts are GBK (code page 936)
// whatever the system's code page; names and window texts are UTF-16.
#include <windows.h>
// shellapi.h needs windows.h first.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "port/codec.h"
#include "port/port.h"

namespace veltrin::port {

const char kPathSeparator = '\\';
const char kLineEnd[] = "\r\n";

namespace {

constexpr UINT kGbkCodePage = 936;

std::wstring Wide(std::string_view utf8) {
  const std::u16string u = Utf8ToUtf16(utf8);
  return std::wstring(u.begin(), u.end());
}

std::string FromWide(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::wstring WideGbk(std::string_view gbk) {
  const std::u16string u = GbkToUtf16(gbk);
  return std::wstring(u.begin(), u.end());
}

}  // namespace

namespace detail {

bool DecodeGbk(std::string_view gbk, std::string& utf8) {
  utf8.clear();
  if (gbk.empty()) return true;
  const int n = MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), int(gbk.size()),
                                    nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(kGbkCodePage, MB_ERR_INVALID_CHARS, gbk.data(), int(gbk.size()), wide.data(),
                      n);
  utf8 = FromWide(wide);
  return true;
}

bool EncodeGbk(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  const std::wstring wide = Wide(utf8);
  if (wide.empty()) return true;
  BOOL lost = FALSE;
  const int n = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                    nullptr, &lost);
  if (n <= 0 || lost) return false;
  gbk.assign(size_t(n), '\0');
  WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), gbk.data(), n, nullptr,
                      nullptr);
  return true;
}

}  // namespace detail

bool TerminalIsGbk() { return false; }

bool PathFromGbk(std::string_view gbk, std::string& path) {
  path.clear();
  if (gbk.empty()) return true;
  return detail::DecodeGbk(gbk, path);
}

bool PathToGbk(std::string_view path, std::string& gbk) { return Utf8ToGbk(path, gbk); }

std::FILE* OpenFile(const std::string& path, const char* mode) {
  return _wfopen(Wide(path).c_str(), Wide(mode).c_str());
}

PathKind KindOf(const std::string& path) {
  if (path == "NUL" || path == "nul" || path.rfind("\\\\.\\", 0) == 0) return PathKind::Other;
  const DWORD attr = GetFileAttributesW(Wide(path).c_str());
  if (attr == INVALID_FILE_ATTRIBUTES) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND || err == ERROR_INVALID_NAME ||
        err == ERROR_BAD_NETPATH)
      return PathKind::Missing;
    return PathKind::Other;
  }
  return (attr & FILE_ATTRIBUTE_DIRECTORY) ? PathKind::Folder : PathKind::File;
}

namespace {

bool IdentityOf(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
  // Opening follows links; a folder opens only with backup semantics.
  HANDLE h =
      CreateFileW(Wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  const bool ok = GetFileInformationByHandle(h, &info) != 0;
  CloseHandle(h);
  return ok;
}

std::string WindowsErrorText(DWORD code) {
  wchar_t buf[512] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           code, 0, buf, DWORD(sizeof buf / sizeof buf[0]), nullptr);
  while (n > 0 &&
         (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ' || buf[n - 1] == L'.'))
    --n;
  const std::string text = FromWide(std::wstring_view(buf, n));
  return text.empty() ? "Windows error " + std::to_string(code) : text;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION x{}, y{};
  if (!IdentityOf(a, x) || !IdentityOf(b, y)) return false;
  return x.dwVolumeSerialNumber == y.dwVolumeSerialNumber && x.nFileIndexHigh == y.nFileIndexHigh &&
         x.nFileIndexLow == y.nFileIndexLow;
}

std::string ErrnoText(int err) { return std::strerror(err); }

std::string SystemErrorText(unsigned long code) { return WindowsErrorText(DWORD(code)); }

std::string LastErrorText() {
  const DWORD code = GetLastError();
  return code ? WindowsErrorText(code) : ErrnoText(errno);
}

bool ReplacingFile::Open(const std::string& target, std::string& error) {
  Discard();
  shown_ = target_ = target;
  const PathKind kind = KindOf(target);
  if (kind == PathKind::Folder) {
    error = "cannot create " + target + ": it is a folder";
    return false;
  }
  if (kind == PathKind::Other) {
    f_ = OpenFile(target, "wb");
    if (!f_) error = "cannot open " + target + ": " + ErrnoText(errno);
    return f_ != nullptr;
  }
  const DWORD attr = GetFileAttributesW(Wide(target).c_str());
  if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
    error = "cannot replace " + target + ": the file is read-only";
    return false;
  }
  temp_ = target + ".~vpart" + std::to_string(GetCurrentProcessId());
  f_ = OpenFile(temp_, "wb");
  if (!f_) {
    error = "cannot create a file beside " + target + ": " + ErrnoText(errno);
    temp_.clear();
    return false;
  }
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
  if (ok && !temp_.empty() && _commit(_fileno(f)) != 0) {
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
  if (!MoveFileExW(Wide(temp_).c_str(), Wide(target_).c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = "cannot replace " + shown_ + ": " + WindowsErrorText(GetLastError());
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

void ReplacingFile::Discard() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
  if (!temp_.empty()) DeleteFileW(Wide(temp_).c_str());
  temp_.clear();
}

namespace {
// The full path of `module` (null: the program), growing the buffer as
// long paths need.
std::wstring ModulePath(HMODULE module) {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(module, buf.data(), DWORD(buf.size()));
    if (n == 0) return {};
    if (n < buf.size()) return buf.substr(0, n);
    buf.resize(buf.size() * 2);
  }
}

std::string FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  return FromWide(slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1));
}
}  // namespace

std::string ProgramFolder() { return FolderOf(ModulePath(nullptr)); }

std::string ModuleFolder() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&ModuleFolder), &self))
    return {};
  return FolderOf(ModulePath(self));
}

void* OpenLibrary(const std::string& path, std::string& error) {
  // Dependencies (veltrin_sharemem.dll) are looked up beside the library,
  // which needs the full path.
  std::wstring wide = Wide(path);
  std::wstring full(4096, L'\0');
  const DWORD n = GetFullPathNameW(wide.c_str(), DWORD(full.size()), full.data(), nullptr);
  if (n > 0 && n < full.size()) wide.assign(full.data(), n);
  HMODULE module = LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) error = "cannot load " + path + ": " + SystemErrorText(GetLastError());
  return reinterpret_cast<void*>(module);
}

void* LibrarySymbol(void* library, const char* name) {
  if (!library || !name) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseLibrary(void* library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

std::vector<std::string> Arguments(int, char**) {
  std::vector<std::string> args;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 1; wide && i < n; ++i) args.push_back(FromWide(wide[i]));
  if (wide) LocalFree(wide);
  return args;
}

void UseUtf8Console() { SetConsoleOutputCP(CP_UTF8); }

bool IsTerminal(std::FILE* stream) { return _isatty(_fileno(stream)) != 0; }

void SetBinaryMode(std::FILE* stream) { _setmode(_fileno(stream), _O_BINARY); }

namespace {

volatile std::sig_atomic_t g_signal = 0;

BOOL WINAPI OnConsoleBreak(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
  g_signal = SIGINT;
  return TRUE;
}

extern "C" void OnTerminate(int signal) { g_signal = signal; }

}  // namespace

void CatchInterruptions() {
  SetConsoleCtrlHandler(&OnConsoleBreak, TRUE);
  std::signal(SIGTERM, &OnTerminate);
}

int Interruption() { return int(g_signal); }

bool HasWindows() { return true; }

bool ShowMessage(std::string_view caption, std::string_view text) {
  const std::wstring title = caption.empty() ? std::wstring(L"veltrin-host") : WideGbk(caption);
  // Owned by the dialog that asked, so that it stays modal over it.
  MessageBoxW(GetActiveWindow(), WideGbk(text).c_str(), title.c_str(), MB_OK | MB_ICONINFORMATION);
  return true;
}

namespace {

bool HasCaption(HWND window, const std::wstring& caption) {
  const int n = GetWindowTextLengthW(window);
  if (n != int(caption.size())) return false;
  std::wstring text(size_t(n) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), n + 1)));
  return text == caption;
}

struct WindowSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindInThread(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (!HasCaption(window, *search->caption)) return TRUE;
  search->found = window;
  return FALSE;
}

// A dialog runs modally on this thread and is normally the active window;
// another instance elsewhere is the last resort.
HWND FindWindowByCaption(const std::wstring& caption) {
  HWND active = GetActiveWindow();
  if (active && HasCaption(active, caption)) return active;
  WindowSearch search{&caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindInThread, LPARAM(&search));
  if (search.found) return search.found;
  return FindWindowW(nullptr, caption.c_str());
}

}  // namespace

SendResult SendCopyData(std::string_view caption, const std::string& bytes) {
  // Without a caption any untitled window would match.
  if (caption.empty()) return SendResult::NoWindow;
  HWND window = FindWindowByCaption(WideGbk(caption));
  if (!window) return SendResult::NoWindow;
  COPYDATASTRUCT data{};
  data.cbData = DWORD(bytes.size() + 1);
  data.lpData = const_cast<char*>(bytes.c_str());
  SendMessageW(window, WM_COPYDATA, 0, LPARAM(&data));
  return SendResult::Sent;
}

}  // namespace veltrin::port
