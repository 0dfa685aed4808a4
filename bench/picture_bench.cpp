// The pair-score dialog's distribution page: what one change of the grid,
// the mode or the range costs before the chart redraws (the explanation,
// the exact distribution, the bars, the kept share). Times are CPU time.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "common/texts.h"
#include "forms/score_picture.h"
#include "workload.h"

namespace veltrin::bench {
namespace {

void PictureOfGridCondition(benchmark::State& state) {
  const int digits = int(state.range(0));
  std::mt19937 rng(16);
  uint8_t scores[100];
  std::uniform_int_distribution<int> score(0, 100);
  for (uint8_t& s : scores) s = uint8_t(score(rng));
  const int mid = 50 * (digits - 1);
  const std::string line = std::string(kTxtModeStraight) + ":" + GridTableText(scores) + ":" +
                           std::to_string(mid - 5 * digits) + "-" +
                           std::to_string(mid + 5 * digits);
  for (auto _ : state) {
    const TScorePicture picture = ComputeScorePicture(line, digits);
    benchmark::DoNotOptimize(ChartOf(picture));
  }
}

}  // namespace

BENCHMARK(PictureOfGridCondition)
    ->Arg(3)
    ->Arg(5)
    ->Arg(7)
    ->Arg(10)
    ->ArgName("digits")
    ->Unit(benchmark::kMicrosecond);

}  // namespace veltrin::bench
