#include "host/history.h"

#include "common/lottery.h"
#include "port/port.h"

namespace veltrin::host {
namespace {

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ','; }

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

}  // namespace

std::string SkippedText(const DrawHistory& h) {
  if (h.Skipped == 0) return {};
  std::string out = std::to_string(h.Skipped) + " line(s) skipped (";
  for (size_t i = 0; i < h.FirstSkipped.size(); ++i) out += (i ? "; " : "") + h.FirstSkipped[i];
  if (h.Skipped > h.FirstSkipped.size())
    out += "; and " + std::to_string(h.Skipped - h.FirstSkipped.size()) + " more";
  return out + ")";
}

LineKind ReadDrawLine(std::string_view line, std::string& issue, std::string& digits,
                      std::string& why) {
  issue.clear();
  digits.clear();
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  // Kept between calls: reading a bet allocates nothing once it has grown.
  thread_local std::vector<std::string_view> fields;
  fields.clear();
  bool nul = false;
  size_t pos = 0;
  while (pos < line.size()) {
    while (pos < line.size() && IsSeparator(line[pos])) ++pos;
    size_t end = pos;
    for (; end < line.size() && !IsSeparator(line[end]); ++end) nul |= line[end] == '\0';
    if (end > pos) fields.push_back(line.substr(pos, end - pos));
    pos = end;
  }
  if (fields.empty() || fields.front().front() == '#') return LineKind::Blank;
  // A NUL byte (a UTF-16 file read as bytes) would cut the bet short where
  // the library reads it: such a line is never a bet.
  if (nul) {
    why = "holds a NUL byte (is the file UTF-16?)";
    return LineKind::Malformed;
  }
  if (fields.size() == 1) {
    digits.assign(fields[0]);
    return LineKind::Draw;
  }
  // An issue number and the digits, or digits standing apart with or
  // without an issue number before them.
  if (fields.size() == 2 && fields[1].size() > 1) {
    issue.assign(fields[0]);
    digits.assign(fields[1]);
    return LineKind::Draw;
  }
  const size_t first = fields[0].size() == 1 ? 0 : 1;
  for (size_t i = first; i < fields.size(); ++i) {
    if (fields[i].size() != 1) {
      why = "cannot tell the digits: expected digits, or an issue number and digits";
      return LineKind::Malformed;
    }
  }
  if (first == 1) issue.assign(fields[0]);
  for (size_t i = first; i < fields.size(); ++i) digits.append(fields[i]);
  return LineKind::Draw;
}

bool ParseHistory(std::string_view text, int32_t digitCount, DrawHistory& out, std::string& error,
                  int32_t maxDigits) {
  out = DrawHistory{};
  out.DigitCount = digitCount;
  text = WithoutBom(text);
  size_t lineNo = 0;
  size_t pos = 0;
  std::string issue, digits, why;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    const LineKind kind = ReadDrawLine(line, issue, digits, why);
    if (kind == LineKind::Blank) continue;
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (kind == LineKind::Malformed) {
      error = where + why;
      return false;
    }
    if (!AllDigits(digits)) {
      error = where + "the draw '" + digits + "' holds a character other than 0-9";
      return false;
    }
    if (out.DigitCount == 0 && digits.size() <= size_t(maxDigits))
      out.DigitCount = int32_t(digits.size());
    if (digits.size() != size_t(out.DigitCount)) {
      // Counted and named, never taken: a draw of another lottery (or a
      // line that is no draw at all) must not shape any answer.
      if (out.FirstSkipped.size() < kNamedLines)
        out.FirstSkipped.push_back(
            where + std::to_string(digits.size()) + " digits, not " +
            (out.DigitCount ? std::to_string(out.DigitCount) : "1-" + std::to_string(maxDigits)));
      ++out.Skipped;
      continue;
    }
    out.Draws.push_back(Draw{issue, digits});
  }
  if (out.Draws.empty()) {
    error = out.Skipped ? "no draws of " +
                              (out.DigitCount ? std::to_string(out.DigitCount)
                                              : "1-" + std::to_string(maxDigits)) +
                              " digits: " + SkippedText(out)
                        : "no draws";
    return false;
  }
  return true;
}

bool LoadHistory(const std::string& path, int32_t digitCount, DrawHistory& out, std::string& error,
                 int32_t maxDigits) {
  std::string text;
  if (!port::ReadFile(path, text, error)) return false;
  DecodeInput(text);
  if (!ParseHistory(text, digitCount, out, error, maxDigits)) {
    error = path + ": " + error;
    return false;
  }
  return true;
}

std::array<int64_t, 100> CodeCounts(const DrawHistory& history) {
  std::array<int64_t, 100> counts{};
  for (const Draw& draw : history.Draws) {
    const std::string& d = draw.Digits;
    for (size_t i = 0; i + 1 < d.size(); ++i)
      ++counts[PairCode(unsigned(d[i] - '0'), unsigned(d[i + 1] - '0'))];
  }
  return counts;
}

std::string PairScoreTableText(const DrawHistory& history) {
  const std::array<int64_t, 100> counts = CodeCounts(history);
  int64_t most = 0;
  for (int64_t c : counts) most = c > most ? c : most;
  std::array<int, 100> score{};
  for (size_t code = 0; code < 100; ++code)
    score[code] = most == 0 ? 0 : int((counts[code] * 100 + most / 2) / most);

  std::string text;
  text.reserve(100 * 3 + 101 * 5);
  for (int s = 0; s <= 100; ++s) {
    if (s > 0) text += ',';
    text += std::to_string(s);
    text += '=';
    bool first = true;
    for (int code = 0; code < 100; ++code) {
      if (score[size_t(code)] != s) continue;
      if (!first) text += ' ';
      first = false;
      text += char('0' + code / 10);
      text += char('0' + code % 10);
    }
  }
  return text;
}

}  // namespace veltrin::host
