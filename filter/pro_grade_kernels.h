// The scoring kernels of TProGradeFilter, private to the filter: the bet
// decoder, the lane layout of prepared conditions and the sample scorer of
// the batch assistant.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

// Vector instructions score conditions in blocks; VELTRIN_NO_LANE_KERNELS
// keeps the scalar kernels (to measure or test them on any machine).
#if defined(__SSE2__) && !defined(VELTRIN_NO_LANE_KERNELS)
#define VELTRIN_LANE_KERNELS 1
#endif

#include "filter/pro_grade.h"

namespace veltrin {

// Bets of up to this many digits (7 codes) are decoded into one 64-bit
// word (one 32-bit word per code in 32-bit builds) and scored by kernels
// unrolled for their exact code count: a runtime-length inner loop costs
// more than the few lookups it does.
inline constexpr unsigned kMaxPackedDigits = 8;

#if VELTRIN_LANE_KERNELS
// Conditions per block, one 16-bit lane each.
inline constexpr unsigned kLanes = 8;
inline constexpr unsigned kTableCodes = 100;

// Eight prepared conditions scored at once: the bet's codes index rows that
// hold the code's score under each condition of the block, so a block costs
// one add per code and no branch. Aligned to 16 bytes (C++17 aligned
// allocation, whatever the heap's own alignment) so that each row is an
// operand of the add itself: the 32-bit build has eight vector registers
// and no register to spare for a separate load.
struct alignas(16) TConditionBlock {
  int16_t Rows[kTableCodes][kLanes];  // Rows[k][j]: the score of code k under condition j
  // The range test as one signed compare: a sum fails when
  // sum + Bias > Limit (16-bit wrapping add). Bias = 0x8000 - Lower and
  // Limit = Upper - Lower - 0x8000 map Lower..Upper onto -0x8000..Limit and
  // every sum below Lower above it. Sums of at most 7 codes (1785) stay far
  // inside the 16-bit bounds, which are clamped to 0..32767.
  int16_t Bias[kLanes];
  int16_t Limit[kLanes];
};
#else
// Without vector instructions the blocks are not built.
struct TConditionBlock {};
#endif

// The codes of a digit text (code k: 10 x digit k + digit k+1) into `codes`;
// false when the text holds anything but digits, or memory runs out. The
// vector keeps its capacity, so decoding bets no longer than one before
// allocates nothing.
bool DecodeBet(std::string_view bet, std::vector<uint8_t>& codes) noexcept;

// The lane layout of the prepared conditions; empty without vector
// instructions.
std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>& conditions);

// The score of a bet's codes under one prepared condition.
int64_t ScoreCompiled(const std::vector<uint8_t>& codes, const TCompiledCondition& c);

// Counts every sample bet's score under `c` into `histogram`, which must
// cover every score possible: `codes` holds `bets` bets of `width` codes
// each, bet after bet; `width` is below kMaxPackedDigits.
void ScoreSample(const TCompiledCondition& c, size_t width, const uint8_t* codes, size_t bets,
                 int32_t* histogram) noexcept;

// The longest bet, in codes, that CountFailedCodes scores in 16-bit lanes.
inline constexpr size_t kMaxLaneCodes = 128;

// The failing count of a bet given as its `n` codes under prepared
// `conditions` and their lane layout `blocks` (BuildBlocks), stopping once
// it passes `limit`: what CountFailedUpTo answers for the bet's text, for
// callers that make codes without a text (counting every candidate).
int32_t CountFailedCodes(const std::vector<TCompiledCondition>& conditions,
                         const std::vector<TConditionBlock>& blocks, const uint8_t* codes, size_t n,
                         int32_t limit) noexcept;

struct TTextExplanation;

// The parse and compile step of Prepare: frames `text`, parses every
// condition line and compiles it. False when the text is invalid; without a
// sink it stops at the first invalid line. With a sink it reads every line
// to its end and records what each line is and every diagnostic, with the
// same result.
bool CompileConditionText(std::string_view text, TFraming& framing,
                          std::vector<TCompiledCondition>& compiled, TTextExplanation* sink);

}  // namespace veltrin
