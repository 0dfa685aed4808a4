// The numbers behind the pair-score dialog's distribution page and the
// condition list's line notes: for one condition line and the lottery's
// digit count, the exact share of all candidates at each score, the range's
// kept share, the lowest and highest reachable scores, and, once the host
// handed over recent draws, each draw's score and the range's hit rate.
// Computed once per change of the condition (microseconds for a lottery of
// a few digits, bench/picture_bench.cpp); the chart only draws the result.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filter/insight.h"
#include "ui/controls.h"

namespace veltrin {

struct TScorePicture {
  // False when there is nothing to draw: no digit count, or a line the
  // engine does not take as a condition; Problem says why.
  bool Drawn = false;
  std::string Problem;
  int32_t Digits = 0;
  int32_t Lower = 0, Upper = 0;  // the range as the engine reads it
  int32_t MinScore = 0, MaxScore = 0;
  // Bars for the scores 0..AxisTop: MaxScore, or the lower bound when the
  // range lies beyond every candidate (within reason, so that the band
  // shows).
  int32_t AxisTop = 0;
  std::vector<TBigCount> Counts;  // candidates at each score 0..AxisTop
  TBigCount Kept;                 // candidates whose score lies in the range
  double Share = 0;               // Kept / 10^Digits
  std::vector<std::string> Warnings;
  // The recent draws that are digit texts, each with its score; and how
  // many of them the range keeps.
  std::vector<int32_t> DrawScores;
  int32_t DrawHits = 0;
  TCompiledCondition Compiled;
};

// The picture of one condition line for a lottery of `digits` digits
// (1..100; anything else draws nothing).
TScorePicture ComputeScorePicture(std::string_view line, int32_t digits);

// Scores `draws` under the picture's condition; texts that are not digit
// texts are left out.
void MarkDraws(TScorePicture& picture, const std::vector<std::string>& draws);

// A share as a percentage with up to four significant digits ("3.8%",
// "0.0001234%"), "0%" and "100%" exactly.
std::string PercentText(double share);

// The chart's state: bars scaled to the highest, the range shaded, one mark
// per draw, the axis's ends labelled.
ui::TChartState ChartOf(const TScorePicture& picture);
// The texts under the chart: the kept share, the reachable scores, the hit
// rate (empty until draws are marked).
std::string KeptText(const TScorePicture& picture);
std::string ScoresText(const TScorePicture& picture);
std::string HitsText(const TScorePicture& picture);

// What the condition list shows beside a line where the user looks at it:
// the kept share, and every warning (or the reason it is invalid) marked in
// place.
struct TLineNote {
  bool Invalid = false;
  bool Warned = false;
  std::string Share;               // the kept share ("3.8%"); empty when unknown
  std::vector<std::string> Marks;  // each warning, or the reason it is invalid, marked
  std::string Text;                // the kept share's text and the marks on one line
};
TLineNote ConditionLineNote(std::string_view line, int32_t digits);

// The list item of a condition line: what tells the lines apart first (its
// range, its kept share, a mark when it warns or is invalid), then the line.
std::string ConditionLineLabel(std::string_view line, const TLineNote& note);
// The hint over a line: the kept share and each mark on rows of their own,
// then the line broken into rows of at most `width` bytes (after a comma or
// a blank where a row has one, never inside a GBK character), at most
// `rows` rows of it, and a row "..." when the line goes on.
std::string ConditionLineHint(std::string_view line, const TLineNote& note, size_t width = 44,
                              size_t rows = 12);

}  // namespace veltrin
