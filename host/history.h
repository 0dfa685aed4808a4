// The draw history the host works over, and what the host derives from it.
//
// File format: one draw per line, the drawn digits with or without an
// issue number before them ("2024001 38172", "38172"); the digits may stand
// apart ("2024001 3 8 1 7 2", "3,8,1,7,2"). Blanks, tabs and commas
// separate. Lines that are empty or start with '#' are comments. Line ends
// may be LF or CR LF; a UTF-8 byte order mark is skipped, and a UTF-16 file
// is read as its text (host/input_text.h). Draws of another length than
// the lottery's are skipped and counted, never taken.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/input_text.h"

namespace veltrin::host {

struct Draw {
  std::string Issue;
  std::string Digits;  // '0'..'9', one per drawn position
};

struct DrawHistory {
  std::vector<Draw> Draws;  // in file order, oldest first
  int32_t DigitCount = 0;   // the same for every draw
  // Lines whose draw has another length, skipped; the first few of them
  // ("line N: why") for messages.
  uint64_t Skipped = 0;
  std::vector<std::string> FirstSkipped;
};

// The most digits a draw of a lottery the filter runs over may have.
inline constexpr int32_t kMaxDrawDigits = 9;
// How many skipped lines a message names before it only counts.
inline constexpr size_t kNamedLines = 5;
// "N lines skipped (line 3: ..., line 9: ...; and M more)", or empty.
std::string SkippedText(const DrawHistory& history);

// What one line of a history or bets file holds.
enum class LineKind { Blank, Draw, Malformed };
// Reads one line (without its line end) as ReadHistory does; `digits` may
// still hold characters other than 0-9. Malformed: `why` says what is wrong;
// a line holding a NUL byte is always malformed, never a bet.
LineKind ReadDrawLine(std::string_view line, std::string& issue, std::string& digits,
                      std::string& why);
// Parses a history text. Draws have `digitCount` digits (0: that of the
// first draw of 1 to `maxDigits` digits); others are skipped and counted.
// False with `error` naming the line on any malformed line, and when no
// draw is left.
bool ParseHistory(std::string_view text, int32_t digitCount, DrawHistory& out, std::string& error,
                  int32_t maxDigits = kMaxDrawDigits);
// Reads, decodes and parses a history file.
bool LoadHistory(const std::string& path, int32_t digitCount, DrawHistory& out, std::string& error,
                 int32_t maxDigits = kMaxDrawDigits);

// How often each two-digit code occurs between adjacent digits of the draws.
std::array<int64_t, 100> CodeCounts(const DrawHistory& history);
// A pair-score table from the history, as the score grid writes one: a code
// scores 0..100 in proportion to how often it was drawn (the most frequent
// code scores 100); groups "s=c1 c2 ..." for every s from 0 to 100, codes
// ascending, joined by ",".
std::string PairScoreTableText(const DrawHistory& history);

}  // namespace veltrin::host
