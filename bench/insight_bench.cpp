// Condition insight: the exact distribution of one condition, the whole
// answer that `veltrin-host check` asks for, and the exact enumeration
// whose size kExactWorkLimit bounds, the cost of large input and of many
// conditions. Times are CPU time.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <random>
#include <string>

#include "common/texts.h"
#include "filter/insight.h"
#include "workload.h"

namespace veltrin::bench {
namespace {

// A grid-written condition: every code scored 0..100 as the dialog allows,
// range around the middle of what `digits` digits reach.
std::string GridCondition(std::mt19937& rng, int digits) {
  uint8_t scores[100];
  std::uniform_int_distribution<int> score(0, 100);
  for (uint8_t& s : scores) s = uint8_t(score(rng));
  const int mid = 50 * (digits - 1);
  return std::string(kTxtModeStraight) + ":" + GridTableText(scores) + ":" +
         std::to_string(mid - 5 * digits) + "-" + std::to_string(mid + 5 * digits);
}

TCompiledCondition Compiled(const std::string& line) {
  std::unique_ptr<TProGradeFilter> f(TProGradeFilter::New());
  f->FilterStr = line;
  f->PrepareRun();
  return f->Conditions().at(0);
}

void InsightDistribution(benchmark::State& state) {
  std::mt19937 rng(14);
  const int digits = int(state.range(0));
  const TCompiledCondition c = Compiled(GridCondition(rng, digits));
  for (auto _ : state) benchmark::DoNotOptimize(ScoreDistribution(c, digits));
}

// check over 1,000 conditions at 7 digits with 10,000 history draws: the
// library's whole answer (explanations, distributions, hits, the setting).
void InsightCheck(benchmark::State& state) {
  std::mt19937 rng(1000);
  std::string text;
  for (int i = 0; i < 1000; ++i) text += GridCondition(rng, 7) + "\r\n";
  std::string history;
  std::uniform_int_distribution<int> digit(0, 9);
  for (int i = 0; i < 10000; ++i) {
    history += std::to_string(2000000 + i) + " ";
    for (int d = 0; d < 7; ++d) history += char('0' + digit(rng));
    history += "\n";
  }
  size_t size = 0;
  for (auto _ : state) size += FormatExplanation(text, 7, history, 0, kExplainSetting).size();
  benchmark::DoNotOptimize(size);
}

// The largest exact enumeration: 7 digits, conditions in one lane block
// (10^7 x 1 block) up to the limit (kExactWorkLimit / 10^7 blocks).
void InsightExactCount(benchmark::State& state) {
  std::mt19937 rng(7);
  std::string text;
  for (int i = 0; i < int(state.range(0)); ++i) text += GridCondition(rng, 7) + "\r\n";
  std::unique_ptr<TProGradeFilter> f(TProGradeFilter::New());
  f->FilterStr = text;
  f->PrepareRun();
  bool exact = true;
  for (auto _ : state) exact &= CountSetting(*f, 7).Exact;
  if (!exact) state.SkipWithError("not counted exactly");
}

// One condition followed by 1 MB of ";" or line feeds: every empty line is a
// line of the text, and the answer must stay a small multiple of the input
// (run alone under /usr/bin/time -v for the peak).
void InsightSeparators(benchmark::State& state) {
  std::mt19937 rng(3);
  const std::string text = GridCondition(rng, 5) + std::string(1 << 20, char(state.range(0)));
  size_t size = 0;
  for (auto _ : state) size = FormatExplanation(text, 5, "", 0, kExplainSetting).size();
  state.counters["result_bytes"] = double(size);
}

// The whole answer with the setting flag over 10,000 conditions: the
// explanations, every condition's distribution and the setting's count
// (exact or sampled, as its cost decides).
void InsightManyConditions(benchmark::State& state) {
  std::mt19937 rng(10000);
  const int digits = int(state.range(0));
  std::string text;
  for (int i = 0; i < 10000; ++i) text += GridCondition(rng, digits) + ";";
  std::unique_ptr<TProGradeFilter> f(TProGradeFilter::New());
  f->FilterStr = text;
  f->PrepareRun();
  TSettingCount r;
  for (auto _ : state) r = CountSetting(*f, digits);
  state.counters["exact"] = r.Exact;
  state.counters["sample"] = double(r.Sample);
  // The whole answer adds every condition's distribution, whose cost grows
  // with digits^2 (InsightDistribution): measured where that stays small.
  if (digits <= 12) {
    const std::clock_t start = std::clock();
    benchmark::DoNotOptimize(FormatExplanation(text, digits, "", 0, kExplainSetting).size());
    state.counters["whole_answer_cpu_ms"] = 1000.0 * double(std::clock() - start) / CLOCKS_PER_SEC;
  }
}

BENCHMARK(InsightDistribution)
    ->Arg(7)
    ->Arg(9)
    ->Arg(19)
    ->Arg(30)
    ->Arg(100)
    ->ArgName("digits")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(InsightSeparators)
    ->Arg(';')
    ->Arg('\n')
    ->ArgName("separator")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);
BENCHMARK(InsightManyConditions)
    ->DenseRange(3, 9, 2)
    ->Arg(12)
    ->Arg(20)
    ->Arg(100)
    ->ArgName("digits")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(InsightCheck)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(InsightExactCount)
    ->Arg(8)
    ->Arg(48)
    ->ArgName("conditions")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

}  // namespace
}  // namespace veltrin::bench
