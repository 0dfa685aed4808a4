// Condition insight: what a condition text does, said before a run.
//
// Explanations come from the same parse that Prepare runs (pro_grade_parse):
// Prepare passes no sink and pays nothing for them. Distributions are exact
// counts over all N-digit candidates, by dynamic programming over the digit
// positions; whole-setting figures and history hits score through the
// engine's own prepared conditions. No verdict is computed a second way.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "filter/pro_grade.h"

namespace veltrin {

// ---- explanations ----------------------------------------------------------

enum class TLineKind : int32_t {
  Condition = 0,  // a condition line (valid or not)
  Tolerance = 1,  // the tolerance line, read into the tolerance range
  Ignored = 2,    // read and not used: the super tolerance line
};

enum class TSeverity : int32_t { Warning = 0, Invalid = 1 };

// The part of a line a diagnostic is about.
enum class TField : int32_t { Line = 0, Mode = 1, Table = 2, Range = 3, Tolerance = 4 };

// What a diagnostic says; the identifiers are stable (tools match on them).
enum class TDiagCode : int32_t {
  // invalid: Prepare answers false
  BadScore,      // a score that is not an integer text
  BadCode,       // a code that is not an integer text
  BadLower,      // the lower bound is not an integer text
  BadUpper,      // the upper bound is not an integer text
  BlankText,     // nothing but blanks
  NoConditions,  // nothing but tolerance lines
  // warnings: valid, but probably not what was meant
  ModeUnknown,       // every bet scores 0
  ModeGroup,         // the group mode takes no codes: every bet scores 0
  ModeBlanks,        // the straight mode with blanks around it
  NoColon,           // the whole line is mode, table and range
  OneColon,          // table and range are the same text
  TableEmpty,        // no "=" (or "=" first): every bet scores 0
  GroupNoEquals,     // a group without "=": its text is score and codes
  ScoreWraps,        // a score outside 0-255 is read modulo 256
  CodeNotTwoDigits,  // a code slot that is not two digits
  CodeSeparator,     // codes separated by something other than one blank
  CodeLeftover,      // one or two characters at the end are ignored
  CodeOutside,       // a code outside 00-99 never occurs in a bet
  CodeRepeated,      // a code in two groups: the first gives its score
  RangeNoDash,       // lower = upper
  RangeReversed,     // lower above upper: keeps nothing
  RangeKeepsNothing,
  RangeKeepsAll,
  LineBlanks,           // blanks at the start or end of a line
  EmptyLine,            // an empty line read as a condition
  SupToleranceLine,     // read and not used
  ToleranceNotFirst,    // a tolerance-like line after the first line
  ToleranceUnread,      // a first line that looks like a tolerance line but is not one
  ToleranceLeftOn,      // a failed tolerance line still left the tolerance on
  ToleranceSeparator,   // the second character is skipped
  ToleranceLongUpper,   // only 9 characters after "-" are read
  ToleranceAboveCount,  // the tolerance range reaches past the number of conditions
  ToleranceKeepsNothing,
};

struct TDiagnostic {
  TSeverity Severity = TSeverity::Warning;
  TField Field = TField::Line;
  TDiagCode Code = TDiagCode::ModeUnknown;
  std::string Text;     // the offending text, as it stands in the line (GBK)
  std::string Message;  // what it means, in the system's words (GBK)
};

// Stable identifiers of codes, fields, severities and kinds (ASCII).
const char* DiagCodeName(TDiagCode code);
const char* FieldName(TField field);
const char* SeverityName(TSeverity severity);
const char* LineKindName(TLineKind kind);

// One line of the condition text, as the engine reads it.
struct TLineExplanation {
  int32_t Number = 0;  // 1-based, after ";" became line breaks
  std::string Text;
  TLineKind Kind = TLineKind::Condition;
  // A condition line: its index among the prepared conditions (-1 when the
  // line is invalid), the mode, the compiled table and range as the engine
  // uses them.
  int32_t Condition = -1;
  int32_t Mode = kModeUnknown;
  TCompiledCondition Compiled;
  // A tolerance line: its range.
  int32_t ToleranceMin = 0;
  int32_t ToleranceMax = 0;
  std::vector<TDiagnostic> Diagnostics;
  bool Invalid() const;
};

struct TTextExplanation {
  bool Valid = false;  // what Prepare answers for the text
  std::vector<TLineExplanation> Lines;
  std::vector<TDiagnostic> Diagnostics;  // about the whole text
  bool CanErr = false;
  int32_t CanErrMin = 0;
  int32_t CanErrMax = 0;
  int32_t ConditionCount() const;
  // The first invalid diagnostic and its line number (0: the whole text);
  // null when the text is valid.
  const TDiagnostic* FirstInvalid(int32_t* line) const;
};

class TScoreDistribution;

// Explains a condition text. `digits` (1..100, 0: unknown) adds the
// warnings that depend on the lottery: a range no candidate reaches or every
// candidate reaches. The verdict (`Valid`) is exactly Prepare's.
// `distributions`, when given, receives each condition's distribution (by
// condition index) as computed for those warnings.
TTextExplanation ExplainConditionText(std::string_view text, int32_t digits,
                                      std::vector<TScoreDistribution>* distributions = nullptr);

// A text with every "{}" replaced by the next value, in order.
std::string FillText(std::string_view text, std::initializer_list<std::string> values);

// ---- exact counts ----------------------------------------------------------

// An unsigned integer wide enough for 10^100 (the candidates of 100 digits).
class TBigCount {
 public:
  static constexpr int kWords = 6;  // 384 bits
  TBigCount() = default;
  explicit TBigCount(uint64_t v) { w_[0] = v; }
  static TBigCount PowerOf10(int32_t n);
  TBigCount& operator+=(const TBigCount& o);
  bool operator==(const TBigCount& o) const { return w_ == o.w_; }
  bool operator!=(const TBigCount& o) const { return w_ != o.w_; }
  bool IsZero() const;
  bool Fits64() const;
  uint64_t Low64() const { return w_[0]; }
  double ToDouble() const;
  std::string ToString() const;  // decimal
  uint64_t Word(int i) const { return w_[size_t(i)]; }
  void SetWord(int i, uint64_t v) { w_[size_t(i)] = v; }

 private:
  std::array<uint64_t, kWords> w_{};
};

// The number of N-digit candidates (each digit 0-9) at each score under one
// condition.
class TScoreDistribution {
 public:
  int32_t Digits() const { return digits_; }
  // Scores 0..MaxScore() have an entry; the highest entry is not zero.
  int32_t MaxScore() const { return int32_t(counts_.size() / size_t(width_)) - 1; }
  int32_t MinScore() const;  // the lowest score any candidate reaches
  TBigCount At(int64_t score) const;
  // Candidates whose score lies in lo..hi (both included).
  TBigCount Between(int64_t lo, int64_t hi) const;
  // 10^Digits().
  TBigCount Total() const { return TBigCount::PowerOf10(digits_); }
  // Between(lo, hi) / Total(), as a double.
  double Share(int64_t lo, int64_t hi) const;

 private:
  friend TScoreDistribution ScoreDistribution(const TCompiledCondition&, int32_t);
  int32_t digits_ = 0;
  int32_t width_ = 1;             // 64-bit words per count
  std::vector<uint64_t> counts_;  // width_ words per score, low word first
};

// Exact distribution of one condition over the N-digit candidates, N 1..100
// (clamped). A condition of a mode other than straight scores every bet 0.
TScoreDistribution ScoreDistribution(const TCompiledCondition& condition, int32_t digits);

// Exact decimal of count / 10^digits ("0.1234", "1"), without trailing zeros.
std::string ShareOfPowerOf10(const TBigCount& count, int32_t digits);

// ---- the whole setting -------------------------------------------------------

struct TSettingCount {
  bool Exact = false;  // every candidate enumerated
  // Exact: the kept count over all 10^digits candidates. Estimate: the kept
  // bets of the sample.
  TBigCount Kept;
  uint64_t Sample = 0;  // candidates evaluated (all of them when exact)
  double Share = 0;     // kept share (of all candidates, or of the sample)
  double Bound = 0;     // estimate: 99% bound of |share - true share|
  uint64_t Seed = 0;    // estimate: the sample's seed
  // Candidates (of the sample, when estimated) by number of failed
  // conditions: entry k counts those failing exactly k.
  std::vector<uint64_t> FailHistogram;
};

// Largest enumeration done exactly, in candidate x condition-block units;
// measured to stay under a second (bench/insight_bench.cpp).
inline constexpr uint64_t kExactWorkLimit = 60'000'000;
inline constexpr uint64_t kSampleSize = 200'000;
inline constexpr uint64_t kSampleSeed = 0x5645'4C54'5249'4E31ull;  // "VELTRIN1"

// Counts the kept candidates of a prepared filter (its conditions and
// tolerance) over all N-digit candidates, exactly when the work is small,
// otherwise from a fixed-seed sample. `digits` 1..100.
TSettingCount CountSetting(TProGradeFilter& prepared, int32_t digits);

// ---- history ---------------------------------------------------------------

struct THistoryDraw {
  std::string Label;   // the issue, or the line number when the line has none
  std::string Digits;  // the drawn digits
};

struct THistoryHits {
  // The draws considered: the last K that are digit texts, latest first.
  std::vector<const THistoryDraw*> Draws;
  size_t Conditions = 0;
  std::vector<int32_t> Hits;    // per condition: draws its range keeps
  std::vector<int32_t> Failed;  // per draw: conditions it fails
  std::vector<uint8_t> Kept;    // per draw: the whole setting keeps it
  // Draw j's score under condition c (clamped to 32 bits), and whether the
  // condition's range keeps it.
  int32_t Score(size_t c, size_t j) const { return scores_[c * Draws.size() + j]; }
  bool Passes(size_t c, size_t j) const { return passes_[c * Draws.size() + j] != 0; }

 private:
  friend THistoryHits HistoryHits(const TProGradeFilter&, const std::vector<THistoryDraw>&,
                                  int32_t);
  std::vector<int32_t> scores_;  // condition-major
  std::vector<uint8_t> passes_;
};

// Scores the last `last` draws (all when last <= 0) under the prepared
// conditions; draws that are not digit texts are left out.
THistoryHits HistoryHits(const TProGradeFilter& prepared, const std::vector<THistoryDraw>& draws,
                         int32_t last);

// ---- the result text of VeltrinExplain -----------------------------------------

// What VeltrinExplain adds beyond the per-line answers.
inline constexpr int32_t kExplainDistributions = 1;  // every condition's score distribution
inline constexpr int32_t kExplainSetting = 2;  // the whole setting's kept count, failure histogram
inline constexpr int32_t kExplainDrawScores = 4;  // each considered draw's score per condition
inline constexpr int32_t kExplainFormatVersion = 1;

// Draws from a history text: one per line, "issue digits" or "digits"; blank
// lines and lines starting with "#" are skipped. A line that is not a draw
// of `digits` digits is left out with a diagnostic (line number, message).
std::vector<THistoryDraw> ParseDraws(std::string_view text, int32_t digits,
                                     std::vector<std::pair<int32_t, std::string>>& diagnostics);

// The whole answer of VeltrinExplain as its versioned text (include/veltrin.h
// describes the format).
std::string FormatExplanation(std::string_view conditionText, int32_t digits,
                              std::string_view historyText, int32_t last, int32_t flags);

}  // namespace veltrin
