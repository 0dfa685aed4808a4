// The draw history the host works over, and what the host derives from it.
//
// File format: one draw per line, an issue number and the drawn digits
// separated by blanks or tabs ("2024001 38172"). Lines that are empty or
// start with '#' are comments. Line ends may be LF or CR LF.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrin::host {

struct Draw {
  std::string Issue;
  std::string Digits;  // '0'..'9', one per drawn position
};

struct DrawHistory {
  std::vector<Draw> Draws;  // in file order, oldest first
  int32_t DigitCount = 0;   // the same for every draw
};

// Parses a history text. Every draw must have `digitCount` digits (0: take
// the count of the first draw). False with `error` naming the line on any
// malformed line.
bool ParseHistory(std::string_view text, int32_t digitCount, DrawHistory& out, std::string& error);
// Reads and parses a history file.
bool LoadHistory(const std::string& path, int32_t digitCount, DrawHistory& out, std::string& error);

// How often each two-digit code occurs between adjacent digits of the draws.
std::array<int64_t, 100> CodeCounts(const DrawHistory& history);
// A pair-score table from the history, as the score grid writes one: a code
// scores 0..100 in proportion to how often it was drawn (the most frequent
// code scores 100); groups "s=c1 c2 ..." for every s from 0 to 100, codes
// ascending, joined by ",".
std::string PairScoreTableText(const DrawHistory& history);

}  // namespace veltrin::host
