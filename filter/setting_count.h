// The whole setting's kept count over all N-digit candidates: exact where
// that costs no more than a sample, otherwise estimated from a fixed-seed
// sample with an exact binomial interval.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "filter/big_count.h"
#include "filter/pro_grade.h"

namespace veltrin {

struct TSettingCount {
  bool Exact = false;      // every candidate counted
  bool Cancelled = false;  // an exact count stopped by its progress callback
  // Exact: the kept count over all 10^digits candidates. Estimate: the kept
  // bets of the sample.
  TBigCount Kept;
  uint64_t Sample = 0;  // bets scored (0 when counted from a distribution)
  double Share = 0;     // the double nearest the kept share (of all, or of the sample)
  // Estimate: the interval that holds the true share with at least `Level`
  // at every share (exact: Lo = Hi = Share).
  double Level = 0.99;
  double Lo = 0, Hi = 0;
  uint64_t Seed = 0;  // estimate: the sample's seed
  // Candidates (of the sample, when estimated) by number of failed
  // conditions: entry k counts those failing exactly k.
  std::vector<TBigCount> FailHistogram;
  // The largest distance of the interval's ends from Share.
  double HalfWidth() const;
};

// The cost of an answer, in lane operations: candidates x condition blocks x
// codes per bet. Work up to kExactWorkLimit (about a second, measured in
// bench/insight_bench.cpp) is counted exactly; past it a sample of at most
// kSampleSize bets and kSampleWorkLimit work is scored, in up to
// kSampleLooks rounds that double the sample, stopping once the interval's
// half-width is kSampleRelativeWidth of the share or less. Each round's
// interval is taken at level 1 - 0.01 / kSampleLooks, so that stopping at
// any round still holds 99%.
inline constexpr uint64_t kExactWorkLimit = 400'000'000;
inline constexpr uint64_t kSampleWorkLimit = 400'000'000;
inline constexpr uint64_t kSampleSize = 200'000;
inline constexpr uint64_t kSampleMinimum = 4'000;
inline constexpr int kSampleLooks = 4;
inline constexpr double kSampleRelativeWidth = 0.01;
inline constexpr double kSampleLevel = 0.99;
inline constexpr uint64_t kSampleSeed = 0x5645'4C54'5249'4E31ull;  // "VELTRIN1"

// Counts the kept candidates of a prepared filter (its conditions and
// tolerance) over all N-digit candidates, `digits` 1..100: exactly for one
// condition (from its distribution, any digit count) and wherever that costs
// no more than the sample, otherwise from a sample with seed `seed`.
TSettingCount CountSetting(TProGradeFilter& prepared, int32_t digits, uint64_t seed = kSampleSeed);

// The estimate alone, whatever an exact count would cost.
TSettingCount SampleSetting(TProGradeFilter& prepared, int32_t digits, uint64_t seed = kSampleSeed);

// Called about every million candidates with those counted so far and the
// total; answering false stops the count (the result is then Cancelled).
using TCountProgress = std::function<bool(uint64_t done, uint64_t total)>;

// The exact count over all 10^digits candidates whatever it costs, digits
// 1..18, scored by the engine's lane kernels (10^9 candidates of one block
// take seconds). `progress` may be empty.
TSettingCount CountSettingExact(TProGradeFilter& prepared, int32_t digits,
                                const TCountProgress& progress = {});

}  // namespace veltrin
