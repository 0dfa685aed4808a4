// The draw history the host works over, and what the host derives from it.
//
// File format: one draw per line, the drawn digits with or without an
// issue number before them ("2024001 38172", "38172"); the digits may stand
// apart ("2024001 3 8 1 7 2", "3,8,1,7,2"). Blanks, tabs and commas
// separate. Lines that are empty or start with '#' are comments. Line ends
// may be LF or CR LF; a UTF-8 byte order mark is skipped.
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

// What one line of a history or bets file holds.
enum class LineKind { Blank, Draw, Malformed };
// Reads one line (without its line end) as ReadHistory does; `digits` may
// still hold characters other than 0-9. Malformed: `why` says what is wrong.
LineKind ReadDrawLine(std::string_view line, std::string& issue, std::string& digits,
                      std::string& why);
// The text without a leading UTF-8 byte order mark.
std::string_view WithoutBom(std::string_view text);

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
