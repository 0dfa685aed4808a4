// The one decoding of the host's input files (settings, draw history,
// bets): what their bytes are, and the text every reader then reads.
#pragma once

#include <string>
#include <string_view>

namespace veltrin::host {

enum class InputForm { Plain, Utf16Le, Utf16Be };

// Recognises UTF-16 (what Notepad saves as "Unicode"): by its byte order
// mark, or by NUL bytes in every other place of the first bytes.
InputForm DetectForm(std::string_view head);
// "UTF-16 little-endian text (Notepad's \"Unicode\")" and the like.
std::string FormName(InputForm form);
// Turns a file's bytes into the text the readers read: UTF-16 becomes
// UTF-8, and a UTF-8 byte order mark is removed. The form found is
// returned.
InputForm DecodeInput(std::string& bytes);
// The text without a leading UTF-8 byte order mark.
std::string_view WithoutBom(std::string_view text);

}  // namespace veltrin::host
