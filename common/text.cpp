#include "common/text.h"

#include <climits>

#include "port/port.h"

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
  int64_t value = 0;
  if (port::ParseInt(text, INT32_MIN, INT32_MAX, value) != port::IntStatus::Ok) return std::nullopt;
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
  if (dir.empty() || (dir.back() != '\\' && dir.back() != '/')) dir += port::kPathSeparator;
  dir.append(name);
  return dir;
}

std::string AppDirFile(std::string_view name) {
  // The plug-in's paths are GBK whatever the system's code page.
  std::string exe;
  if (!port::PathToGbk(port::ProgramFolder(), exe)) exe.clear();
  return DirFileOf(exe, name);
}

std::string LibraryDirFile(std::string_view name) {
  std::string dir;
  if (!port::PathToGbk(port::ModuleFolder(), dir)) dir.clear();
  return DirFileOf(dir, name);
}

}  // namespace veltrin
