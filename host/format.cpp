#include "host/format.h"

#include <cmath>
#include <cstdint>
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

namespace veltrin::host {

std::string Percent(double share, Rounding rounding, int decimals) {
  if (rounding == Rounding::Nearest && decimals == 2) return Percent(share);
  if (decimals < 0) decimals = 0;
  if (decimals > 12) decimals = 12;
  double scale = 1;
  for (int k = 0; k < decimals; ++k) scale *= 10;
  double percent = 100.0 * share;
  if (!(percent >= 0)) percent = 0;  // NaN and negatives: no share
  if (percent > 100) percent = 100;
  const double scaled = percent * scale;
  const double whole = rounding == Rounding::Down ? std::floor(scaled)
                       : rounding == Rounding::Up ? std::ceil(scaled)
                                                  : std::nearbyint(scaled);
  // Integer digits, so that printing cannot round a second time.
  std::string s = std::to_string(static_cast<int64_t>(whole));
  if (decimals > 0) {
    if (s.size() <= size_t(decimals)) s.insert(0, size_t(decimals) + 1 - s.size(), '0');
    s.insert(s.size() - size_t(decimals), ".");
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  return s + "%";
}

std::string PercentBetween(double lo, double hi) {
  // A step of the last decimal at most a tenth of the interval's width, so
  // that rounding outward widens it by a fifth at most.
  const double width = 100.0 * (hi - lo);
  int decimals = 2;
  double step = 0.01;
  while (decimals < 12 && step > width / 10) {
    ++decimals;
    step /= 10;
  }
  return Percent(lo, Rounding::Down, decimals) + " and " + Percent(hi, Rounding::Up, decimals);
}

}  // namespace veltrin::host
