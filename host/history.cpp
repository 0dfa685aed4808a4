#include "host/history.h"

#include "common/lottery.h"
#include "host/files.h"

namespace veltrin::host {
namespace {

bool IsBlankChar(char c) { return c == ' ' || c == '\t'; }

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return !text.empty();
}

}  // namespace

bool ParseHistory(std::string_view text, int32_t digitCount, DrawHistory& out, std::string& error) {
  out = DrawHistory{};
  out.DigitCount = digitCount;
  size_t lineNo = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    size_t b = 0;
    while (b < line.size() && IsBlankChar(line[b])) ++b;
    line.remove_prefix(b);
    while (!line.empty() && IsBlankChar(line.back())) line.remove_suffix(1);
    if (line.empty() || line.front() == '#') continue;

    size_t gap = 0;
    while (gap < line.size() && !IsBlankChar(line[gap])) ++gap;
    std::string_view issue = line.substr(0, gap);
    std::string_view digits = line.substr(gap);
    while (!digits.empty() && IsBlankChar(digits.front())) digits.remove_prefix(1);
    const std::string where = "line " + std::to_string(lineNo) + ": ";
    if (digits.empty()) {
      error = where + "expected an issue number and the drawn digits";
      return false;
    }
    if (!AllDigits(digits)) {
      error = where + "the draw '" + std::string(digits) + "' holds a character other than 0-9";
      return false;
    }
    if (out.DigitCount == 0) out.DigitCount = int32_t(digits.size());
    if (digits.size() != size_t(out.DigitCount)) {
      error = where + "the draw '" + std::string(digits) + "' has " +
              std::to_string(digits.size()) + " digits, expected " + std::to_string(out.DigitCount);
      return false;
    }
    out.Draws.push_back(Draw{std::string(issue), std::string(digits)});
  }
  if (out.Draws.empty()) {
    error = "no draws";
    return false;
  }
  return true;
}

bool LoadHistory(const std::string& path, int32_t digitCount, DrawHistory& out,
                 std::string& error) {
  std::string text;
  if (!ReadWholeFile(path, text, error)) return false;
  if (!ParseHistory(text, digitCount, out, error)) {
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
