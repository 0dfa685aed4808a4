// The condition modes: everything a mode word means, in one table that the
// parser, the compile step, insight, the host and the dialog ask.
//
// A mode says how a bet becomes codes. The engine evaluates codes made of
// adjacent digit pairs (a bet of N digits: N-1 codes) in its kernels, its
// distributions and its history hits; a mode of that kind compiles its
// score table into the code-to-score lookup, and one that takes no codes
// compiles to all zeros, so every bet scores 0 under it. Whatever the mode,
// nothing is decided per bet: the kernels see only compiled lookups.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "filter/diag_catalogue.h"

namespace veltrin {

enum TSelectMode : int32_t { kModeUnknown = 0, kModeStraight = 1, kModeGroup = 2 };

enum class TModeCodes : int32_t {
  None = 0,           // no codes: every bet scores 0
  AdjacentPairs = 1,  // code k is 10 x digit k + digit k+1
};

struct TConditionMode {
  int32_t Id;         // TFilterCodeGrade::Mode, and the explain format's mode field
  const char* Word;   // the mode word of a condition line (GBK), "" for unknown
  const char* Name;   // stable identifier (ASCII)
  TModeCodes Codes;   // how a bet becomes codes
  bool Offered;       // the settings dialog offers the word
  bool Warns;         // a line in this mode is worth a warning ...
  TDiagCode Warning;  // ... this one (its text names no value)
  // A bet's codes under this mode into `codes` (left empty for a mode that
  // takes none); false when the bet is not a digit text.
  bool BetToCodes(std::string_view bet, std::vector<uint8_t>& codes) const;
};

// The mode a word names, byte for byte (no trimming); the unknown mode (Id
// kModeUnknown, no codes) for any other text.
const TConditionMode& ModeOfWord(std::string_view word);
// The mode of an id; the unknown mode for an id no mode has.
const TConditionMode& ModeOf(int32_t id);
// Every known mode, in the order the dialog lists the offered ones.
const std::vector<const TConditionMode*>& Modes();

}  // namespace veltrin
