// The parse and compile step of TProGradeFilter: condition lines to score
// tables, score tables to code-to-score lookups.
#include <optional>

#include "common/text.h"
#include "common/texts.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

TCompiledCondition CompileCondition(const TFilterCodeGrade& condition) {
  TCompiledCondition c;
  c.Lower = condition.Lower;
  c.Upper = condition.Upper;
  if (condition.Mode != kModeStraight) return c;  // no codes: every bet scores 0
  for (unsigned code = 0; code < 100; ++code) {
    for (const TCodeGradeItem& item : condition.Table) {
      if (item.Has(code)) {
        c.Score[code] = item.Score;
        break;
      }
    }
  }
  return c;
}

int32_t TProGradeFilter::ParseSelectMode(std::string_view mode) {
  if (mode == kTxtModeStraight) return kModeStraight;
  if (mode == kTxtModeGroup) return kModeGroup;
  return kModeUnknown;
}

bool TProGradeFilter::BetToCodes(std::string_view bet, int32_t mode, std::vector<uint8_t>& codes) {
  if (mode != kModeStraight) return true;
  std::vector<uint8_t> fresh;
  if (!DecodeBet(bet, fresh)) return false;
  codes.swap(fresh);
  return true;
}

bool TProGradeFilter::ParseGradeTable(std::string_view text, TArrCodeGrade& table) {
  table.clear();
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) return true;
  const std::string groups = ReplaceChar(text, ',', '\n');
  bool ok = true;
  SplitLines(groups, [&](std::string_view raw) {
    if (!ok) return;
    TCodeGradeItem& item = table.emplace_back();
    std::string_view group = TrimBlanks(raw);
    if (group.empty()) return;
    std::optional<int32_t> score = IntText(TextBefore(group, '='));
    if (!score) {
      ok = false;
      return;
    }
    item.Score = uint8_t(uint32_t(*score));  // low 8 bits: 300 is 44, -1 is 255
    std::string_view codes = TextAfter(group, '=');
    const size_t count = (codes.size() + 1) / 3;
    for (size_t k = 0; k < count; ++k) {
      std::optional<int32_t> code = IntText(codes.substr(3 * k, 2));
      if (!code) {
        ok = false;
        return;
      }
      if (*code >= 0 && *code <= 103) item.Add(unsigned(*code));
    }
  });
  return ok;
}

int64_t TProGradeFilter::ScoreCodes(const std::vector<uint8_t>& codes, const TArrCodeGrade& table) {
  int64_t sum = 0;
  for (uint8_t code : codes) {
    for (const TCodeGradeItem& item : table) {
      if (item.Has(code)) {
        sum += item.Score;
        break;
      }
    }
  }
  return sum;
}

bool TProGradeFilter::ParseCondition(std::string_view line, TFilterCodeGrade& out) {
  out = TFilterCodeGrade();
  out.Mode = ParseSelectMode(TextBefore(line, ':'));
  std::string_view rest = TextAfter(line, ':');
  if (!ParseGradeTable(TextBefore(rest, ':'), out.Table)) return false;
  std::string_view range = TextAfter(rest, ':');
  std::optional<int32_t> lower = IntText(TextBefore(range, '-'));
  std::optional<int32_t> upper = IntText(TextAfter(range, '-'));
  if (!lower || !upper) return false;
  out.Lower = *lower;
  out.Upper = *upper;
  return true;
}

bool TProGradeFilter::ScoreBet(std::string_view bet, const TFilterCodeGrade& condition,
                               int64_t& score) {
  std::vector<uint8_t> codes;
  if (!DecodeBet(bet, codes)) return false;
  if (condition.Mode != kModeStraight) codes.clear();
  score = ScoreCodes(codes, condition.Table);
  return true;
}

bool VELTRIN_API TProGradeFilter::Prepare() noexcept {
  try {
    TFraming framing;
    std::vector<TCompiledCondition> compiled;
    TFilterCodeGrade parsed;
    // Lines are kept only once they parse: a malformed text costs no more
    // than its lines up to the first bad one.
    if (!FrameConditionLines(FilterStr, framing, [&](std::string_view line) {
          if (!ParseCondition(line, parsed)) return false;
          compiled.push_back(CompileCondition(parsed));
          framing.Lines.emplace_back(line);
          return true;
        }))
      return false;
    // Lines, tolerance and tables change together, or not at all.
    std::vector<TConditionBlock> blocks = BuildBlocks(compiled);
    ApplyFraming(std::move(framing));
    conditions_.swap(compiled);
    blocks_.swap(blocks);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace veltrin
