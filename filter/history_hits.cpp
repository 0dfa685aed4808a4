#include "filter/history_hits.h"

#include <algorithm>
#include <climits>

#include "common/text.h"
#include "filter/diag_catalogue.h"
#include "filter/gbk_text.h"
#include "filter/insight_texts.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

namespace {

bool IsDigits(std::string_view s) {
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return !s.empty();
}

}  // namespace

THistoryHits HistoryHits(const TProGradeFilter& prepared, const std::vector<THistoryDraw>& draws,
                         int32_t last) {
  THistoryHits h;
  const std::vector<TCompiledCondition>& conditions = prepared.Conditions();
  h.Conditions = conditions.size();
  std::vector<std::vector<uint8_t>> codes;
  std::vector<uint8_t> scratch;
  for (size_t i = draws.size(); i-- > 0;) {
    if (last > 0 && h.Draws.size() >= size_t(last)) break;
    if (draws[i].Digits.empty() || !DecodeBet(draws[i].Digits, scratch)) continue;
    h.Draws.push_back(&draws[i]);
    codes.push_back(scratch);
  }
  const size_t n = h.Draws.size();
  h.scores_.assign(conditions.size() * n, 0);
  h.passes_.assign(conditions.size() * n, 0);
  h.Hits.assign(conditions.size(), 0);
  h.Failed.assign(n, 0);
  h.Kept.assign(n, 0);
  for (size_t c = 0; c < conditions.size(); ++c) {
    for (size_t j = 0; j < n; ++j) {
      const int64_t score = ScoreCompiled(codes[j], conditions[c]);
      const bool passes = conditions[c].Passes(score);
      h.scores_[c * n + j] = int32_t(std::min<int64_t>(score, INT32_MAX));
      h.passes_[c * n + j] = passes;
      h.Hits[c] += passes;
      h.Failed[j] += !passes;
    }
  }
  for (size_t j = 0; j < n; ++j) h.Kept[j] = prepared.MapVerdict(h.Failed[j]) == kVerdictKeep;
  return h;
}

std::vector<THistoryDraw> ParseDraws(std::string_view text, int32_t digits,
                                     std::vector<std::pair<int32_t, std::string>>& diagnostics) {
  std::vector<THistoryDraw> draws;
  int32_t number = 0;
  SplitLines(WithoutUtf8Bom(text), [&](std::string_view line) {
    ++number;
    std::string_view t = TrimBlanks(line);
    if (t.empty() || t[0] == '#') return;
    // The last field is the draw, the first (if there are two) its issue.
    size_t cut = t.size();
    while (cut > 0 && t[cut - 1] != ' ' && t[cut - 1] != '\t') --cut;
    const std::string_view drawn = t.substr(cut);
    const std::string_view label = TrimBlanks(t.substr(0, cut));
    if (!IsDigits(drawn) || (digits > 0 && drawn.size() != size_t(digits)) ||
        label.find_first_of(" \t") != std::string_view::npos) {
      diagnostics.emplace_back(
          number, FillText(kTxtDiagHistoryLine, {std::to_string(number), std::to_string(digits)}));
      return;
    }
    THistoryDraw& d = draws.emplace_back();
    d.Label = label.empty() ? std::to_string(number) : std::string(label);
    d.Digits.assign(drawn);
  });
  return draws;
}

}  // namespace veltrin
