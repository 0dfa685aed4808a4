#include "host/format.h"

#include <cstdio>

#include "port/port.h"

namespace veltrin::host {

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string HtmlText(std::string_view utf8) {
  std::string out;
  for (char c : utf8) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string ShownText(std::string_view gbk) {
  std::string out;
  for (char c : port::GbkToUtf8(gbk)) {
    if (static_cast<unsigned char>(c) >= 0x20) {
      out += c;
      continue;
    }
    char buf[8];
    std::snprintf(buf, sizeof buf, "\\x%02X", unsigned(c));
    out += buf;
  }
  return out;
}

std::string Percent(double share) {
  const double percent = 100.0 * share;
  char buf[48];
  if (percent > 0 && percent < 0.005) {
    std::snprintf(buf, sizeof buf, "%.2g%%", percent);
    return buf;
  }
  std::snprintf(buf, sizeof buf, "%.2f", percent);
  std::string s = buf;
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s + "%";
}

}  // namespace veltrin::host
