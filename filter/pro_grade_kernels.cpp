#include "filter/pro_grade_kernels.h"

#include <algorithm>
#include <climits>

#include "common/lottery.h"

#if VELTRIN_LANE_KERNELS
#include <emmintrin.h>
#endif

namespace veltrin {

namespace {

// Longest bet (in codes) whose sum cannot overflow 32 bits: 255 per code.
constexpr size_t kMaxCodesFor32BitSum = size_t(INT32_MAX) / 255;

// The codes of a short bet as the kernels take them. With 64-bit registers
// all in one word, code k in byte k: the decoder builds it in a register
// and the kernels take it in one. With 32-bit registers such a word would
// be two registers and every shift would cross both, so there each code is
// a word of its own, stored by the decoder and read once by the kernel.
#if UINTPTR_MAX > 0xFFFFFFFFu
using BetCodes = uint64_t;
inline unsigned CodeOf(BetCodes codes, unsigned k) { return unsigned(codes >> (8 * k)) & 0xFFu; }
#else
using BetCodes = const uint32_t*;
inline unsigned CodeOf(BetCodes codes, unsigned k) { return codes[k]; }
#endif

// The failing count over conditions [c, end) of a bet of kCodes codes,
// stopping once it passes `limit`. Sums of at most 7 codes of at most 255
// fit in 32 bits.
template <unsigned kCodes>
int32_t CountPacked(const TCompiledCondition* c, const TCompiledCondition* end, BetCodes betCodes,
                    int32_t limit) noexcept {
  unsigned codes[kCodes > 0 ? kCodes : 1];
  for (unsigned k = 0; k < kCodes; ++k) codes[k] = CodeOf(betCodes, k);
  int32_t failed = 0;
  for (; c != end; ++c) {
    int32_t sum = 0;
    for (unsigned k = 0; k < kCodes; ++k) sum += c->Score[codes[k]];
    if (sum < c->Lower || sum > c->Upper) {
      if (++failed > limit) break;
    }
  }
  return failed;
}

using PackedKernel = int32_t (*)(const TCompiledCondition*, const TCompiledCondition*, BetCodes,
                                 int32_t) noexcept;
// Indexed by the digit count: n digits give n - 1 codes, the empty bet none.
constexpr PackedKernel kPackedKernels[kMaxPackedDigits + 1] = {
    CountPacked<0>, CountPacked<0>, CountPacked<1>, CountPacked<2>, CountPacked<3>,
    CountPacked<4>, CountPacked<5>, CountPacked<6>, CountPacked<7>,
};

// Scores every sample bet of kCodes codes (bet after bet in `codes`) under
// one condition into `histogram`, which covers every score possible.
template <unsigned kCodes>
void ScoreSampleOf(const TCompiledCondition& c, const uint8_t* codes, size_t bets,
                   int32_t* histogram) noexcept {
  for (size_t k = 0; k < bets; ++k, codes += kCodes) {
    int32_t sum = 0;
    for (unsigned j = 0; j < kCodes; ++j) sum += c.Score[codes[j]];
    ++histogram[sum];
  }
}

using SampleScorer = void (*)(const TCompiledCondition&, const uint8_t*, size_t, int32_t*) noexcept;
// Indexed by the code count.
constexpr SampleScorer kSampleScorers[kMaxPackedDigits] = {
    ScoreSampleOf<0>, ScoreSampleOf<1>, ScoreSampleOf<2>, ScoreSampleOf<3>,
    ScoreSampleOf<4>, ScoreSampleOf<5>, ScoreSampleOf<6>, ScoreSampleOf<7>,
};

#if VELTRIN_LANE_KERNELS
// The number of set bits of every byte value: failing lanes of a block.
struct TLaneCounts {
  uint8_t Of[256];
  constexpr TLaneCounts() : Of() {
    for (unsigned m = 0; m < 256; ++m)
      for (unsigned b = m; b; b >>= 1) Of[m] = uint8_t(Of[m] + (b & 1));
  }
};
constexpr TLaneCounts kLaneCounts;

inline __m128i Lanes(const int16_t (&v)[kLanes]) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(v));
}

// The failing lanes of one block for a bet of kCodes codes, whose rows start
// `rows[k]` bytes into the block.
template <unsigned kCodes>
int32_t FailingLanes(const TConditionBlock& b, const size_t (&rows)[kCodes]) noexcept {
  const char* base = reinterpret_cast<const char*>(b.Rows);
  // One chain of adds: a tree of partial sums would hold more rows at once
  // than the 32-bit build has vector registers.
  __m128i sum = _mm_load_si128(reinterpret_cast<const __m128i*>(base + rows[0]));
  for (unsigned k = 1; k < kCodes; ++k)
    sum = _mm_add_epi16(sum, _mm_load_si128(reinterpret_cast<const __m128i*>(base + rows[k])));
  const __m128i bad = _mm_cmpgt_epi16(_mm_add_epi16(sum, Lanes(b.Bias)), Lanes(b.Limit));
  // One bit per lane.
  return kLaneCounts.Of[_mm_movemask_epi8(_mm_packs_epi16(bad, _mm_setzero_si128()))];
}

// The failing count over blocks [b, end) for a bet of kCodes (1..7) codes,
// stopping once it passes `limit`. The count is tested every second block
// only: whether a bet fails is as unpredictable as the bets are, and a
// mispredicted test costs more than scoring eight more conditions.
template <unsigned kCodes>
int32_t CountLanes(const TConditionBlock* b, const TConditionBlock* end, BetCodes codes,
                   int32_t limit) noexcept {
  static_assert(kCodes >= 1 && kCodes <= 7, "sums must stay below the 16-bit clamps");
  size_t rows[kCodes];
  for (unsigned k = 0; k < kCodes; ++k) rows[k] = size_t(CodeOf(codes, k)) * sizeof b->Rows[0];
  int32_t failed = 0;
  if (b == end) return failed;
  for (;;) {
    failed += FailingLanes<kCodes>(*b, rows);
    if (++b == end) break;
    failed += FailingLanes<kCodes>(*b, rows);
    // One branch on both: at the last block it is taken whatever the count,
    // so a bet of a setting with one or two blocks meets no branch that
    // depends on it.
    if ((++b == end) | (failed > limit)) break;
  }
  return failed;
}

using LaneKernel = int32_t (*)(const TConditionBlock*, const TConditionBlock*, BetCodes,
                               int32_t) noexcept;
// Indexed by the digit count, from 2 digits (1 code) on.
constexpr LaneKernel kLaneKernels[kMaxPackedDigits + 1] = {
    nullptr,       nullptr,       CountLanes<1>, CountLanes<2>, CountLanes<3>,
    CountLanes<4>, CountLanes<5>, CountLanes<6>, CountLanes<7>,
};

// The lane form of a range, bounds clamped to 0..32767.
void SetRange(TConditionBlock& block, unsigned j, int32_t lower, int32_t upper) {
  const int32_t lo = std::min<int32_t>(std::max(lower, 0), 32767);
  const int32_t hi = std::min<int32_t>(std::max(upper, -1), 32767);
  if (hi < lo) {
    // No sum passes: every sum (0 or more) is above the least value.
    block.Bias[j] = 0;
    block.Limit[j] = INT16_MIN;
    return;
  }
  block.Bias[j] = int16_t(uint16_t(0x8000u - unsigned(lo)));
  block.Limit[j] = int16_t(hi - lo - 0x8000);
}

// The failing count over blocks [b, end) for a bet of any number of codes
// up to kMaxLaneCodes (longer than the unrolled kernels take): 16-bit lanes
// hold 128 codes of 255 without overflow, so the biased compare still holds.
int32_t CountLanesOfCodes(const TConditionBlock* b, const TConditionBlock* end,
                          const uint8_t* codes, size_t n, int32_t limit) noexcept {
  int32_t failed = 0;
  for (; b != end; ++b) {
    __m128i sum = Lanes(b->Rows[codes[0]]);
    for (size_t k = 1; k < n; ++k) sum = _mm_add_epi16(sum, Lanes(b->Rows[codes[k]]));
    const __m128i bad = _mm_cmpgt_epi16(_mm_add_epi16(sum, Lanes(b->Bias)), Lanes(b->Limit));
    failed += kLaneCounts.Of[_mm_movemask_epi8(_mm_packs_epi16(bad, _mm_setzero_si128()))];
    if (failed > limit) break;
  }
  return failed;
}

}  // namespace

std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>& conditions) {
  std::vector<TConditionBlock> blocks((conditions.size() + kLanes - 1) / kLanes);
  for (size_t b = 0; b < blocks.size(); ++b) {
    TConditionBlock& block = blocks[b];
    for (unsigned j = 0; j < kLanes; ++j) {
      const size_t i = b * kLanes + j;
      // A lane past the last condition scores 0 and passes every sum.
      if (i < conditions.size())
        SetRange(block, j, conditions[i].Lower, conditions[i].Upper);
      else
        SetRange(block, j, 0, 32767);
      for (unsigned k = 0; k < kTableCodes; ++k)
        block.Rows[k][j] = i < conditions.size() ? conditions[i].Score[k] : 0;
    }
  }
  return blocks;
}
#else
}  // namespace

std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>&) { return {}; }
#endif

bool DecodeBet(std::string_view bet, std::vector<uint8_t>& codes) noexcept {
  codes.clear();
  if (bet.empty()) return true;
  unsigned prev = unsigned(static_cast<unsigned char>(bet[0])) - '0';
  if (prev > 9) return false;
  for (size_t i = 1; i < bet.size(); ++i) {
    const unsigned d = unsigned(static_cast<unsigned char>(bet[i])) - '0';
    if (d > 9) return false;
    if (codes.size() == codes.capacity()) {
      // Only a bet longer than any before reaches here; a text that turns
      // out not to be a bet has cost no more than its digits so far.
      try {
        codes.reserve(codes.capacity() * 2 + 64);
      } catch (...) {
        return false;
      }
    }
    codes.push_back(uint8_t(PairCode(prev, d)));
    prev = d;
  }
  return true;
}

int64_t ScoreCompiled(const std::vector<uint8_t>& codes, const TCompiledCondition& c) {
  int64_t sum = 0;
  for (uint8_t code : codes) sum += c.Score[code];
  return sum;
}

void ScoreSample(const TCompiledCondition& c, size_t width, const uint8_t* codes, size_t bets,
                 int32_t* histogram) noexcept {
  kSampleScorers[width](c, codes, bets, histogram);
}

template <class Sum>
int32_t TProGradeFilter::CountOverCodes(int32_t limit) const noexcept {
  const uint8_t* codes = codes_.data();
  const size_t n = codes_.size();
  int32_t failed = 0;
  for (const TCompiledCondition& c : conditions_) {
    Sum sum = 0;
    for (size_t k = 0; k < n; ++k) sum += c.Score[codes[k]];
    if (sum < c.Lower || sum > c.Upper) {
      if (++failed > limit) break;
    }
  }
  return failed;
}

int32_t TProGradeFilter::CountFailedUpTo(const char* bet, int32_t limit) noexcept {
  // One test per character finds both the end of the text and a non-digit.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bet ? bet : "");
  unsigned n = 0;
#if UINTPTR_MAX > 0xFFFFFFFFu
  // Digit k goes to byte k.
  uint64_t digits = 0;
  for (;; ++n) {
    const unsigned d = unsigned(p[n]) - '0';
    if (d > 9) break;
    if (n == kMaxPackedDigits) return CountLongBet(bet, limit);
    digits |= uint64_t(d) << (8 * n);
  }
  if (p[n] != 0) return kBetInvalid;
  // Byte k becomes PairCode(digit k, digit k+1) = 10 x digit k + digit k+1,
  // code k, for all bytes at once; no byte carries (99 at most).
  const BetCodes codes = digits * 10 + (digits >> 8);
#else
  // Each digit after the first completes code n - 1.
  uint32_t codes[kMaxPackedDigits - 1];
  unsigned prev = unsigned(p[0]) - '0';
  if (prev <= 9) {
    for (n = 1;; ++n) {
      const unsigned d = unsigned(p[n]) - '0';
      if (d > 9) break;
      if (n == kMaxPackedDigits) return CountLongBet(bet, limit);
      codes[n - 1] = PairCode(prev, d);
      prev = d;
    }
  }
  if (p[n] != 0) return kBetInvalid;
#endif
  // With this many conditions a full count could meet the pass-through
  // value, so it must not stop early.
#if VELTRIN_LANE_KERNELS
  if (n >= 2) {
    if (blocks_.size() >= size_t(kVerdictPassThrough) / kLanes) limit = INT32_MAX;
    return kLaneKernels[n](blocks_.data(), blocks_.data() + blocks_.size(), codes, limit);
  }
#endif
  if (conditions_.size() >= size_t(kVerdictPassThrough)) limit = INT32_MAX;
  return kPackedKernels[n](conditions_.data(), conditions_.data() + conditions_.size(), codes,
                           limit);
}

int32_t TProGradeFilter::CountLongBet(const char* bet, int32_t limit) noexcept {
  if (!DecodeBet(bet, codes_)) return kBetInvalid;
  if (conditions_.size() >= size_t(kVerdictPassThrough)) limit = INT32_MAX;
  if (codes_.size() <= kMaxCodesFor32BitSum) return CountOverCodes<int32_t>(limit);
  return CountOverCodes<int64_t>(limit);
}

int32_t CountFailedCodes(const std::vector<TCompiledCondition>& conditions,
                         const std::vector<TConditionBlock>& blocks, const uint8_t* codes, size_t n,
                         int32_t limit) noexcept {
  if (conditions.size() >= size_t(kVerdictPassThrough)) limit = INT32_MAX;
  // The short bet in the kernels' own form for this register width.
#if UINTPTR_MAX > 0xFFFFFFFFu
  uint64_t packed = 0;
  if (n < kMaxPackedDigits)
    for (size_t k = 0; k < n; ++k) packed |= uint64_t(codes[k]) << (8 * k);
#else
  uint32_t words[kMaxPackedDigits] = {};
  if (n < kMaxPackedDigits)
    for (size_t k = 0; k < n; ++k) words[k] = codes[k];
  const BetCodes packed = words;
#endif
#if VELTRIN_LANE_KERNELS
  if (n >= 1 && n <= kMaxLaneCodes && blocks.size() * kLanes >= conditions.size()) {
    const TConditionBlock* b = blocks.data();
    if (n < kMaxPackedDigits) return kLaneKernels[n + 1](b, b + blocks.size(), packed, limit);
    return CountLanesOfCodes(b, b + blocks.size(), codes, n, limit);
  }
#else
  (void)blocks;
#endif
  const TCompiledCondition* c = conditions.data();
  if (n < kMaxPackedDigits) return kPackedKernels[n + 1](c, c + conditions.size(), packed, limit);
  int32_t failed = 0;
  for (; c != conditions.data() + conditions.size(); ++c) {
    int64_t sum = 0;
    for (size_t k = 0; k < n; ++k) sum += c->Score[codes[k]];
    if (!c->Passes(sum) && ++failed > limit) break;
  }
  return failed;
}

int32_t VELTRIN_API TProGradeFilter::CountFailed(const char* bet) noexcept {
  return CountFailedUpTo(bet, INT32_MAX);
}

}  // namespace veltrin
