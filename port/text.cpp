// The platform layer's portable part: what needs no system call.
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "port/codec.h"
#include "port/port.h"

namespace veltrin::port {
namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  char buf[5];
  std::snprintf(buf, sizeof buf, "\\x%02X", byte);
  out += buf;
}

// The length of the GBK character that starts with `lead` and `next`: 1 for
// ASCII, 2 for a valid double-byte pair, 0 when the bytes are no character.
size_t GbkCharLength(unsigned char lead, int next) {
  if (lead < 0x80) return 1;
  if (lead == 0x80 || lead == 0xFF || next < 0) return 0;
  return (next >= 0x40 && next <= 0xFE && next != 0x7F) ? 2 : 0;
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += char(cp);
  } else if (cp < 0x800) {
    out += char(0xC0 | (cp >> 6));
    out += char(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += char(0xE0 | (cp >> 12));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  } else {
    out += char(0xF0 | (cp >> 18));
    out += char(0x80 | ((cp >> 12) & 0x3F));
    out += char(0x80 | ((cp >> 6) & 0x3F));
    out += char(0x80 | (cp & 0x3F));
  }
}

// The UTF-8 character at `i`: its length and code point; 0 when malformed.
size_t Utf8Char(std::string_view text, size_t i, uint32_t& cp) {
  const auto c = static_cast<unsigned char>(text[i]);
  size_t len;
  if (c < 0x80) {
    cp = c;
    return 1;
  } else if (c >= 0xC2 && c <= 0xDF) {
    len = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    len = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF4) {
    len = 4;
    cp = c & 0x07;
  } else {
    return 0;
  }
  if (i + len > text.size()) return 0;
  for (size_t k = 1; k < len; ++k) {
    const auto t = static_cast<unsigned char>(text[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (t & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
  if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
      (cp >= 0xD800 && cp <= 0xDFFF))
    return 0;
  return len;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  size_t i = 0;
  while (i < gbk.size()) {
    const auto lead = static_cast<unsigned char>(gbk[i]);
    if (lead < 0x80) {
      out += char(lead);
      ++i;
      continue;
    }
    const int next = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : -1;
    std::string piece;
    if (GbkCharLength(lead, next) == 2 && detail::DecodeGbk(gbk.substr(i, 2), piece)) {
      out += piece;
      i += 2;
    } else {
      AppendEscaped(out, lead);
      ++i;
    }
  }
  return out;
}

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  if (!IsUtf8(utf8)) return false;
  if (IsAscii(utf8)) {
    gbk.assign(utf8);
    return true;
  }
  return detail::EncodeGbk(utf8, gbk);
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool IsUtf8(std::string_view text) {
  uint32_t cp;
  for (size_t i = 0; i < text.size();) {
    const size_t len = Utf8Char(text, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    uint32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32_t(utf16[++i]) - 0xDC00);
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  uint32_t cp;
  for (size_t i = 0; i < utf8.size();) {
    size_t len = Utf8Char(utf8, i, cp);
    if (len == 0) {
      cp = 0xFFFD;
      len = 1;
    }
    if (cp >= 0x10000) {
      out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
      out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      out += char16_t(cp);
    }
    i += len;
  }
  return out;
}

std::u16string GbkToUtf16(std::string_view gbk) {
  std::string utf8;
  if (detail::DecodeGbk(gbk, utf8)) return Utf8ToUtf16(utf8);
  // Character by character: a byte that starts nothing GBK knows shows as
  // U+FFFD and costs only itself (a window shows no \xNN escapes).
  std::u16string out;
  for (size_t i = 0; i < gbk.size();) {
    const unsigned char c = static_cast<unsigned char>(gbk[i]);
    if (c < 0x80) {
      out += char16_t(c);
      ++i;
      continue;
    }
    if (i + 1 < gbk.size() && detail::DecodeGbk(gbk.substr(i, 2), utf8)) {
      out += Utf8ToUtf16(utf8);
      i += 2;
      continue;
    }
    out += char16_t(0xFFFD);
    ++i;
  }
  return out;
}

std::string Utf16ToGbk(std::u16string_view utf16) {
  const std::string utf8 = Utf16ToUtf8(utf16);
  std::string gbk;
  if (Utf8ToGbk(utf8, gbk)) return gbk;
  // Character by character, so that one that GBK has not costs only itself.
  gbk.clear();
  uint32_t cp;
  for (size_t i = 0; i < utf8.size();) {
    const size_t len = Utf8Char(utf8, i, cp);
    std::string piece;
    gbk += len && detail::EncodeGbk(utf8.substr(i, len), piece) ? piece : std::string("?");
    i += len ? len : 1;
  }
  return gbk;
}

IntStatus ParseInt(std::string_view text, int64_t lo, int64_t hi, int64_t& out) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) return IntStatus::NotInteger;
  // Saturates rather than overflows: a long run of digits is out of range,
  // not "no integer".
  constexpr uint64_t kCap = uint64_t(1) << 62;
  uint64_t magnitude = 0;
  for (; i < n; ++i) {
    const unsigned d = unsigned(static_cast<unsigned char>(text[i])) - '0';
    if (d > 9) return IntStatus::NotInteger;
    magnitude = magnitude >= kCap ? kCap : magnitude * 10 + d;
  }
  const int64_t value = negative ? -int64_t(magnitude) : int64_t(magnitude);
  if (magnitude >= kCap || value < lo || value > hi) return IntStatus::OutOfRange;
  out = value;
  return IntStatus::Ok;
}

std::string IntProblem(IntStatus status, std::string_view what, std::string_view text, int64_t lo,
                       int64_t hi) {
  const std::string head = std::string(what) + " '" + std::string(text) + "'";
  if (status == IntStatus::NotInteger) return head + " is not an integer";
  if (status == IntStatus::OutOfRange)
    return head + " is out of range [" + std::to_string(lo) + ", " + std::to_string(hi) + "]";
  return {};
}

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '/' && out.back() != '\\') out += kPathSeparator;
  out.append(name);
  return out;
}

std::string SignalName(int signal) {
  if (signal == SIGINT) return "SIGINT";
  if (signal == SIGTERM) return "SIGTERM";
  return "signal " + std::to_string(signal);
}

}  // namespace veltrin::port

namespace veltrin::port {

bool ReadFile(const std::string& path, std::string& content, std::string& error) {
  content.clear();
  if (KindOf(path) == PathKind::Folder) {
    error = "cannot read " + path + ": it is a folder";
    return false;
  }
  std::FILE* f = OpenFile(path, "rb");
  if (!f) {
    error = "cannot open " + path + ": " + ErrnoText(errno);
    return false;
  }
  // Read to the end rather than trusting a size taken beforehand: the file
  // may be growing or not report one.
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) content.append(buf, n);
  const bool failed = std::ferror(f) != 0;
  const int err = errno;
  std::fclose(f);
  if (failed) {
    error = "cannot read " + path + ": " + ErrnoText(err);
    return false;
  }
  return true;
}

}  // namespace veltrin::port
