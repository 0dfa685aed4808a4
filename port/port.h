// The platform layer: everything that differs between Windows and POSIX
// outside the dialogs, behind one interface (port/posix.cpp and
// port/win32.cpp implement it; CMake builds one of them). The rest of the
// product calls these functions and holds no platform conditionals.
//
// Paths are UTF-8 here. A path that the system's own texts carry (GBK) is
// turned into one with PathFromGbk: on Windows the name is converted, on
// POSIX the bytes are the name and stay as they are.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace veltrin::port {

// ---- Text ------------------------------------------------------------------

// GBK bytes as UTF-8. Bytes that do not decode are shown as \xNN, so that
// nothing is lost on the way to a terminal.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 as GBK; false when a character has no GBK form or the text is not
// UTF-8.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);
// UTF-16 code units as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);
// GBK through UTF-16 (window texts, Windows file names); characters that do
// not convert become U+FFFD one way and '?' the other.
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);
// True when the text is well-formed UTF-8.
bool IsUtf8(std::string_view text);
// True when every byte is below 128.
bool IsAscii(std::string_view text);
// Whether the terminal's character set is GBK (GB2312, GB18030, CP936);
// never on Windows, where arguments and console are UTF-16.
bool TerminalIsGbk();

// ---- Integers --------------------------------------------------------------

enum class IntStatus { Ok, NotInteger, OutOfRange };
// An integer text: optional blanks before it, an optional sign, decimal
// digits and nothing after them. OutOfRange when it is an integer outside
// [lo, hi] (however many digits it has); `out` is set only when Ok.
IntStatus ParseInt(std::string_view text, int64_t lo, int64_t hi, int64_t& out);
// "'abc' is not an integer" / "'99999999999' is out of range [0, 10000]";
// empty for Ok. `what` names the field ("--digits", "the lower bound").
std::string IntProblem(IntStatus status, std::string_view what, std::string_view text, int64_t lo,
                       int64_t hi);

// ---- Files -----------------------------------------------------------------

// The separator of path parts: '\\' on Windows, '/' elsewhere.
extern const char kPathSeparator;
// The line end of the text files the system's own programs write: CR LF on
// Windows (Notepad and the hosts' list readers expect it), LF elsewhere.
extern const char kLineEnd[];
// A GBK path (the system's texts) as a UTF-8 path, and back; false when it
// does not convert.
bool PathFromGbk(std::string_view gbk, std::string& path);
bool PathToGbk(std::string_view path, std::string& gbk);
// `dir` joined with `name`, a separator between them unless `dir` is empty
// or ends with one.
std::string JoinPath(std::string_view dir, std::string_view name);

// fopen with a UTF-8 path (wide on Windows). Modes as fopen's.
std::FILE* OpenFile(const std::string& path, const char* mode);

enum class PathKind { Missing, Folder, File, Other /* device, pipe, ... */ };
PathKind KindOf(const std::string& path);

// The whole file; false with `error` ("cannot open P: reason") set.
bool ReadFile(const std::string& path, std::string& content, std::string& error);

// True when both paths name one existing file (device and inode, or volume
// serial and file index), links followed, whatever the names.
bool SameFile(const std::string& a, const std::string& b);

// A file that is whole or absent. A regular file (existing or new) is
// written under a temporary name beside its target and renamed over it by
// Commit, so that a failed or interrupted write leaves the earlier file as
// it was; a symbolic link stays and its target is replaced. A device or a
// pipe is written directly. A read-only target is refused.
class ReplacingFile {
 public:
  ReplacingFile() = default;
  ~ReplacingFile() { Discard(); }
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // False with `error` ("cannot create P: reason") set.
  bool Open(const std::string& target, std::string& error);
  std::FILE* Stream() const { return f_; }
  // Flushes to the disk and puts the file in place; false with `error`
  // (the system's reason) set, the temporary file then removed.
  bool Commit(std::string& error);
  // Closes and removes the temporary file; the target stays as it was.
  void Discard();

 private:
  std::FILE* f_ = nullptr;
  std::string target_;  // what the rename replaces (a link's target)
  std::string shown_;   // the path as the caller named it, for messages
  std::string temp_;    // empty when writing the target directly
};

// ---- The system ------------------------------------------------------------

// The C library's text for an errno value.
std::string ErrnoText(int err);
// The system's text for an error code of its own (GetLastError's on
// Windows, an errno value elsewhere).
std::string SystemErrorText(unsigned long code);
// The system's text for its last failure: errno on POSIX; on Windows the
// last error when one is set, errno otherwise.
std::string LastErrorText();
// The running program's folder (UTF-8), with a trailing separator; empty
// when the system does not say.
std::string ProgramFolder();
// The folder of the module this code is linked into (the library when it
// is built into one, else the program), UTF-8 with a trailing separator;
// empty when the system does not say.
std::string ModuleFolder();
// The arguments after the program name as UTF-8 (on Windows from the
// UTF-16 command line, so that any character survives the code page).
std::vector<std::string> Arguments(int argc, char** argv);
// Makes a console show the UTF-8 the program writes (Windows); nothing
// elsewhere.
void UseUtf8Console();
// True when the stream is an interactive terminal or console.
bool IsTerminal(std::FILE* stream);
// Binary mode for a standard stream (no CR LF translation on Windows).
void SetBinaryMode(std::FILE* stream);

// Makes SIGINT and SIGTERM (Ctrl-C and Ctrl-Break on Windows) set a flag
// that long loops poll, instead of ending the process mid-write. A blocking
// read they interrupt fails, so that the loops come round to the flag.
void CatchInterruptions();
// The signal number caught, or 0.
int Interruption();
// "SIGINT", "SIGTERM" or "signal N".
std::string SignalName(int signal);

// ---- Shared libraries --------------------------------------------------------

// A shared library's file name ends with this: "veltrin" VELTRIN_LIBRARY_SUFFIX.
#if defined(_WIN32)
#define VELTRIN_LIBRARY_SUFFIX ".dll"
#else
#define VELTRIN_LIBRARY_SUFFIX ".so"
#endif

// Loads the library at `path` (UTF-8); its own dependencies are looked for
// beside it on Windows. Null with `error` ("cannot load P: reason") set.
void* OpenLibrary(const std::string& path, std::string& error);
// The address of an exported name; null when the library has none.
void* LibrarySymbol(void* library, const char* name);
// Unloads a library from OpenLibrary; null is ignored.
void CloseLibrary(void* library);

// ---- Windows of other parts of the process ---------------------------------

// Whether this build has a window system (the dialogs, message boxes).
bool HasWindows();
// Shows a message box owned by the active window; caption and text GBK.
// False where there are no windows.
bool ShowMessage(std::string_view caption, std::string_view text);
enum class SendResult { Sent, NoWindow, NoWindowSystem };
// Sends `bytes` and a zero byte to the window captioned `caption` (GBK) as
// a copy-data message: the calling thread's active window first, then its
// other windows, then any top-level window.
SendResult SendCopyData(std::string_view caption, const std::string& bytes);

}  // namespace veltrin::port
