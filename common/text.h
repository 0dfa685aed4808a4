// Text helpers shared by the engine and the dialogs. All text is single-byte
// GBK; positions count bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace veltrin {

// Raised where a text that must be an integer is not (the dialogs' code
// texts and score tables); the engine answers such texts with false instead.
class EConvertError : public std::runtime_error {
 public:
  explicit EConvertError(const std::string& text);
};

// The part before the first `sep`; the whole text when `sep` is absent.
std::string_view TextBefore(std::string_view text, char sep);
// The part after the first `sep`; the whole text when `sep` is absent.
std::string_view TextAfter(std::string_view text, char sep);

// Integer text: optional leading blanks, an optional sign, decimal digits and
// nothing after them, within the 32-bit range. Anything else (the empty text
// among it) gives nothing. (port::ParseInt tells the two failures apart.)
std::optional<int32_t> IntText(std::string_view text);
// The same, raising EConvertError for a text that does not convert.
int32_t IntTextOrThrow(std::string_view text);

// The text without the blanks and control characters (bytes up to 32) at
// both ends.
std::string_view TrimBlanks(std::string_view text);
// True when the text is empty or holds only blanks and control characters.
bool IsBlank(std::string_view text);

// Splits at CR, LF or CR LF; the text ends at its end or its first zero
// byte; a break at the very end starts no further line; lines are kept as
// they stand, empty ones included.
template <class Out>
void SplitLines(std::string_view text, Out&& emit) {
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  size_t start = 0;
  const size_t n = text.size();
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      emit(text.substr(start, i - start));
      if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < n) emit(text.substr(start));
}

// Every `from` replaced by `to`.
std::string ReplaceChar(std::string_view text, char from, char to);
// Every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// ASCII-only case folding, as the settings-file and list comparisons need.
std::string AsciiUpper(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// Full path of a file in the directory of the running executable (the host
// program): its directory, "\" (or "/" natively) unless it ends with one,
// then `name` unchanged.
std::string AppDirFile(std::string_view name);
// The same for the folder of this library (the plug-in's own folder, where
// a host that keeps plug-ins apart from itself does not look).
std::string LibraryDirFile(std::string_view name);
// The same, for a given executable path (the testable core of AppDirFile).
std::string DirFileOf(std::string_view exePath, std::string_view name);

}  // namespace veltrin
