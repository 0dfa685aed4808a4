#include "host/encoding.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace veltrin::host {
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

#if defined(_WIN32)

constexpr UINT kCpGbk = kGbkCodePage;

// One GBK character (1 or 2 bytes) as UTF-8; false when it does not decode.
bool DecodeGbk(const char* p, size_t n, std::string& out) {
  wchar_t wide[2];
  int w = MultiByteToWideChar(kCpGbk, MB_ERR_INVALID_CHARS, p, int(n), wide, 2);
  if (w <= 0) return false;
  char utf8[8];
  int u = WideCharToMultiByte(CP_UTF8, 0, wide, w, utf8, sizeof utf8, nullptr, nullptr);
  if (u <= 0) return false;
  out.append(utf8, size_t(u));
  return true;
}

#else

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  // Converts all of `in`; false when any of it does not convert.
  bool Convert(std::string_view in, std::string& out) {
    out.clear();
    if (!ok()) return false;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    size_t left = in.size();
    char buf[256];
    while (left > 0) {
      char* dst = buf;
      size_t room = sizeof buf;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buf, size_t(dst - buf));
      if (r == size_t(-1) && dst == buf) return false;  // no progress: invalid input
    }
    return true;
  }

 private:
  iconv_t cd_;
};

bool DecodeGbk(const char* p, size_t n, std::string& out) {
  static Iconv decoder("UTF-8", "GBK");
  std::string piece;
  if (!decoder.Convert(std::string_view(p, n), piece)) return false;
  out += piece;
  return true;
}

#endif

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
    int next = i + 1 < gbk.size() ? static_cast<unsigned char>(gbk[i + 1]) : -1;
    size_t n = GbkCharLength(lead, next);
    if (n == 2 && DecodeGbk(gbk.data() + i, 2, out)) {
      i += 2;
    } else {
      AppendEscaped(out, lead);
      ++i;
    }
  }
  return out;
}

bool IsAscii(std::string_view text) {
  for (char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n) {
    const auto c = static_cast<unsigned char>(text[i]);
    size_t len;
    uint32_t cp;
    if (c < 0x80) {
      ++i;
      continue;
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
      return false;
    }
    if (i + len > n) return false;
    for (size_t k = 1; k < len; ++k) {
      const auto t = static_cast<unsigned char>(text[i + k]);
      if ((t & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (t & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF))
      return false;
    i += len;
  }
  return true;
}

#if defined(_WIN32)

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), out.data(), n);
  return out;
}

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  int n =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), out.data(), n, nullptr, nullptr);
  return out;
}

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) {
  gbk.clear();
  if (utf8.empty()) return true;
  if (!IsUtf8(utf8)) return false;
  std::wstring wide = Utf8ToWide(utf8);
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(kCpGbk, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, &lost);
  if (n <= 0 || lost) return false;
  gbk.assign(size_t(n), '\0');
  WideCharToMultiByte(kCpGbk, 0, wide.data(), int(wide.size()), gbk.data(), n, nullptr, nullptr);
  return true;
}

#else

bool Utf8ToGbk(std::string_view utf8, std::string& gbk) {
  Iconv encoder("GBK", "UTF-8");
  return encoder.Convert(utf8, gbk);
}

#endif

std::string TypedTextToGbk(std::string_view typed, bool terminalIsGbk) {
  std::string gbk;
  if (terminalIsGbk || IsAscii(typed) || !IsUtf8(typed) || !Utf8ToGbk(typed, gbk))
    return std::string(typed);
  return gbk;
}

#if defined(_WIN32)
std::string WindowsErrorText(unsigned long code) {
  wchar_t buf[512] = {};
  DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                           DWORD(code), 0, buf, DWORD(sizeof buf / sizeof buf[0]), nullptr);
  while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
  std::string text = WideToUtf8(std::wstring_view(buf, n));
  return text.empty() ? "error " + std::to_string(code) : text;
}
#endif

bool TerminalIsGbk() {
#if defined(_WIN32)
  return false;
#else
  // The character set of the user's locale, without changing the program's.
  const char* vars[] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::string locale;
  for (const char* v : vars) {
    const char* value = std::getenv(v);
    if (value && *value) {
      locale = value;
      break;
    }
  }
  for (char& c : locale) c = char(std::toupper(static_cast<unsigned char>(c)));
  size_t dot = locale.find('.');
  if (dot == std::string::npos) return false;
  std::string codeset = locale.substr(dot + 1, locale.find('@', dot) - dot - 1);
  return codeset == "GBK" || codeset == "GB2312" || codeset == "GB18030" || codeset == "CP936" ||
         codeset == "EUC-CN" || codeset == "EUCCN";
#endif
}

}  // namespace veltrin::host
