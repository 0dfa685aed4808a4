// Exact score distributions by dynamic programming over the digit positions.
#include "filter/score_distribution.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

#include "filter/pro_grade_kernels.h"

#if VELTRIN_LANE_KERNELS
#include <emmintrin.h>
#endif

namespace veltrin {

namespace {

// A count of W 64-bit words, for the distributions that outgrow 64 bits.
template <int W>
struct TWide {
  uint64_t Word[W];
};

// dst[j] = the sum over d of src[d][j], j in [0, n): one output row of a
// step from the ten rows of the step before, each read at its code's shift.
template <class Count>
inline void GatherRow(Count* dst, const Count* const (&src)[10], size_t n) {
  for (size_t j = 0; j < n; ++j) {
    Count sum = src[0][j];
    for (int d = 1; d < 10; ++d) sum += src[d][j];
    dst[j] = sum;
  }
}

#if VELTRIN_LANE_KERNELS
// Four 32-bit (two 64-bit) counts per instruction.
inline __m128i Load(const void* p) { return _mm_loadu_si128(static_cast<const __m128i*>(p)); }

template <>
inline void GatherRow<uint32_t>(uint32_t* dst, const uint32_t* const (&src)[10], size_t n) {
  size_t j = 0;
  for (; j + 4 <= n; j += 4) {
    __m128i sum = Load(src[0] + j);
    for (int d = 1; d < 10; ++d) sum = _mm_add_epi32(sum, Load(src[d] + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + j), sum);
  }
  for (; j < n; ++j) {
    uint32_t sum = 0;
    for (int d = 0; d < 10; ++d) sum += src[d][j];
    dst[j] = sum;
  }
}

template <>
inline void GatherRow<uint64_t>(uint64_t* dst, const uint64_t* const (&src)[10], size_t n) {
  size_t j = 0;
  for (; j + 2 <= n; j += 2) {
    __m128i sum = Load(src[0] + j);
    for (int d = 1; d < 10; ++d) sum = _mm_add_epi64(sum, Load(src[d] + j));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + j), sum);
  }
  for (; j < n; ++j) {
    uint64_t sum = 0;
    for (int d = 0; d < 10; ++d) sum += src[d][j];
    dst[j] = sum;
  }
}
#endif

template <int W>
inline TWide<W>& operator+=(TWide<W>& a, const TWide<W>& b) {
  AddWords(a.Word, b.Word, W);
  return a;
}

template <class Count>
Count One() {
  Count c{};
  if constexpr (std::is_integral_v<Count>)
    c = 1;
  else
    c.Word[0] = 1;
  return c;
}

template <class Count>
void StoreWords(const Count& c, uint64_t* out, int width) {
  if constexpr (std::is_integral_v<Count>) {
    out[0] = c;
    (void)width;
  } else {
    for (int i = 0; i < width; ++i) out[i] = c.Word[i];
  }
}

// Counts of N-digit texts by (last digit, running sum), one position at a
// time; `out` gets `width` words per score, scores 0..max. Each row (one
// last digit) has `top` zeros before score 0, so that a row of the next step
// reads the rows of this one at any code's shift without a bounds test;
// each step rewrites every row up to the highest sum it can reach, which
// only grows, so no row keeps a count of an earlier step.
template <class Count>
void Distribute(const TCompiledCondition& c, int32_t digits, int width,
                std::vector<uint64_t>& out) {
  size_t top = 0;
  for (uint8_t s : c.Score) top = std::max<size_t>(top, s);
  const size_t len = size_t(digits - 1) * top + 1;
  const size_t stride = top + len;
  std::vector<Count> cur(10 * stride, Count{}), next(10 * stride, Count{});
  for (int d = 0; d < 10; ++d) cur[size_t(d) * stride + top] = One<Count>();
  size_t high = 0;  // the highest sum reached so far
  for (int32_t step = 1; step < digits; ++step) {
    const size_t reach = high + top;
    for (int e = 0; e < 10; ++e) {
      const Count* src[10];
      for (int d = 0; d < 10; ++d)
        src[d] = cur.data() + size_t(d) * stride + top - c.Score[size_t(10 * d + e)];
      GatherRow(next.data() + size_t(e) * stride + top, src, reach + 1);
    }
    cur.swap(next);
    high = reach;
  }
  std::vector<Count> total(high + 1, Count{});
  for (int d = 0; d < 10; ++d)
    for (size_t j = 0; j <= high; ++j) total[j] += cur[size_t(d) * stride + top + j];
  // Scores past the highest one reached have no entry.
  size_t maxScore = high;
  std::vector<uint64_t> words(size_t(width), 0);
  while (maxScore > 0) {
    StoreWords(total[maxScore], words.data(), width);
    if (std::any_of(words.begin(), words.end(), [](uint64_t v) { return v != 0; })) break;
    --maxScore;
  }
  out.assign((maxScore + 1) * size_t(width), 0);
  for (size_t s = 0; s <= maxScore; ++s)
    StoreWords(total[s], out.data() + s * size_t(width), width);
}

}  // namespace

TScoreDistribution ScoreDistribution(const TCompiledCondition& condition, int32_t digits) {
  TScoreDistribution d;
  d.digits_ = std::clamp(digits, 1, 100);
  // 10^9 and 10^19 are the largest powers of ten below 2^32 and 2^64; wider
  // counts take as many words as 10^N needs.
  if (d.digits_ <= 9) {
    Distribute<uint32_t>(condition, d.digits_, 1, d.counts_);
    return d;
  }
  if (d.digits_ <= 19) {
    Distribute<uint64_t>(condition, d.digits_, 1, d.counts_);
    return d;
  }
  const int bits = int(std::ceil(d.digits_ * 3.3219280948873623)) + 1;
  d.width_ = (bits + 63) / 64;
  switch (d.width_) {
    case 2:
      Distribute<TWide<2>>(condition, d.digits_, 2, d.counts_);
      break;
    case 3:
      Distribute<TWide<3>>(condition, d.digits_, 3, d.counts_);
      break;
    case 4:
      Distribute<TWide<4>>(condition, d.digits_, 4, d.counts_);
      break;
    case 5:
      Distribute<TWide<5>>(condition, d.digits_, 5, d.counts_);
      break;
    default:
      d.width_ = 6;
      Distribute<TWide<6>>(condition, d.digits_, 6, d.counts_);
      break;
  }
  return d;
}

TBigCount TScoreDistribution::At(int64_t score) const {
  TBigCount c;
  if (score < 0 || score > MaxScore()) return c;
  const uint64_t* w = counts_.data() + size_t(score) * size_t(width_);
  for (int i = 0; i < width_; ++i) c.SetWord(i, w[i]);
  return c;
}

int32_t TScoreDistribution::MinScore() const {
  for (int32_t s = 0; s <= MaxScore(); ++s)
    if (!At(s).IsZero()) return s;
  return 0;
}

TBigCount TScoreDistribution::Between(int64_t lo, int64_t hi) const {
  TBigCount sum;
  lo = std::max<int64_t>(lo, 0);
  hi = std::min<int64_t>(hi, MaxScore());
  if (width_ == 1) {
    uint64_t s = 0;
    for (int64_t k = lo; k <= hi; ++k) s += counts_[size_t(k)];
    return TBigCount(s);
  }
  for (int64_t k = lo; k <= hi; ++k) sum += At(k);
  return sum;
}

double TScoreDistribution::Share(int64_t lo, int64_t hi) const {
  return Between(lo, hi).ToDouble() / Total().ToDouble();
}

}  // namespace veltrin
