// Generated data shared by every benchmark of one configuration: condition
// texts as the settings dialog writes them, the same conditions as plain
// lookup tables, and random bets both as texts and as code arrays.
//
// Everything is derived from fixed seeds, so every run measures the same
// work. Score tables give each code a score of 0..10; each condition's range
// is fitted to the bet pool by the batch assistant's own trimming so that it
// keeps about 93 % of the bets, which keeps early exits realistic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace veltrin::bench {

// Bets per evaluation block: large enough that branch history cannot learn
// them, small enough that texts and code arrays stay in the L2 cache.
inline constexpr size_t kBetPoolSize = 16384;
// Share of the pool that each condition's range keeps (1/10000 units).
inline constexpr int64_t kConditionKeepShare = 9300;

// One condition as plain data: the score of every code, and the range.
struct PlainCondition {
  uint8_t Score[100];
  int32_t Lower;
  int32_t Upper;
};

struct Workload {
  int Digits = 0;
  int CodeCount = 0;  // Digits - 1
  int Conditions = 0;
  bool Tolerance = false;
  int32_t TolMin = 0;
  int32_t TolMax = 0;

  // What the host hands over with SetFilterStr: an optional tolerance line,
  // then one condition line per line, each ended by CR LF.
  std::string ConditionText;
  std::vector<std::string> ConditionLines;
  std::vector<PlainCondition> Plain;

  size_t BetCount = 0;
  // BetCount zero-terminated texts of Digits characters, BetStride apart.
  std::vector<char> BetTexts;
  size_t BetStride = 0;
  // BetCount x CodeCount codes, bet after bet.
  std::vector<uint8_t> BetCodes;

  const char* BetText(size_t i) const { return BetTexts.data() + i * BetStride; }
  const uint8_t* BetCodesOf(size_t i) const { return BetCodes.data() + i * size_t(CodeCount); }
};

// The evaluation workload of `digits` digits, `conditions` conditions and an
// optional tolerance line "E|0-t" with t = max(1, conditions / 10). Built on
// first use and kept for the whole run; the conditions of a smaller count are
// the first ones of a larger count.
const Workload& EvaluationWorkload(int digits, int conditions, bool tolerance);

// The batch workload: `conditions` condition lines and `bets` sample bet
// texts of `digits` digits.
struct BatchWorkload {
  int Digits = 0;
  int CodeCount = 0;
  int64_t KeepShare = 0;
  std::vector<std::string> ConditionLines;
  std::vector<PlainCondition> Plain;
  std::vector<std::string> BetTexts;
  std::vector<uint8_t> BetCodes;  // bet after bet, CodeCount each
};
const BatchWorkload& BatchAideWorkload(int digits, int conditions, int bets);

// A score-table text as the grid writes it: "0=<codes>,1=<codes>,...,100="
// with every code in the group of its score, codes ascending.
std::string GridTableText(const uint8_t (&scores)[100]);

}  // namespace veltrin::bench
