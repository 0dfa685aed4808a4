#include "common/text.h"

#include <climits>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace veltrin {

EConvertError::EConvertError(const std::string& text)
    : std::runtime_error("'" + text + "' is not a valid integer value") {}

std::string_view TextBefore(std::string_view text, char sep) {
  size_t p = text.find(sep);
  return p == std::string_view::npos ? text : text.substr(0, p);
}

std::string_view TextAfter(std::string_view text, char sep) {
  size_t p = text.find(sep);
  return p == std::string_view::npos ? text : text.substr(p + 1);
}

std::optional<int32_t> IntText(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) return std::nullopt;
  int64_t value = 0;
  for (; i < n; ++i) {
    unsigned d = unsigned(static_cast<unsigned char>(text[i])) - '0';
    if (d > 9) return std::nullopt;
    value = value * 10 + d;
    if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return int32_t(value);
}

int32_t IntTextOrThrow(std::string_view text) {
  std::optional<int32_t> v = IntText(text);
  if (!v) throw EConvertError(std::string(text));
  return *v;
}

std::string_view TrimBlanks(std::string_view text) {
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return text.substr(b, e - b);
}

bool IsBlank(std::string_view text) { return TrimBlanks(text).empty(); }

std::string ReplaceChar(std::string_view text, char from, char to) {
  std::string out(text);
  for (char& c : out)
    if (c == from) c = to;
  return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string_view::npos;
       pos = hit + from.size()) {
    out.append(text.substr(pos, hit - pos));
    out.append(to);
  }
  out.append(text.substr(pos));
  return out;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  return a.size() == b.size() && AsciiUpper(a) == AsciiUpper(b);
}

std::string DirFileOf(std::string_view exePath, std::string_view name) {
  size_t cut = exePath.find_last_of("\\/");
  std::string dir(cut == std::string_view::npos ? std::string_view() : exePath.substr(0, cut + 1));
#if defined(_WIN32)
  const char sep = '\\';
#else
  const char sep = '/';
#endif
  if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir += sep;
  dir.append(name);
  return dir;
}

#if defined(_WIN32)
std::wstring GbkToWide(std::string_view gbk) {
  if (gbk.empty()) return {};
  const int n = MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), nullptr, 0);
  std::wstring out(size_t(n > 0 ? n : 0), L'\0');
  if (n > 0) MultiByteToWideChar(kGbkCodePage, 0, gbk.data(), int(gbk.size()), out.data(), n);
  return out;
}

std::string WideToGbk(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), nullptr, 0,
                                    nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  if (n > 0)
    WideCharToMultiByte(kGbkCodePage, 0, wide.data(), int(wide.size()), out.data(), n, nullptr,
                        nullptr);
  return out;
}
#endif

std::string AppDirFile(std::string_view name) {
  std::string exe;
#if defined(_WIN32)
  // Wide, then GBK: the plug-in's paths are GBK whatever the system's code page.
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (n == 0) break;
    if (n < buf.size()) {
      exe = WideToGbk(std::wstring_view(buf.data(), n));
      break;
    }
    buf.resize(buf.size() * 2);
  }
#else
  std::vector<char> buf(4096);
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
  if (n > 0) exe.assign(buf.data(), size_t(n));
#endif
  return DirFileOf(exe, name);
}

}  // namespace veltrin
