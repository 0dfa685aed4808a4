// Text encodings at the host's edges. The library speaks GBK (code page
// 936); terminals and command lines speak UTF-8 (on Windows, UTF-16 turned
// into UTF-8 at start-up).
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"

namespace veltrin::host {

// GBK bytes as UTF-8. Bytes that do not decode are shown as \xNN, so that
// nothing the library says is lost on the way to the terminal.
std::string GbkToUtf8(std::string_view gbk);
// UTF-8 as GBK; false when a character has no GBK form.
bool Utf8ToGbk(std::string_view utf8, std::string& gbk);
// True when the text is well-formed UTF-8.
bool IsUtf8(std::string_view text);
// True when every byte is below 128.
bool IsAscii(std::string_view text);

// A text typed by the user (a condition on the command line) as GBK. When
// the terminal speaks GBK it is taken as it is. Otherwise UTF-8 that GBK can
// hold is converted, and anything else is taken as GBK already (a script's
// bytes): GBK text may well look like UTF-8, so only a successful
// conversion decides.
std::string TypedTextToGbk(std::string_view typed, bool terminalIsGbk);
// Whether the terminal's character set is GBK (or GB2312/GB18030); never on
// Windows, where the host reads its arguments as UTF-16.
bool TerminalIsGbk();

#if defined(_WIN32)
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);
// The system's text for a Windows error code, in UTF-8 ("error N" when it
// has none).
std::string WindowsErrorText(unsigned long code);
// GBK as UTF-16 for window texts: GbkToWide of common/text.h.
#endif

}  // namespace veltrin::host
