// The parse and compile step of TProGradeFilter: condition lines to score
// tables, score tables to code-to-score lookups.
#include <optional>

#include "common/text.h"
#include "common/texts.h"
#include "filter/insight.h"
#include "filter/insight_texts.h"
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

namespace {

// Records a diagnostic on the line being explained.
void Note(TLineExplanation& ex, TSeverity severity, TField field, TDiagCode code,
          std::string_view text, std::string message) {
  TDiagnostic& d = ex.Diagnostics.emplace_back();
  d.Severity = severity;
  d.Field = field;
  d.Code = code;
  d.Text.assign(text);
  d.Message = std::move(message);
}

std::string TwoDigits(int32_t code) {
  std::string s = std::to_string(code);
  return code >= 0 && code < 10 ? "0" + s : s;
}

bool IsTwoDigits(std::string_view slot) {
  return slot.size() == 2 && slot[0] >= '0' && slot[0] <= '9' && slot[1] >= '0' && slot[1] <= '9';
}

// What a code slot of a group reads as, where it is not what it looks like.
void ExplainCode(TLineExplanation& ex, const TArrCodeGrade& table, std::string_view codes, size_t k,
                 size_t count, int32_t code) {
  const std::string_view slot = codes.substr(3 * k, 2);
  if (code < 0)
    Note(ex, TSeverity::Warning, TField::Table, TDiagCode::CodeOutside, slot,
         FillText(kTxtDiagCodeOutside, {std::to_string(code)}));
  else if (!IsTwoDigits(slot))
    Note(ex, TSeverity::Warning, TField::Table, TDiagCode::CodeNotTwoDigits, slot,
         FillText(kTxtDiagCodeNotTwoDigits, {std::string(slot), TwoDigits(code)}));
  if (k + 1 < count && codes[3 * k + 2] != ' ')
    Note(ex, TSeverity::Warning, TField::Table, TDiagCode::CodeSeparator,
         codes.substr(3 * k + 2, 1),
         FillText(kTxtDiagCodeSeparator, {std::string(codes.substr(3 * k + 2, 1))}));
  if (code < 0 || code > 99) return;
  // The group being read is the last entry; an earlier one that holds the
  // code gives its score.
  for (size_t i = 0; i + 1 < table.size(); ++i) {
    if (table[i].Has(unsigned(code))) {
      const std::string score = std::to_string(table[i].Score);
      Note(ex, TSeverity::Warning, TField::Table, TDiagCode::CodeRepeated, slot,
           FillText(kTxtDiagCodeRepeated, {TwoDigits(code), score, score}));
      break;
    }
  }
}

// ParseGradeTable, recording into `ex` when it is given.
bool ParseTable(std::string_view text, TArrCodeGrade& table, TLineExplanation* ex) {
  table.clear();
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    if (ex)
      Note(*ex, TSeverity::Warning, TField::Table, TDiagCode::TableEmpty, text, kTxtDiagTableEmpty);
    return true;
  }
  const std::string groups = ReplaceChar(text, ',', '\n');
  bool ok = true;
  SplitLines(groups, [&](std::string_view raw) {
    if (!ok) return;
    TCodeGradeItem& item = table.emplace_back();
    std::string_view group = TrimBlanks(raw);
    if (group.empty()) return;
    const std::string_view scoreText = TextBefore(group, '=');
    std::optional<int32_t> score = IntText(scoreText);
    if (!score) {
      if (ex)
        Note(*ex, TSeverity::Invalid, TField::Table, TDiagCode::BadScore, scoreText,
             FillText(kTxtDiagBadScore, {std::string(scoreText)}));
      ok = false;
      return;
    }
    item.Score = uint8_t(uint32_t(*score));  // low 8 bits: 300 is 44, -1 is 255
    if (ex) {
      if (group.find('=') == std::string_view::npos)
        Note(*ex, TSeverity::Warning, TField::Table, TDiagCode::GroupNoEquals, group,
             FillText(kTxtDiagGroupNoEquals, {std::string(group), std::to_string(item.Score)}));
      if (*score < 0 || *score > 255)
        Note(*ex, TSeverity::Warning, TField::Table, TDiagCode::ScoreWraps, scoreText,
             FillText(kTxtDiagScoreWraps, {std::to_string(*score), std::to_string(item.Score)}));
    }
    std::string_view codes = TextAfter(group, '=');
    const size_t count = (codes.size() + 1) / 3;
    for (size_t k = 0; k < count; ++k) {
      std::optional<int32_t> code = IntText(codes.substr(3 * k, 2));
      if (!code) {
        if (ex)
          Note(*ex, TSeverity::Invalid, TField::Table, TDiagCode::BadCode, codes.substr(3 * k, 2),
               FillText(kTxtDiagBadCode, {std::string(codes.substr(3 * k, 2))}));
        ok = false;
        return;
      }
      if (ex) ExplainCode(*ex, table, codes, k, count, *code);
      if (*code >= 0 && *code <= 103) item.Add(unsigned(*code));
    }
    const size_t used = count ? 3 * count - 1 : 0;
    if (ex && codes.size() > used) {
      const std::string_view left = codes.substr(used);
      Note(*ex, TSeverity::Warning, TField::Table, TDiagCode::CodeLeftover, left,
           FillText(kTxtDiagCodeLeftover, {std::string(left)}));
    }
  });
  return ok;
}

// ParseCondition, recording into `ex` when it is given.
bool ParseLine(std::string_view line, TFilterCodeGrade& out, TLineExplanation* ex) {
  out = TFilterCodeGrade();
  const std::string_view modeText = TextBefore(line, ':');
  out.Mode = TProGradeFilter::ParseSelectMode(modeText);
  if (ex) {
    if (out.Mode == kModeGroup)
      Note(*ex, TSeverity::Warning, TField::Mode, TDiagCode::ModeGroup, modeText,
           kTxtDiagModeGroup);
    else if (out.Mode == kModeUnknown && TrimBlanks(modeText) == kTxtModeStraight)
      Note(*ex, TSeverity::Warning, TField::Mode, TDiagCode::ModeBlanks, modeText,
           FillText(kTxtDiagModeBlanks, {std::string(modeText)}));
    else if (out.Mode == kModeUnknown)
      Note(*ex, TSeverity::Warning, TField::Mode, TDiagCode::ModeUnknown, modeText,
           FillText(kTxtDiagModeUnknown, {std::string(modeText)}));
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos)
      Note(*ex, TSeverity::Warning, TField::Line, TDiagCode::NoColon, line, kTxtDiagNoColon);
    else if (line.find(':', colon + 1) == std::string_view::npos)
      Note(*ex, TSeverity::Warning, TField::Line, TDiagCode::OneColon, line, kTxtDiagOneColon);
  }
  std::string_view rest = TextAfter(line, ':');
  if (!ParseTable(TextBefore(rest, ':'), out.Table, ex)) return false;
  std::string_view range = TextAfter(rest, ':');
  const std::string_view lowerText = TextBefore(range, '-'), upperText = TextAfter(range, '-');
  std::optional<int32_t> lower = IntText(lowerText);
  std::optional<int32_t> upper = IntText(upperText);
  if (ex) {
    if (!lower)
      Note(*ex, TSeverity::Invalid, TField::Range, TDiagCode::BadLower, lowerText,
           FillText(kTxtDiagBadLower, {std::string(lowerText)}));
    if (!upper)
      Note(*ex, TSeverity::Invalid, TField::Range, TDiagCode::BadUpper, upperText,
           FillText(kTxtDiagBadUpper, {std::string(upperText)}));
  }
  if (!lower || !upper) return false;
  out.Lower = *lower;
  out.Upper = *upper;
  if (ex) {
    if (range.find('-') == std::string_view::npos)
      Note(*ex, TSeverity::Warning, TField::Range, TDiagCode::RangeNoDash, range,
           FillText(kTxtDiagRangeNoDash, {std::string(range), std::to_string(*lower)}));
    else if (*lower > *upper)
      Note(*ex, TSeverity::Warning, TField::Range, TDiagCode::RangeReversed, range,
           FillText(kTxtDiagRangeReversed, {std::to_string(*lower), std::to_string(*upper)}));
  }
  return true;
}

}  // namespace

bool TProGradeFilter::ParseGradeTable(std::string_view text, TArrCodeGrade& table) {
  return ParseTable(text, table, nullptr);
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
  return ParseLine(line, out, nullptr);
}

bool TProGradeFilter::ScoreBet(std::string_view bet, const TFilterCodeGrade& condition,
                               int64_t& score) {
  std::vector<uint8_t> codes;
  if (!DecodeBet(bet, codes)) return false;
  if (condition.Mode != kModeStraight) codes.clear();
  score = ScoreCodes(codes, condition.Table);
  return true;
}

namespace {

// Where the first line looks like a tolerance line that did not read: the
// part that is not an integer text.
std::string_view UnreadTolerancePart(std::string_view line) {
  const size_t dash = line.find('-');
  const std::string_view low = dash > 2 ? line.substr(2, dash - 2) : std::string_view();
  if (!IntText(low)) return low;
  return line.substr(dash + 1, 9);
}

bool LooksLikeTolerance(std::string_view line) {
  return !line.empty() && (line[0] == 'E' || line[0] == 'e') &&
         line.find('-') != std::string_view::npos;
}

// The diagnostics of a condition line that come from where it stands.
void ExplainPlacement(TLineExplanation& ex, std::string_view line) {
  if (line.empty()) {
    Note(ex, TSeverity::Warning, TField::Line, TDiagCode::EmptyLine, line, kTxtDiagEmptyLine);
    return;
  }
  if (TrimBlanks(line).size() != line.size())
    Note(ex, TSeverity::Warning, TField::Line, TDiagCode::LineBlanks, line, kTxtDiagLineBlanks);
  if (!LooksLikeTolerance(line)) return;
  if (ex.Number == 1) {
    const std::string_view part = UnreadTolerancePart(line);
    Note(ex, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceUnread, part,
         FillText(kTxtDiagToleranceUnread, {std::string(part)}));
  } else {
    bool on = false;
    int32_t lo = 0, hi = 0;
    if (TFilter::ParseErrLine(line, on, lo, hi, 'e'))
      Note(ex, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceNotFirst, line,
           kTxtDiagToleranceNotFirst);
  }
}

void ExplainTolerance(TLineExplanation& ex, std::string_view line) {
  if (line.size() > 1 && line[1] != '|')
    Note(ex, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceSeparator,
         line.substr(1, 1), FillText(kTxtDiagToleranceSeparator, {std::string(line.substr(1, 1))}));
  const std::string_view upper = line.substr(line.find('-') + 1);
  if (upper.size() > 9)
    Note(ex, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceLongUpper, upper,
         FillText(kTxtDiagToleranceLongUpper, {std::to_string(ex.ToleranceMax)}));
}

// The diagnostics that need the whole text read.
void ExplainWholeText(TTextExplanation& sink, std::string_view text, const TFraming& framing) {
  if (IsBlank(text.substr(0, text.find('\0')))) {
    TLineExplanation scratch;
    Note(scratch, TSeverity::Invalid, TField::Line, TDiagCode::BlankText, "", kTxtDiagBlankText);
    sink.Diagnostics = std::move(scratch.Diagnostics);
    return;
  }
  const int32_t count = sink.ConditionCount();
  bool anyCondition = false;
  for (const TLineExplanation& l : sink.Lines) anyCondition |= l.Kind == TLineKind::Condition;
  if (!anyCondition) {
    TLineExplanation scratch;
    Note(scratch, TSeverity::Invalid, TField::Line, TDiagCode::NoConditions, "",
         kTxtDiagNoConditions);
    sink.Diagnostics = std::move(scratch.Diagnostics);
  }
  for (TLineExplanation& l : sink.Lines) {
    if (l.Kind == TLineKind::Condition && l.Number == 1 && framing.CanErr)
      Note(l, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceLeftOn, l.Text,
           FillText(kTxtDiagToleranceLeftOn,
                    {std::to_string(framing.CanErrMin), std::to_string(framing.CanErrMax)}));
    if (l.Kind != TLineKind::Tolerance || !sink.Valid) continue;
    const std::string range = std::to_string(l.ToleranceMin) + "-" + std::to_string(l.ToleranceMax);
    if (l.ToleranceMin > l.ToleranceMax || l.ToleranceMin > count || l.ToleranceMax < 0)
      Note(l, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceKeepsNothing, range,
           FillText(kTxtDiagToleranceKeepsNothing,
                    {std::to_string(l.ToleranceMin), std::to_string(l.ToleranceMax),
                     std::to_string(count)}));
    else if (l.ToleranceMax > count)
      Note(l, TSeverity::Warning, TField::Tolerance, TDiagCode::ToleranceAboveCount, range,
           FillText(kTxtDiagToleranceAboveCount, {std::to_string(l.ToleranceMax),
                                                  std::to_string(count), std::to_string(count)}));
  }
}

}  // namespace

bool CompileConditionText(std::string_view text, TFraming& framing,
                          std::vector<TCompiledCondition>& compiled, TTextExplanation* sink) {
  compiled.clear();
  TFilterCodeGrade parsed;
  if (!sink) {
    // Lines are kept only once they parse: a malformed text costs no more
    // than its lines up to the first bad one.
    return TSupFilter::FrameConditionLines(text, framing, [&](std::string_view line) {
      if (!ParseLine(line, parsed, nullptr)) return false;
      compiled.push_back(CompileCondition(parsed));
      framing.Lines.emplace_back(line);
      return true;
    });
  }
  *sink = TTextExplanation();
  bool invalid = false;
  const TSupFilter::TakenLineFn taken = [&](std::string_view line, TSupFilter::TTakenLine kind) {
    TLineExplanation& ex = sink->Lines.emplace_back();
    ex.Number = int32_t(sink->Lines.size());
    ex.Text.assign(line);
    if (kind == TSupFilter::TTakenLine::Tolerance) {
      ex.Kind = TLineKind::Tolerance;
      ex.ToleranceMin = framing.CanErrMin;
      ex.ToleranceMax = framing.CanErrMax;
      ExplainTolerance(ex, line);
    } else {
      ex.Kind = TLineKind::Ignored;
      Note(ex, TSeverity::Warning, TField::Line, TDiagCode::SupToleranceLine, line,
           kTxtDiagSupToleranceLine);
    }
  };
  const bool framed = TSupFilter::FrameConditionLines(
      text, framing,
      [&](std::string_view line) {
        TLineExplanation& ex = sink->Lines.emplace_back();
        ex.Number = int32_t(sink->Lines.size());
        ex.Text.assign(line);
        ExplainPlacement(ex, line);
        if (!ParseLine(line, parsed, &ex)) {
          invalid = true;
          return true;  // explain the lines after it too
        }
        ex.Condition = int32_t(compiled.size());
        ex.Mode = parsed.Mode;
        compiled.push_back(CompileCondition(parsed));
        ex.Compiled = compiled.back();
        framing.Lines.emplace_back(line);
        return true;
      },
      &taken);
  sink->Valid = framed && !invalid;
  sink->CanErr = framing.CanErr;
  sink->CanErrMin = framing.CanErrMin;
  sink->CanErrMax = framing.CanErrMax;
  ExplainWholeText(*sink, text, framing);
  return sink->Valid;
}

bool VELTRIN_API TProGradeFilter::Prepare() noexcept {
  try {
    TFraming framing;
    std::vector<TCompiledCondition> compiled;
    if (!CompileConditionText(FilterStr, framing, compiled, nullptr)) return false;
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
