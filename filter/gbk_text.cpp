#include "filter/gbk_text.h"

#include <algorithm>

namespace veltrin {

size_t GbkCharLength(std::string_view s, size_t i) {
  const unsigned char b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) return 1;
  if (b == 0x80 || b == 0xFF || i + 1 >= s.size()) return 0;
  const unsigned char t = static_cast<unsigned char>(s[i + 1]);
  return t >= 0x40 && t <= 0xFE && t != 0x7F ? 2 : 0;
}

std::string_view WholeGbkChars(std::string_view field, size_t pos, size_t len) {
  pos = std::min(pos, field.size());
  const size_t stop = std::min(field.size(), pos + len);
  size_t start = 0, i = 0;
  while (i < pos) {
    start = i;
    i += std::max<size_t>(GbkCharLength(field, i), 1);
  }
  if (i == pos) start = pos;  // pos itself starts a character
  size_t end = start;
  while (end < stop || end == start) {
    if (end >= field.size()) break;
    end += std::max<size_t>(GbkCharLength(field, end), 1);
  }
  return field.substr(start, std::max(end, stop) - start);
}

void AppendGbkBytes(std::string& out, std::string_view text,
                    void (*appendByte)(std::string&, char)) {
  static const char kHex[] = "0123456789ABCDEF";
  for (size_t i = 0; i < text.size();) {
    const size_t n = GbkCharLength(text, i);
    if (n == 0) {
      const unsigned char b = static_cast<unsigned char>(text[i++]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
      continue;
    }
    if (appendByte)
      for (size_t k = 0; k < n; ++k) appendByte(out, text[i + k]);
    else
      out.append(text.substr(i, n));
    i += n;
  }
}

std::string_view WithoutUtf8Bom(std::string_view text) {
  return text.substr(0, 3) == "\xEF\xBB\xBF" ? text.substr(3) : text;
}

}  // namespace veltrin
