#include "literal.h"

#include <stdexcept>

namespace veltrin::bench {

bool LiteralFilter::Prepare(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    start = end + 2;
  }
  canErr_ = false;
  canErrMin_ = canErrMax_ = 0;
  if (!lines.empty() && TFilter::ParseErrLine(lines.front(), canErr_, canErrMin_, canErrMax_, 'e'))
    lines.erase(lines.begin());
  conditions_.assign(lines.size(), TFilterCodeGrade());
  for (size_t i = 0; i < lines.size(); ++i)
    if (!TProGradeFilter::ParseCondition(lines[i], conditions_[i])) return false;
  return !conditions_.empty();
}

void LiteralFilter::BetToCodes(const std::string& bet, int32_t mode, std::vector<uint8_t>& codes) {
  if (mode != kModeStraight) return;
  codes.resize(bet.size() - 1);
  for (size_t i = 0; i + 1 < bet.size(); ++i) {
    size_t used = 0;
    const int value = std::stoi(bet.substr(i, 2), &used);
    if (used != 2) throw std::invalid_argument("not a digit pair");
    codes[i] = uint8_t(value);
  }
}

int32_t LiteralFilter::CountFailed(const char* bet) const {
  const std::string text(bet);  // the export's copy of the host's text
  std::vector<uint8_t> codes;   // one code list per call, reused by the conditions
  int32_t failed = 0;
  for (const TFilterCodeGrade& c : conditions_) {
    BetToCodes(text, c.Mode, codes);
    // The plain scan over the score groups (first group wins); the engine
    // uses it only for one-off scoring and compiled lookups for runs.
    const int64_t score = TProGradeFilter::ScoreCodes(codes, c.Table);
    if (score < c.Lower || score > c.Upper) ++failed;
  }
  return failed;
}

int32_t LiteralFilter::Execute(const char* bet) const {
  const int32_t failed = CountFailed(bet);
  if (canErr_) return (failed < canErrMin_ || failed > canErrMax_) ? 1 : 0;
  return failed >= 1 ? 1 : 0;
}

}  // namespace veltrin::bench
