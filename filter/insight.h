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

#include "filter/big_count.h"
#include "filter/diag_catalogue.h"
#include "filter/history_hits.h"
#include "filter/pro_grade.h"
#include "filter/score_distribution.h"
#include "filter/setting_count.h"

namespace veltrin {

// ---- explanations ----------------------------------------------------------

enum class TLineKind : int32_t {
  Condition = 0,  // a condition line (valid or not)
  Tolerance = 1,  // the tolerance line, read into the tolerance range
  Ignored = 2,    // read and not used: the super tolerance line
};

// Stable identifier of a line kind (ASCII).
const char* LineKindName(TLineKind kind);

// One line of the condition text, as the engine reads it.
struct TLineExplanation {
  int32_t Number = 0;  // 1-based, after ";" became line breaks
  // The lines this explanation stands for, Number on: a run of empty lines
  // is explained once, so that a text of line breaks costs no record each.
  int32_t Count = 1;
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
  bool Valid = false;     // what Prepare answers for the text
  int32_t LineCount = 0;  // lines read, tolerance lines included
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

// ---- the result text of VeltrinExplain -----------------------------------------

// What VeltrinExplain adds beyond the per-line answers.
inline constexpr int32_t kExplainDistributions = 1;  // every condition's score distribution
inline constexpr int32_t kExplainSetting = 2;  // the whole setting's kept count, failure histogram
inline constexpr int32_t kExplainDrawScores = 4;  // each considered draw's score per condition
// With kExplainSetting: count every candidate whatever it costs (1-18 digits).
inline constexpr int32_t kExplainExact = 8;
inline constexpr int32_t kExplainFormatVersion = 1;  // records only gained trailing fields

// The whole answer of VeltrinExplain as its versioned text (include/veltrin.h
// describes the format).
std::string FormatExplanation(std::string_view conditionText, int32_t digits,
                              std::string_view historyText, int32_t last, int32_t flags);

}  // namespace veltrin
