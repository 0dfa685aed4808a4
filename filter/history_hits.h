// History hits: past draws scored under the prepared conditions, the way
// SzcExecute scores bets.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "filter/pro_grade.h"

namespace veltrin {

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

// Draws from a history text: one per line, "issue digits" or "digits"; blank
// lines and lines starting with "#" are skipped, and so is a UTF-8 byte
// order mark before the first line. A line that is not a draw of `digits`
// digits is left out with a diagnostic (line number, message).
std::vector<THistoryDraw> ParseDraws(std::string_view text, int32_t digits,
                                     std::vector<std::pair<int32_t, std::string>>& diagnostics);

}  // namespace veltrin
