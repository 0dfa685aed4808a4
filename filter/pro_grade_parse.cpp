// The parse and compile step of TProGradeFilter: condition lines to score
// tables, score tables to code-to-score lookups.
#include <algorithm>
#include <optional>

#include "common/text.h"
#include "common/texts.h"
#include "filter/gbk_text.h"
#include "filter/insight.h"
#include "filter/insight_texts.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

TCompiledCondition CompileCondition(const TFilterCodeGrade& condition) {
  TCompiledCondition c;
  c.Lower = condition.Lower;
  c.Upper = condition.Upper;
  // A mode without codes: every bet scores 0.
  if (ModeOf(condition.Mode).Codes == TModeCodes::None) return c;
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

int32_t TProGradeFilter::ParseSelectMode(std::string_view mode) { return ModeOfWord(mode).Id; }

bool TProGradeFilter::BetToCodes(std::string_view bet, int32_t mode, std::vector<uint8_t>& codes) {
  if (ModeOf(mode).Codes == TModeCodes::None) return true;
  std::vector<uint8_t> fresh;
  if (!DecodeBet(bet, fresh)) return false;
  codes.swap(fresh);
  return true;
}

namespace {

// Records a diagnostic on the line being explained.
void Note(TLineExplanation& ex, TField field, TDiagCode code, std::string_view text,
          std::string message) {
  TDiagnostic& d = ex.Diagnostics.emplace_back();
  d.Severity = DiagSeverity(code);
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
  const std::string_view slot = WholeGbkChars(codes, 3 * k, 2);
  if (code < 0)
    Note(ex, TField::Table, TDiagCode::CodeOutside, slot,
         FillText(kTxtDiagCodeOutside, {std::to_string(code)}));
  else if (!IsTwoDigits(slot))
    Note(ex, TField::Table, TDiagCode::CodeNotTwoDigits, slot,
         FillText(kTxtDiagCodeNotTwoDigits, {std::string(slot), TwoDigits(code)}));
  if (k + 1 < count && codes[3 * k + 2] != ' ') {
    const std::string_view separator = WholeGbkChars(codes, 3 * k + 2, 1);
    Note(ex, TField::Table, TDiagCode::CodeSeparator, separator,
         FillText(kTxtDiagCodeSeparator, {std::string(separator)}));
  }
  if (code < 0 || code > 99) return;
  // The group being read is the last entry; an earlier one that holds the
  // code gives its score.
  for (size_t i = 0; i + 1 < table.size(); ++i) {
    if (table[i].Has(unsigned(code))) {
      const std::string score = std::to_string(table[i].Score);
      Note(ex, TField::Table, TDiagCode::CodeRepeated, slot,
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
    if (ex) Note(*ex, TField::Table, TDiagCode::TableEmpty, text, kTxtDiagTableEmpty);
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
        Note(*ex, TField::Table, TDiagCode::BadScore, scoreText,
             FillText(kTxtDiagBadScore, {std::string(scoreText)}));
      ok = false;
      return;
    }
    item.Score = uint8_t(uint32_t(*score));  // low 8 bits: 300 is 44, -1 is 255
    if (ex) {
      if (group.find('=') == std::string_view::npos)
        Note(*ex, TField::Table, TDiagCode::GroupNoEquals, group,
             FillText(kTxtDiagGroupNoEquals, {std::string(group), std::to_string(item.Score)}));
      if (*score < 0 || *score > 255)
        Note(*ex, TField::Table, TDiagCode::ScoreWraps, scoreText,
             FillText(kTxtDiagScoreWraps, {std::to_string(*score), std::to_string(item.Score)}));
    }
    std::string_view codes = TextAfter(group, '=');
    const size_t count = (codes.size() + 1) / 3;
    for (size_t k = 0; k < count; ++k) {
      std::optional<int32_t> code = IntText(codes.substr(3 * k, 2));
      if (!code) {
        const std::string_view slot = WholeGbkChars(codes, 3 * k, 2);
        if (ex)
          Note(*ex, TField::Table, TDiagCode::BadCode, slot,
               FillText(kTxtDiagBadCode, {std::string(slot)}));
        ok = false;
        return;
      }
      if (ex) ExplainCode(*ex, table, codes, k, count, *code);
      if (*code >= 0 && *code <= 103) item.Add(unsigned(*code));
    }
    const size_t used = count ? 3 * count - 1 : 0;
    if (ex && codes.size() > used) {
      const std::string_view left = WholeGbkChars(codes, used, codes.size() - used);
      Note(*ex, TField::Table, TDiagCode::CodeLeftover, left,
           FillText(kTxtDiagCodeLeftover, {std::string(left)}));
    }
  });
  return ok;
}

// ParseCondition, recording into `ex` when it is given.
bool ParseLine(std::string_view line, TFilterCodeGrade& out, TLineExplanation* ex) {
  out = TFilterCodeGrade();
  const std::string_view modeText = TextBefore(line, ':');
  const TConditionMode& mode = ModeOfWord(modeText);
  out.Mode = mode.Id;
  if (ex) {
    if (mode.Id == kModeUnknown && ModeOfWord(TrimBlanks(modeText)).Codes != TModeCodes::None)
      Note(*ex, TField::Mode, TDiagCode::ModeBlanks, modeText,
           FillText(kTxtDiagModeBlanks, {std::string(modeText)}));
    else if (mode.Warns)
      Note(*ex, TField::Mode, mode.Warning, modeText,
           FillText(DiagText(mode.Warning), {std::string(modeText)}));
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos)
      Note(*ex, TField::Line, TDiagCode::NoColon, line, kTxtDiagNoColon);
    else if (line.find(':', colon + 1) == std::string_view::npos)
      Note(*ex, TField::Line, TDiagCode::OneColon, line, kTxtDiagOneColon);
  }
  std::string_view rest = TextAfter(line, ':');
  if (!ParseTable(TextBefore(rest, ':'), out.Table, ex)) return false;
  std::string_view range = TextAfter(rest, ':');
  const std::string_view lowerText = TextBefore(range, '-'), upperText = TextAfter(range, '-');
  std::optional<int32_t> lower = IntText(lowerText);
  std::optional<int32_t> upper = IntText(upperText);
  if (ex) {
    if (!lower)
      Note(*ex, TField::Range, TDiagCode::BadLower, lowerText,
           FillText(kTxtDiagBadLower, {std::string(lowerText)}));
    if (!upper)
      Note(*ex, TField::Range, TDiagCode::BadUpper, upperText,
           FillText(kTxtDiagBadUpper, {std::string(upperText)}));
  }
  if (!lower || !upper) return false;
  out.Lower = *lower;
  out.Upper = *upper;
  if (ex) {
    if (range.find('-') == std::string_view::npos)
      Note(*ex, TField::Range, TDiagCode::RangeNoDash, range,
           FillText(kTxtDiagRangeNoDash, {std::string(range), std::to_string(*lower)}));
    else if (*lower > *upper)
      Note(*ex, TField::Range, TDiagCode::RangeReversed, range,
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
  if (!ModeOf(condition.Mode).BetToCodes(bet, codes)) return false;
  score = ScoreCodes(codes, condition.Table);
  return true;
}

namespace {

// Where the first line looks like a tolerance line that did not read: the
// part that is not an integer text.
std::string_view UnreadTolerancePart(std::string_view line) {
  const size_t dash = line.find('-');
  const std::string_view low = dash > 2 ? WholeGbkChars(line, 2, dash - 2) : std::string_view();
  if (!IntText(line.substr(2, dash > 2 ? dash - 2 : 0)) || dash <= 2) return low;
  return WholeGbkChars(line, dash + 1, 9);
}

bool LooksLikeTolerance(std::string_view line) {
  return !line.empty() && (line[0] == 'E' || line[0] == 'e') &&
         line.find('-') != std::string_view::npos;
}

// The full-width characters a Chinese input method types in place of the
// ASCII ones a condition is written with.
struct TFullWidth {
  const char* Char;  // GBK
  const char* Name;
  const char* Ascii;
};
constexpr TFullWidth kFullWidth[] = {
    {"\xA3\xAC", kTxtFullWidthComma, ","},      // ，
    {"\xA3\xBA", kTxtFullWidthColon, ":"},      // ：
    {"\xA1\xA1", kTxtFullWidthSpace, " "},      // 　 (ideographic space)
    {"\xA3\xFC", kTxtFullWidthBar, "|"},        // ｜
    {"\xA3\xBB", kTxtFullWidthSemicolon, ";"},  // ；
    {"\xA3\xAD", kTxtFullWidthMinus, "-"},      // －
    {"\xA3\xBD", kTxtFullWidthEquals, "="},     // ＝
};

// Names each kind of full-width slip once per line, at its first place.
void ExplainFullWidth(TLineExplanation& ex, std::string_view line) {
  unsigned seen = 0;  // bit k: kFullWidth[k]; the top bit: a digit
  for (size_t i = 0; i < line.size();) {
    const size_t n = std::max<size_t>(GbkCharLength(line, i), 1);
    const std::string_view ch = line.substr(i, n);
    i += n;
    if (n != 2) continue;
    // ０-９ are A3 B0 .. A3 B9.
    if (ch[0] == '\xA3' && ch[1] >= '\xB0' && ch[1] <= '\xB9') {
      if (seen & 0x80u) continue;
      seen |= 0x80u;
      const std::string digit(1, char('0' + (static_cast<unsigned char>(ch[1]) - 0xB0)));
      Note(ex, TField::Line, TDiagCode::FullWidth, ch,
           FillText(kTxtDiagFullWidth, {kTxtFullWidthDigit, std::string(ch), digit}));
      continue;
    }
    for (unsigned k = 0; k < sizeof kFullWidth / sizeof kFullWidth[0]; ++k) {
      if (ch != kFullWidth[k].Char || (seen >> k & 1u)) continue;
      seen |= 1u << k;
      Note(ex, TField::Line, TDiagCode::FullWidth, ch,
           FillText(kTxtDiagFullWidth, {kFullWidth[k].Name, std::string(ch), kFullWidth[k].Ascii}));
    }
  }
}

// The diagnostics of a condition line that come from where it stands.
void ExplainPlacement(TLineExplanation& ex, std::string_view line) {
  ExplainFullWidth(ex, line);
  if (line.empty()) {
    Note(ex, TField::Line, TDiagCode::EmptyLine, line, kTxtDiagEmptyLine);
    return;
  }
  if (TrimBlanks(line).size() != line.size())
    Note(ex, TField::Line, TDiagCode::LineBlanks, line, kTxtDiagLineBlanks);
  if (!LooksLikeTolerance(line)) return;
  if (ex.Number == 1) {
    const std::string_view part = UnreadTolerancePart(line);
    Note(ex, TField::Tolerance, TDiagCode::ToleranceUnread, part,
         FillText(kTxtDiagToleranceUnread, {std::string(part)}));
  } else {
    bool on = false;
    int32_t lo = 0, hi = 0;
    if (TFilter::ParseErrLine(line, on, lo, hi, 'e'))
      Note(ex, TField::Tolerance, TDiagCode::ToleranceNotFirst, line, kTxtDiagToleranceNotFirst);
  }
}

void ExplainTolerance(TLineExplanation& ex, std::string_view line) {
  if (line.size() > 1 && line[1] != '|') {
    const std::string_view separator = WholeGbkChars(line, 1, 1);
    Note(ex, TField::Tolerance, TDiagCode::ToleranceSeparator, separator,
         FillText(kTxtDiagToleranceSeparator, {std::string(separator)}));
  }
  const std::string_view upper = line.substr(line.find('-') + 1);
  if (upper.size() > 9)
    Note(ex, TField::Tolerance, TDiagCode::ToleranceLongUpper, upper,
         FillText(kTxtDiagToleranceLongUpper, {std::to_string(ex.ToleranceMax)}));
}

// The diagnostics that need the whole text read.
void ExplainWholeText(TTextExplanation& sink, std::string_view text, const TFraming& framing) {
  if (IsBlank(text.substr(0, text.find('\0')))) {
    TLineExplanation scratch;
    Note(scratch, TField::Line, TDiagCode::BlankText, "", kTxtDiagBlankText);
    sink.Diagnostics = std::move(scratch.Diagnostics);
    return;
  }
  const int32_t count = sink.ConditionCount();
  bool anyCondition = false;
  for (const TLineExplanation& l : sink.Lines) anyCondition |= l.Kind == TLineKind::Condition;
  if (!anyCondition) {
    TLineExplanation scratch;
    Note(scratch, TField::Line, TDiagCode::NoConditions, "", kTxtDiagNoConditions);
    sink.Diagnostics = std::move(scratch.Diagnostics);
  }
  for (TLineExplanation& l : sink.Lines) {
    if (l.Kind == TLineKind::Condition && l.Number == 1 && framing.CanErr)
      Note(l, TField::Tolerance, TDiagCode::ToleranceLeftOn, l.Text,
           FillText(kTxtDiagToleranceLeftOn,
                    {std::to_string(framing.CanErrMin), std::to_string(framing.CanErrMax)}));
    if (l.Kind != TLineKind::Tolerance || !sink.Valid) continue;
    const std::string range = std::to_string(l.ToleranceMin) + "-" + std::to_string(l.ToleranceMax);
    if (l.ToleranceMin > l.ToleranceMax || l.ToleranceMin > count || l.ToleranceMax < 0)
      Note(l, TField::Tolerance, TDiagCode::ToleranceKeepsNothing, range,
           FillText(kTxtDiagToleranceKeepsNothing,
                    {std::to_string(l.ToleranceMin), std::to_string(l.ToleranceMax),
                     std::to_string(count)}));
    else if (l.ToleranceMax > count)
      Note(l, TField::Tolerance, TDiagCode::ToleranceAboveCount, range,
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
  int32_t number = 0;
  const TSupFilter::TakenLineFn taken = [&](std::string_view line, TSupFilter::TTakenLine kind) {
    TLineExplanation& ex = sink->Lines.emplace_back();
    ex.Number = ++number;
    ex.Text.assign(line);
    if (kind == TSupFilter::TTakenLine::Tolerance) {
      ex.Kind = TLineKind::Tolerance;
      ex.ToleranceMin = framing.CanErrMin;
      ex.ToleranceMax = framing.CanErrMax;
      ExplainTolerance(ex, line);
    } else {
      ex.Kind = TLineKind::Ignored;
      Note(ex, TField::Line, TDiagCode::SupToleranceLine, line, kTxtDiagSupToleranceLine);
    }
  };
  const bool framed = TSupFilter::FrameConditionLines(
      text, framing,
      [&](std::string_view line) {
        ++number;
        // An empty line after an empty line says what the one before said.
        if (line.empty() && !sink->Lines.empty()) {
          TLineExplanation& before = sink->Lines.back();
          if (before.Kind == TLineKind::Condition && before.Text.empty() &&
              before.Number + before.Count == number) {
            ++before.Count;
            return true;
          }
        }
        TLineExplanation& ex = sink->Lines.emplace_back();
        ex.Number = number;
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
  sink->LineCount = number;
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
