#include "filter/setting_count.h"

#include <algorithm>
#include <climits>

#include "filter/binomial.h"
#include "filter/pro_grade_kernels.h"
#include "filter/score_distribution.h"

namespace veltrin {

double TSettingCount::HalfWidth() const { return std::max(Share - Lo, Hi - Share); }

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

// Lane operations per bet: what one more candidate costs.
uint64_t CostPerBet(const TProGradeFilter& f, int32_t digits) {
  const uint64_t blocks = std::max<uint64_t>(1, (f.Conditions().size() + 7) / 8);
  return blocks * uint64_t(std::max(digits - 1, 1));
}

uint64_t SampleLimit(const TProGradeFilter& f, int32_t digits) {
  return std::clamp(kSampleWorkLimit / CostPerBet(f, digits), kSampleMinimum, kSampleSize);
}

// Scores bets given as codes and tallies failures and kept bets.
class TTally {
 public:
  TTally(TProGradeFilter& f, int32_t digits)
      : f_(f), codes_(size_t(std::max(digits - 1, 0))), fails_(f.Conditions().size() + 1, 0) {}
  uint8_t* Codes() { return codes_.data(); }
  void Score() {
    const int32_t failed =
        CountFailedCodes(f_.Conditions(), f_.Blocks(), codes_.data(), codes_.size(), INT32_MAX);
    ++fails_[size_t(std::min<int64_t>(failed, int64_t(fails_.size()) - 1))];
    kept_ += f_.MapVerdict(failed) == kVerdictKeep;
    ++scored_;
  }
  uint64_t Kept() const { return kept_; }
  uint64_t Scored() const { return scored_; }
  void Into(TSettingCount& r) const {
    r.Kept = TBigCount(kept_);
    r.FailHistogram.assign(fails_.size(), TBigCount());
    for (size_t k = 0; k < fails_.size(); ++k) r.FailHistogram[k] = TBigCount(fails_[k]);
  }

 private:
  TProGradeFilter& f_;
  std::vector<uint8_t> codes_;
  std::vector<uint64_t> fails_;
  uint64_t kept_ = 0, scored_ = 0;
};

// One condition: its distribution says how many candidates pass and fail it.
TSettingCount CountOneCondition(const TProGradeFilter& f, int32_t digits) {
  TSettingCount r;
  r.Exact = true;
  const TCompiledCondition& c = f.Conditions()[0];
  const TScoreDistribution dist = ScoreDistribution(c, digits);
  TBigCount pass, fail;
  if (c.Lower <= c.Upper) pass = dist.Between(c.Lower, c.Upper);
  for (int32_t s = 0; s <= dist.MaxScore(); ++s)
    if (!c.Passes(s)) fail += dist.At(s);
  r.FailHistogram = {pass, fail};
  if (f.MapVerdict(0) == kVerdictKeep) r.Kept += pass;
  if (f.MapVerdict(1) == kVerdictKeep) r.Kept += fail;
  r.Share = r.Kept.ToDouble() / dist.Total().ToDouble();
  r.Lo = r.Hi = r.Share;
  return r;
}

}  // namespace

TSettingCount CountSettingExact(TProGradeFilter& prepared, int32_t digits,
                                const TCountProgress& progress) {
  digits = std::clamp(digits, 1, 18);
  TTally tally(prepared, digits);
  const size_t n = size_t(digits - 1);
  uint8_t* codes = tally.Codes();
  uint8_t dig[18] = {};
  uint64_t total = 1;
  for (int32_t i = 0; i < digits; ++i) total *= 10;
  TSettingCount r;
  constexpr uint64_t kReportEvery = uint64_t(1) << 20;
  for (uint64_t k = 0; k < total; ++k) {
    if (progress && k % kReportEvery == 0 && k && !progress(k, total)) {
      r.Cancelled = true;
      break;
    }
    tally.Score();
    // The next candidate: the digits from the last carry on change, and the
    // codes that read them.
    int32_t i = digits - 1;
    while (i >= 0 && ++dig[i] == 10) dig[i--] = 0;
    for (size_t j = size_t(std::max(i - 1, 0)); j < n; ++j)
      codes[j] = uint8_t(10 * dig[j] + dig[j + 1]);
  }
  if (!r.Cancelled && progress) progress(total, total);
  tally.Into(r);
  r.Exact = !r.Cancelled;
  r.Sample = tally.Scored();
  r.Share = r.Sample ? double(tally.Kept()) / double(r.Sample) : 0;
  if (r.Exact) r.Share = double(tally.Kept()) / double(total);
  r.Lo = r.Hi = r.Share;
  return r;
}

TSettingCount CountSetting(TProGradeFilter& prepared, int32_t digits, uint64_t seed) {
  digits = std::clamp(digits, 1, 100);
  if (prepared.Conditions().size() == 1) return CountOneCondition(prepared, digits);
  const uint64_t perBet = CostPerBet(prepared, digits);
  if (digits <= 18) {
    const uint64_t sampleLimit = SampleLimit(prepared, digits);
    uint64_t candidates = 1;
    for (int32_t i = 0; i < digits; ++i) candidates *= 10;
    if (candidates <= sampleLimit || candidates <= kExactWorkLimit / perBet)
      return CountSettingExact(prepared, digits);
  }
  return SampleSetting(prepared, digits, seed);
}

TSettingCount SampleSetting(TProGradeFilter& prepared, int32_t digits, uint64_t seed) {
  digits = std::clamp(digits, 1, 100);
  const uint64_t sampleLimit = SampleLimit(prepared, digits);
  TSettingCount r;
  r.Seed = seed;
  TTally tally(prepared, digits);
  uint8_t* codes = tally.Codes();
  TSampler rng{seed};
  const double lookLevel = 1 - (1 - kSampleLevel) / kSampleLooks;
  for (int look = kSampleLooks - 1; look >= 0; --look) {
    const uint64_t size = std::max<uint64_t>(sampleLimit >> look, 1);
    while (tally.Scored() < size) {
      uint64_t v = 0;
      unsigned prev = 0;
      for (int32_t d = 0; d < digits; ++d) {
        // A digit from 32 random bits by multiplying: every digit equally
        // likely to within 10 / 2^32.
        if (d % 2 == 0) v = rng.Next();
        const unsigned digit = unsigned((v & 0xFFFFFFFFu) * 10 >> 32);
        v >>= 32;
        if (d > 0) codes[d - 1] = uint8_t(10 * prev + digit);
        prev = digit;
      }
      tally.Score();
    }
    const TShareInterval in = ClopperPearson(tally.Kept(), tally.Scored(), lookLevel);
    r.Share = double(tally.Kept()) / double(tally.Scored());
    r.Lo = in.Lo;
    r.Hi = in.Hi;
    if (r.Share > 0 && r.HalfWidth() <= kSampleRelativeWidth * r.Share) break;
  }
  tally.Into(r);
  r.Sample = tally.Scored();
  r.Level = kSampleLevel;
  return r;
}

}  // namespace veltrin
