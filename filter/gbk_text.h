// GBK (code page 936) at the byte level: where characters start and end, so
// that an excerpt never cuts a character in half and a result never hands
// out a byte that is no part of a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrin {

// The length of the character that starts at s[i]: 1 for ASCII, 2 for a
// lead byte (0x81-0xFE) with its trail byte (0x40-0xFE but 0x7F), 0 for a
// byte that starts no character (a lone lead byte, 0x80, 0xFF).
size_t GbkCharLength(std::string_view s, size_t i);

// The bytes [pos, pos + len) of `field` widened to whole characters,
// counting characters from the start of `field`.
std::string_view WholeGbkChars(std::string_view field, size_t pos, size_t len);

// Appends `text`, writing each byte that is no part of a GBK character as
// "\xHH". Each byte of a whole character goes through `appendByte` when one
// is given (a format that escapes its own separators), else is copied.
void AppendGbkBytes(std::string& out, std::string_view text,
                    void (*appendByte)(std::string&, char) = nullptr);

// A UTF-8 byte order mark at the start of `text`, removed.
std::string_view WithoutUtf8Bom(std::string_view text);

}  // namespace veltrin
