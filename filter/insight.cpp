// Explanations of a condition text over the engine's own parse.
#include "filter/insight.h"

#include <algorithm>

#include "filter/insight_texts.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

// ---- explanations ----------------------------------------------------------

const char* LineKindName(TLineKind kind) {
  switch (kind) {
    case TLineKind::Condition:
      return "condition";
    case TLineKind::Tolerance:
      return "tolerance";
    case TLineKind::Ignored:
      return "ignored";
  }
  return "condition";
}

bool TLineExplanation::Invalid() const {
  for (const TDiagnostic& d : Diagnostics)
    if (d.Severity == TSeverity::Invalid) return true;
  return false;
}

int32_t TTextExplanation::ConditionCount() const {
  int32_t n = 0;
  for (const TLineExplanation& l : Lines) n += l.Condition >= 0;
  return n;
}

const TDiagnostic* TTextExplanation::FirstInvalid(int32_t* line) const {
  for (const TLineExplanation& l : Lines)
    for (const TDiagnostic& d : l.Diagnostics)
      if (d.Severity == TSeverity::Invalid) {
        if (line) *line = l.Number;
        return &d;
      }
  for (const TDiagnostic& d : Diagnostics)
    if (d.Severity == TSeverity::Invalid) {
      if (line) *line = 0;
      return &d;
    }
  return nullptr;
}

TTextExplanation ExplainConditionText(std::string_view text, int32_t digits,
                                      std::vector<TScoreDistribution>* distributions) {
  TTextExplanation ex;
  TFraming framing;
  std::vector<TCompiledCondition> compiled;
  CompileConditionText(text, framing, compiled, &ex);
  if (distributions) distributions->clear();
  if (digits <= 0) return ex;
  digits = std::min(digits, 100);
  for (TLineExplanation& l : ex.Lines) {
    if (l.Condition < 0) continue;
    TScoreDistribution dist = ScoreDistribution(l.Compiled, digits);
    if (distributions) distributions->push_back(dist);
    if (l.Compiled.Lower > l.Compiled.Upper) continue;
    const TBigCount kept = dist.Between(l.Compiled.Lower, l.Compiled.Upper);
    const std::string range =
        std::to_string(l.Compiled.Lower) + "-" + std::to_string(l.Compiled.Upper);
    const std::initializer_list<std::string> values = {
        std::to_string(digits), std::to_string(dist.MinScore()), std::to_string(dist.MaxScore())};
    TDiagnostic d;
    d.Field = TField::Range;
    d.Text = range;
    if (kept.IsZero()) {
      d.Code = TDiagCode::RangeKeepsNothing;
      d.Message = FillText(kTxtDiagRangeKeepsNothing, values);
    } else if (kept == dist.Total()) {
      d.Code = TDiagCode::RangeKeepsAll;
      d.Message = FillText(kTxtDiagRangeKeepsAll, values);
    } else {
      continue;
    }
    l.Diagnostics.push_back(std::move(d));
  }
  return ex;
}

}  // namespace veltrin
