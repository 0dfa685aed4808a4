// Text encodings at the host's edges. The library speaks GBK (code page
// 936); terminals and command lines speak UTF-8 (on Windows, UTF-16 turned
// into UTF-8 at start-up). The conversions themselves are the platform
// layer's.
#pragma once

#include <string>
#include <string_view>

#include "port/port.h"

namespace veltrin::host {

using port::GbkToUtf8;
using port::IsAscii;
using port::IsUtf8;
using port::TerminalIsGbk;
using port::Utf8ToGbk;

// A text typed by the user (a condition on the command line) as GBK. When
// the terminal speaks GBK it is taken as it is. Otherwise UTF-8 that GBK can
// hold is converted, and anything else is taken as GBK already (a script's
// bytes): GBK text may well look like UTF-8, so only a successful
// conversion decides.
std::string TypedTextToGbk(std::string_view typed, bool terminalIsGbk);

// UTF-8 as the system's wide text (UTF-16 on Windows), for the system calls
// that take names.
std::wstring Utf8ToWide(std::string_view utf8);
// The system's text for one of its error codes, in UTF-8.
inline std::string WindowsErrorText(unsigned long code) { return port::SystemErrorText(code); }

}  // namespace veltrin::host
