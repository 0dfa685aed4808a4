// Condition insight over the engine's own parse and kernels.
#include "filter/insight.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "filter/insight_texts.h"
#include "filter/pro_grade_kernels.h"

#if VELTRIN_LANE_KERNELS
#include <emmintrin.h>
#endif

namespace veltrin {

// ---- explanations ----------------------------------------------------------

std::string FillText(std::string_view text, std::initializer_list<std::string> values) {
  std::string out;
  auto next = values.begin();
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != values.end()) {
      out += *next++;
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

const char* DiagCodeName(TDiagCode code) {
  switch (code) {
    case TDiagCode::BadScore:
      return "bad-score";
    case TDiagCode::BadCode:
      return "bad-code";
    case TDiagCode::BadLower:
      return "bad-lower";
    case TDiagCode::BadUpper:
      return "bad-upper";
    case TDiagCode::BlankText:
      return "blank-text";
    case TDiagCode::NoConditions:
      return "no-conditions";
    case TDiagCode::ModeUnknown:
      return "mode-unknown";
    case TDiagCode::ModeGroup:
      return "mode-group";
    case TDiagCode::ModeBlanks:
      return "mode-blanks";
    case TDiagCode::NoColon:
      return "no-colon";
    case TDiagCode::OneColon:
      return "one-colon";
    case TDiagCode::TableEmpty:
      return "table-empty";
    case TDiagCode::GroupNoEquals:
      return "group-no-equals";
    case TDiagCode::ScoreWraps:
      return "score-wraps";
    case TDiagCode::CodeNotTwoDigits:
      return "code-not-two-digits";
    case TDiagCode::CodeSeparator:
      return "code-separator";
    case TDiagCode::CodeLeftover:
      return "code-leftover";
    case TDiagCode::CodeOutside:
      return "code-outside";
    case TDiagCode::CodeRepeated:
      return "code-repeated";
    case TDiagCode::RangeNoDash:
      return "range-no-dash";
    case TDiagCode::RangeReversed:
      return "range-reversed";
    case TDiagCode::RangeKeepsNothing:
      return "range-keeps-nothing";
    case TDiagCode::RangeKeepsAll:
      return "range-keeps-all";
    case TDiagCode::LineBlanks:
      return "line-blanks";
    case TDiagCode::EmptyLine:
      return "empty-line";
    case TDiagCode::SupToleranceLine:
      return "sup-tolerance-line";
    case TDiagCode::ToleranceNotFirst:
      return "tolerance-not-first";
    case TDiagCode::ToleranceUnread:
      return "tolerance-unread";
    case TDiagCode::ToleranceLeftOn:
      return "tolerance-left-on";
    case TDiagCode::ToleranceSeparator:
      return "tolerance-separator";
    case TDiagCode::ToleranceLongUpper:
      return "tolerance-long-upper";
    case TDiagCode::ToleranceAboveCount:
      return "tolerance-above-count";
    case TDiagCode::ToleranceKeepsNothing:
      return "tolerance-keeps-nothing";
  }
  return "unknown";
}

const char* FieldName(TField field) {
  switch (field) {
    case TField::Line:
      return "line";
    case TField::Mode:
      return "mode";
    case TField::Table:
      return "table";
    case TField::Range:
      return "range";
    case TField::Tolerance:
      return "tolerance";
  }
  return "line";
}

const char* SeverityName(TSeverity severity) {
  return severity == TSeverity::Invalid ? "invalid" : "warning";
}

const char* LineKindName(TLineKind kind) {
  switch (kind) {
    case TLineKind::Condition:
      return "condition";
    case TLineKind::Tolerance:
      return "tolerance";
    case TLineKind::Ignored:
      return "ignored";
  }
  return "condition";
}

bool TLineExplanation::Invalid() const {
  for (const TDiagnostic& d : Diagnostics)
    if (d.Severity == TSeverity::Invalid) return true;
  return false;
}

int32_t TTextExplanation::ConditionCount() const {
  int32_t n = 0;
  for (const TLineExplanation& l : Lines) n += l.Condition >= 0;
  return n;
}

const TDiagnostic* TTextExplanation::FirstInvalid(int32_t* line) const {
  for (const TLineExplanation& l : Lines)
    for (const TDiagnostic& d : l.Diagnostics)
      if (d.Severity == TSeverity::Invalid) {
        if (line) *line = l.Number;
        return &d;
      }
  for (const TDiagnostic& d : Diagnostics)
    if (d.Severity == TSeverity::Invalid) {
      if (line) *line = 0;
      return &d;
    }
  return nullptr;
}

TTextExplanation ExplainConditionText(std::string_view text, int32_t digits,
                                      std::vector<TScoreDistribution>* distributions) {
  TTextExplanation ex;
  TFraming framing;
  std::vector<TCompiledCondition> compiled;
  CompileConditionText(text, framing, compiled, &ex);
  if (distributions) distributions->clear();
  if (digits <= 0) return ex;
  digits = std::min(digits, 100);
  for (TLineExplanation& l : ex.Lines) {
    if (l.Condition < 0) continue;
    TScoreDistribution dist = ScoreDistribution(l.Compiled, digits);
    if (distributions) distributions->push_back(dist);
    if (l.Compiled.Lower > l.Compiled.Upper) continue;
    const TBigCount kept = dist.Between(l.Compiled.Lower, l.Compiled.Upper);
    const std::string range =
        std::to_string(l.Compiled.Lower) + "-" + std::to_string(l.Compiled.Upper);
    const std::initializer_list<std::string> values = {
        std::to_string(digits), std::to_string(dist.MinScore()), std::to_string(dist.MaxScore())};
    TDiagnostic d;
    d.Field = TField::Range;
    d.Text = range;
    if (kept.IsZero()) {
      d.Code = TDiagCode::RangeKeepsNothing;
      d.Message = FillText(kTxtDiagRangeKeepsNothing, values);
    } else if (kept == dist.Total()) {
      d.Code = TDiagCode::RangeKeepsAll;
      d.Message = FillText(kTxtDiagRangeKeepsAll, values);
    } else {
      continue;
    }
    l.Diagnostics.push_back(std::move(d));
  }
  return ex;
}

// ---- exact counts ----------------------------------------------------------

TBigCount& TBigCount::operator+=(const TBigCount& o) {
  uint64_t carry = 0;
  for (size_t i = 0; i < w_.size(); ++i) {
    const uint64_t a = w_[i] + carry;
    carry = a < carry;
    w_[i] = a + o.w_[i];
    carry += w_[i] < a;
  }
  return *this;
}

bool TBigCount::IsZero() const {
  for (uint64_t v : w_)
    if (v) return false;
  return true;
}

bool TBigCount::Fits64() const {
  for (size_t i = 1; i < w_.size(); ++i)
    if (w_[i]) return false;
  return true;
}

namespace {

// The count as 32-bit halves, low first, for arithmetic without a 128-bit type.
using THalves = std::array<uint32_t, 2 * TBigCount::kWords>;

THalves ToHalves(const TBigCount& c) {
  THalves h{};
  for (int i = 0; i < TBigCount::kWords; ++i) {
    h[size_t(2 * i)] = uint32_t(c.Word(i));
    h[size_t(2 * i + 1)] = uint32_t(c.Word(i) >> 32);
  }
  return h;
}

TBigCount FromHalves(const THalves& h) {
  TBigCount c;
  for (int i = 0; i < TBigCount::kWords; ++i)
    c.SetWord(i, uint64_t(h[size_t(2 * i)]) | (uint64_t(h[size_t(2 * i + 1)]) << 32));
  return c;
}

}  // namespace

TBigCount TBigCount::PowerOf10(int32_t n) {
  THalves h{};
  h[0] = 1;
  for (int32_t k = 0; k < std::min(n, 115); ++k) {
    uint64_t carry = 0;
    for (uint32_t& v : h) {
      const uint64_t x = uint64_t(v) * 10 + carry;
      v = uint32_t(x);
      carry = x >> 32;
    }
  }
  return FromHalves(h);
}

double TBigCount::ToDouble() const {
  double v = 0;
  for (int i = kWords - 1; i >= 0; --i) v = v * 18446744073709551616.0 + double(w_[size_t(i)]);
  return v;
}

std::string TBigCount::ToString() const {
  THalves h = ToHalves(*this);
  std::string digits;
  for (;;) {
    bool zero = true;
    uint64_t rem = 0;
    for (size_t i = h.size(); i-- > 0;) {
      const uint64_t x = (rem << 32) | h[i];
      h[i] = uint32_t(x / 1000000000u);
      rem = x % 1000000000u;
      zero &= h[i] == 0;
    }
    char chunk[16];
    for (int k = 0; k < 9; ++k) {
      chunk[k] = char('0' + rem % 10);
      rem /= 10;
    }
    digits.append(chunk, 9);
    if (zero) break;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::string ShareOfPowerOf10(const TBigCount& count, int32_t digits) {
  std::string s = count.ToString();
  if (digits <= 0) return s;
  if (s.size() <= size_t(digits)) s.insert(0, size_t(digits) + 1 - s.size(), '0');
  s.insert(s.size() - size_t(digits), 1, '.');
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

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
  uint64_t carry = 0;
  for (int i = 0; i < W; ++i) {
    const uint64_t x = a.Word[i] + carry;
    carry = x < carry;
    a.Word[i] = x + b.Word[i];
    carry += a.Word[i] < x;
  }
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

// ---- the whole setting -------------------------------------------------------

namespace {

// splitmix64: a fixed, portable sequence, so that an estimate is the same on
// every machine and every run.
struct TSampler {
  uint64_t State;
  uint64_t Next() {
    uint64_t z = (State += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
};

}  // namespace

TSettingCount CountSetting(TProGradeFilter& prepared, int32_t digits) {
  TSettingCount r;
  digits = std::clamp(digits, 1, 100);
  const size_t conditions = prepared.Conditions().size();
  r.FailHistogram.assign(conditions + 1, 0);
  const uint64_t blocks = std::max<uint64_t>(1, (conditions + 7) / 8);
  uint64_t candidates = 1;
  for (int32_t i = 0; i < digits && i < 19; ++i) candidates *= 10;
  std::string bet(size_t(digits), '0');
  auto evaluate = [&](uint64_t& kept) {
    const int32_t failed = prepared.CountFailed(bet.c_str());
    if (failed < 0) return;
    ++r.FailHistogram[size_t(std::min<int32_t>(failed, int32_t(conditions)))];
    if (prepared.MapVerdict(failed) == kVerdictKeep) ++kept;
  };
  uint64_t kept = 0;
  if (digits <= 18 && candidates <= kExactWorkLimit / blocks) {
    r.Exact = true;
    for (uint64_t k = 0; k < candidates; ++k) {
      evaluate(kept);
      for (int32_t d = digits - 1; d >= 0 && ++bet[size_t(d)] > '9'; --d) bet[size_t(d)] = '0';
    }
    r.Sample = candidates;
  } else {
    r.Seed = kSampleSeed;
    TSampler rng{kSampleSeed};
    for (uint64_t k = 0; k < kSampleSize; ++k) {
      uint64_t v = 0;
      for (int32_t d = 0; d < digits; ++d) {
        // A digit from 32 random bits by multiplying: every digit equally
        // likely to within 10 / 2^32.
        if (d % 2 == 0) v = rng.Next();
        bet[size_t(d)] = char('0' + ((v & 0xFFFFFFFFu) * 10 >> 32));
        v >>= 32;
      }
      evaluate(kept);
    }
    r.Sample = kSampleSize;
  }
  r.Kept = TBigCount(kept);
  r.Share = r.Sample ? double(kept) / double(r.Sample) : 0;
  if (!r.Exact) {
    // 99%: the normal bound, and never below the bound of a share that the
    // sample saw no (or only) kept bets of.
    const double n = double(r.Sample);
    r.Bound = std::max(2.5758293035489 * std::sqrt(r.Share * (1 - r.Share) / n), 4.6052 / n);
  }
  return r;
}

// ---- history ---------------------------------------------------------------

THistoryHits HistoryHits(const TProGradeFilter& prepared, const std::vector<THistoryDraw>& draws,
                         int32_t last) {
  THistoryHits h;
  const std::vector<TCompiledCondition>& conditions = prepared.Conditions();
  h.Conditions = conditions.size();
  std::vector<std::vector<uint8_t>> codes;
  std::vector<uint8_t> scratch;
  for (size_t i = draws.size(); i-- > 0;) {
    if (last > 0 && h.Draws.size() >= size_t(last)) break;
    if (draws[i].Digits.empty() || !DecodeBet(draws[i].Digits, scratch)) continue;
    h.Draws.push_back(&draws[i]);
    codes.push_back(scratch);
  }
  const size_t n = h.Draws.size();
  h.scores_.assign(conditions.size() * n, 0);
  h.passes_.assign(conditions.size() * n, 0);
  h.Hits.assign(conditions.size(), 0);
  h.Failed.assign(n, 0);
  h.Kept.assign(n, 0);
  for (size_t c = 0; c < conditions.size(); ++c) {
    for (size_t j = 0; j < n; ++j) {
      const int64_t score = ScoreCompiled(codes[j], conditions[c]);
      const bool passes = conditions[c].Passes(score);
      h.scores_[c * n + j] = int32_t(std::min<int64_t>(score, INT32_MAX));
      h.passes_[c * n + j] = passes;
      h.Hits[c] += passes;
      h.Failed[j] += !passes;
    }
  }
  for (size_t j = 0; j < n; ++j) h.Kept[j] = prepared.MapVerdict(h.Failed[j]) == kVerdictKeep;
  return h;
}

}  // namespace veltrin
