// The ideal kernels: the limit the plug-in is measured against. The same
// conditions as plain code-to-score tables and the same bets as precomputed
// code arrays, summed and compared in a tight loop with no calls, no parsing
// and no checks. The code count is a compile-time constant, so the sums are
// fully unrolled.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "filter/cp_share.h"
#include "workload.h"

namespace veltrin::bench {

// Failing conditions of one bet, stopping as soon as the count passes
// `limit`: where the plug-in stops when the host wants a verdict.
template <int kCodes>
inline int32_t IdealFailed(const uint8_t* codes, const PlainCondition* c, const PlainCondition* end,
                           int32_t limit) {
  int32_t failed = 0;
  for (; c != end; ++c) {
    int32_t sum = 0;
    for (int k = 0; k < kCodes; ++k) sum += c->Score[codes[k]];
    if (sum < c->Lower || sum > c->Upper) {
      if (++failed > limit) break;
    }
  }
  return failed;
}

// The number of bets of the pool that the workload's setting keeps.
template <int kCodes>
size_t IdealKeptT(const Workload& w) {
  const PlainCondition* first = w.Plain.data();
  const PlainCondition* end = first + w.Plain.size();
  const uint8_t* codes = w.BetCodes.data();
  size_t kept = 0;
  if (w.Tolerance) {
    for (size_t b = 0; b < w.BetCount; ++b, codes += kCodes) {
      const int32_t failed = IdealFailed<kCodes>(codes, first, end, w.TolMax);
      kept += failed >= w.TolMin && failed <= w.TolMax;
    }
  } else {
    for (size_t b = 0; b < w.BetCount; ++b, codes += kCodes)
      kept += IdealFailed<kCodes>(codes, first, end, 0) == 0;
  }
  return kept;
}

inline size_t IdealKept(const Workload& w) {
  switch (w.CodeCount) {
    case 2:
      return IdealKeptT<2>(w);
    case 4:
      return IdealKeptT<4>(w);
    case 6:
      return IdealKeptT<6>(w);
  }
  return 0;
}

// The batch assistant's work without its plumbing: every condition scores
// every sample bet into a histogram, and the range is trimmed from it.
// Returns how many conditions got a range; `ranges` receives them.
template <int kCodes>
int IdealBatchT(const BatchWorkload& w, std::vector<int32_t>& histogram,
                std::vector<std::string>& ranges) {
  const size_t bets = w.BetCodes.size() / kCodes;
  int rewritten = 0;
  ranges.resize(w.Plain.size());
  for (size_t i = 0; i < w.Plain.size(); ++i) {
    const PlainCondition& c = w.Plain[i];
    histogram.assign(size_t(100 * kCodes + 1), 0);
    const uint8_t* codes = w.BetCodes.data();
    for (size_t b = 0; b < bets; ++b, codes += kCodes) {
      int32_t sum = 0;
      for (int k = 0; k < kCodes; ++k) sum += c.Score[codes[k]];
      ++histogram[size_t(sum)];
    }
    ranges[i] = TCPBaseFunc::RangeFromHistogram(histogram, w.KeepShare);
    rewritten += !ranges[i].empty();
  }
  return rewritten;
}

inline int IdealBatch(const BatchWorkload& w, std::vector<int32_t>& histogram,
                      std::vector<std::string>& ranges) {
  switch (w.CodeCount) {
    case 2:
      return IdealBatchT<2>(w, histogram, ranges);
    case 4:
      return IdealBatchT<4>(w, histogram, ranges);
    case 6:
      return IdealBatchT<6>(w, histogram, ranges);
  }
  return 0;
}

}  // namespace veltrin::bench
