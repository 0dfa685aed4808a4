// The number of N-digit candidates (each digit 0-9) at each score under one
// condition: exact counts by dynamic programming over the digit positions.
#pragma once

#include <cstdint>
#include <vector>

#include "filter/big_count.h"
#include "filter/pro_grade.h"

namespace veltrin {

class TScoreDistribution {
 public:
  int32_t Digits() const { return digits_; }
  // Scores 0..MaxScore() have an entry; the highest entry is not zero.
  int32_t MaxScore() const { return int32_t(counts_.size() / size_t(width_)) - 1; }
  int32_t MinScore() const;  // the lowest score any candidate reaches
  TBigCount At(int64_t score) const;
  // Candidates whose score lies in lo..hi (both included).
  TBigCount Between(int64_t lo, int64_t hi) const;
  // 10^Digits().
  TBigCount Total() const { return TBigCount::PowerOf10(digits_); }
  // Between(lo, hi) / Total(), as a double.
  double Share(int64_t lo, int64_t hi) const;

 private:
  friend TScoreDistribution ScoreDistribution(const TCompiledCondition&, int32_t);
  int32_t digits_ = 0;
  int32_t width_ = 1;             // 64-bit words per count
  std::vector<uint64_t> counts_;  // width_ words per score, low word first
};

// Exact distribution of one condition over the N-digit candidates, N 1..100
// (clamped). A condition whose mode yields no codes scores every bet 0.
TScoreDistribution ScoreDistribution(const TCompiledCondition& condition, int32_t digits);

}  // namespace veltrin
