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

// The failing count over conditions [c, end), stopping once it passes
// `limit`. `packed` holds code k in byte k. Sums of at most 7 codes of at
// most 255 fit in 32 bits.
template <unsigned kCodes>
int32_t CountPacked(const TCompiledCondition* c, const TCompiledCondition* end, uint64_t packed,
                    int32_t limit) noexcept {
  uint8_t codes[kCodes > 0 ? kCodes : 1];
  for (unsigned k = 0; k < kCodes; ++k) codes[k] = uint8_t(packed >> (8 * k));
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

using PackedKernel = int32_t (*)(const TCompiledCondition*, const TCompiledCondition*, uint64_t,
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
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v));
}

// The failing lanes of one block for a bet of kCodes codes.
template <unsigned kCodes>
int32_t FailingLanes(const TConditionBlock& b, const unsigned (&codes)[kCodes]) noexcept {
  __m128i sum = Lanes(b.Rows[codes[0]]);
  for (unsigned k = 1; k < kCodes; ++k) sum = _mm_add_epi16(sum, Lanes(b.Rows[codes[k]]));
  const __m128i bad =
      _mm_or_si128(_mm_cmplt_epi16(sum, Lanes(b.Lower)), _mm_cmpgt_epi16(sum, Lanes(b.Upper)));
  // One bit per lane.
  return kLaneCounts.Of[_mm_movemask_epi8(_mm_packs_epi16(bad, _mm_setzero_si128()))];
}

// The failing count over blocks [b, end) for a bet of kCodes (1..7) codes,
// stopping once it passes `limit`. The count is tested every second block
// only: whether a bet fails is as unpredictable as the bets are, and a
// mispredicted test costs more than scoring eight more conditions.
template <unsigned kCodes>
int32_t CountLanes(const TConditionBlock* b, const TConditionBlock* end, uint64_t packed,
                   int32_t limit) noexcept {
  static_assert(kCodes >= 1 && kCodes <= 7, "sums must stay below the 16-bit clamps");
  unsigned codes[kCodes];
  for (unsigned k = 0; k < kCodes; ++k) codes[k] = unsigned(packed >> (8 * k)) & 0xFFu;
  int32_t failed = 0;
  if (b == end) return failed;
  for (;;) {
    failed += FailingLanes<kCodes>(*b, codes);
    if (++b == end) break;
    failed += FailingLanes<kCodes>(*b, codes);
    // One branch on both: at the last block it is taken whatever the count,
    // so a bet of a setting with one or two blocks meets no branch that
    // depends on it.
    if ((++b == end) | (failed > limit)) break;
  }
  return failed;
}

using LaneKernel = int32_t (*)(const TConditionBlock*, const TConditionBlock*, uint64_t,
                               int32_t) noexcept;
// Indexed by the digit count, from 2 digits (1 code) on.
constexpr LaneKernel kLaneKernels[kMaxPackedDigits + 1] = {
    nullptr,       nullptr,       CountLanes<1>, CountLanes<2>, CountLanes<3>,
    CountLanes<4>, CountLanes<5>, CountLanes<6>, CountLanes<7>,
};

// The failing count over blocks [b, end) for a bet of any number of codes
// up to kMaxLaneCodes (longer than the unrolled kernels take): 16-bit lanes
// hold 128 codes of 255 without overflow.
int32_t CountLanesOfCodes(const TConditionBlock* b, const TConditionBlock* end,
                          const uint8_t* codes, size_t n, int32_t limit) noexcept {
  int32_t failed = 0;
  for (; b != end; ++b) {
    __m128i sum = Lanes(b->Rows[codes[0]]);
    for (size_t k = 1; k < n; ++k) sum = _mm_add_epi16(sum, Lanes(b->Rows[codes[k]]));
    const __m128i bad =
        _mm_or_si128(_mm_cmplt_epi16(sum, Lanes(b->Lower)), _mm_cmpgt_epi16(sum, Lanes(b->Upper)));
    failed += kLaneCounts.Of[_mm_movemask_epi8(_mm_packs_epi16(bad, _mm_setzero_si128()))];
    if (failed > limit) break;
  }
  return failed;
}

int16_t Clamp16(int32_t v, int32_t lo) {
  return int16_t(std::min<int32_t>(std::max(v, lo), 32767));
}

}  // namespace

std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>& conditions) {
  std::vector<TConditionBlock> blocks((conditions.size() + kLanes - 1) / kLanes);
  for (size_t b = 0; b < blocks.size(); ++b) {
    TConditionBlock& block = blocks[b];
    for (unsigned j = 0; j < kLanes; ++j) {
      const size_t i = b * kLanes + j;
      // A lane past the last condition scores 0 and passes every sum.
      block.Lower[j] = i < conditions.size() ? Clamp16(conditions[i].Lower, 0) : 0;
      block.Upper[j] = i < conditions.size() ? Clamp16(conditions[i].Upper, -1) : 32767;
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
  // Digit k goes to byte k; one test per character finds both the end of
  // the text and a non-digit.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bet ? bet : "");
  uint64_t digits = 0;
  unsigned n = 0;
  for (;; ++n) {
    const unsigned d = unsigned(p[n]) - '0';
    if (d > 9) break;
    if (n == kMaxPackedDigits) return CountLongBet(bet, limit);
    digits |= uint64_t(d) << (8 * n);
  }
  if (p[n] != 0) return kBetInvalid;
  // Byte k becomes PairCode(digit k, digit k+1) = 10 x digit k + digit k+1,
  // code k, for all bytes at once; no byte carries (99 at most).
  const uint64_t codes = digits * 10 + (digits >> 8);
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
  uint64_t packed = 0;
  if (n < kMaxPackedDigits)
    for (size_t k = 0; k < n; ++k) packed |= uint64_t(codes[k]) << (8 * k);
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
