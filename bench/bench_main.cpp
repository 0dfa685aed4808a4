// Benchmarks of bet evaluation and of the batch range assistant, each beside
// the ideal kernel over the same data in the same run.
//
//   Ideal      the ideal evaluation kernel (the limit)
//   Exports    SzcExecute per bet through the loaded library, as a host calls it
//   Literal    the literal reference implementation
//   BatchIdeal the ideal kernel of the batch assistant's work
//   BatchAide  TProGradeFilter::RunBatchAide over a string list and a TBatFltSet
//
// items_per_second counts bets (for the batch: sample bets, each scored under
// every condition), per second of CPU time. The x_ideal counter is the time
// per bet divided by the ideal kernel's on the same data; the ideal kernel is
// timed in the same iterations, alternating with the measured code, so that
// both see the same load on a shared machine.
#include <benchmark/benchmark.h>

#include <time.h>

#include <string>
#include <vector>

#include "common/counted.h"
#include "common/records.h"
#include "common/string_list.h"
#include "filter/pro_grade.h"
#include "ideal.h"
#include "literal.h"
#include "plugin_exports.h"
#include "workload.h"

namespace veltrin::bench {
namespace {

// The thread's CPU time in seconds: on a machine shared with builds, wall
// time counts the slices other processes take; CPU time counts only ours, as
// the CPU-time figures of the other benchmarks do.
double CpuSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Runs `measured` and `ideal` once per iteration, in alternating order,
// reports the measured time as the iteration time and the ratio of the two
// totals as x_ideal.
template <class Measured, class Ideal>
void RunPaired(benchmark::State& state, Measured&& measured, Ideal&& ideal) {
  double measuredTotal = 0, idealTotal = 0;
  bool idealFirst = false;
  for (auto _ : state) {
    double idealTime, measuredTime;
    if (idealFirst) {
      const double t0 = CpuSeconds();
      benchmark::DoNotOptimize(ideal());
      const double t1 = CpuSeconds();
      benchmark::DoNotOptimize(measured());
      const double t2 = CpuSeconds();
      idealTime = t1 - t0;
      measuredTime = t2 - t1;
    } else {
      const double t0 = CpuSeconds();
      benchmark::DoNotOptimize(measured());
      const double t1 = CpuSeconds();
      benchmark::DoNotOptimize(ideal());
      const double t2 = CpuSeconds();
      measuredTime = t1 - t0;
      idealTime = t2 - t1;
    }
    idealFirst = !idealFirst;
    measuredTotal += measuredTime;
    idealTotal += idealTime;
    state.SetIterationTime(measuredTime);
  }
  state.counters["x_ideal"] = idealTotal > 0 ? measuredTotal / idealTotal : 0;
}

const Workload& WorkloadOf(const benchmark::State& state) {
  return EvaluationWorkload(int(state.range(0)), int(state.range(1)), state.range(2) != 0);
}

void SetKeptCounter(benchmark::State& state, const Workload& w, size_t kept) {
  state.counters["kept"] = double(kept) / double(w.BetCount);
}

// ---- evaluation ------------------------------------------------------------

void Ideal(benchmark::State& state) {
  const Workload& w = WorkloadOf(state);
  size_t kept = 0;
  for (auto _ : state) {
    kept = IdealKept(w);
    benchmark::DoNotOptimize(kept);
  }
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.BetCount));
  SetKeptCounter(state, w, kept);
}

// A host's filtering loop: one SzcExecute per bet text, keeping the zeros.
size_t ExportsKept(const PluginExports& plugin, const Workload& w) {
  const PFN_SzcExecute execute = plugin.SzcExecute;
  const char* bet = w.BetTexts.data();
  size_t kept = 0;
  for (size_t b = 0; b < w.BetCount; ++b, bet += w.BetStride) kept += execute(bet) == 0;
  return kept;
}

void Exports(benchmark::State& state) {
  const Workload& w = WorkloadOf(state);
  std::string error;
  const PluginExports* plugin = LoadPlugin(error);
  if (!plugin) {
    state.SkipWithError(error.c_str());
    return;
  }
  plugin->SetFilterStr(w.ConditionText.c_str());
  if (!plugin->SzcPrepare()) {
    state.SkipWithError("SzcPrepare refused the generated condition text");
    return;
  }
  const size_t kept = ExportsKept(*plugin, w);
  if (kept != IdealKept(w)) {
    state.SkipWithError("the exports and the ideal kernel disagree");
    return;
  }
  RunPaired(
      state, [&] { return ExportsKept(*plugin, w); }, [&] { return IdealKept(w); });
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.BetCount));
  SetKeptCounter(state, w, kept);
}

size_t LiteralKept(const LiteralFilter& filter, const Workload& w) {
  size_t kept = 0;
  for (size_t b = 0; b < w.BetCount; ++b) kept += filter.Execute(w.BetText(b)) == 0;
  return kept;
}

void Literal(benchmark::State& state) {
  const Workload& w = WorkloadOf(state);
  LiteralFilter filter;
  if (!filter.Prepare(w.ConditionText)) {
    state.SkipWithError("the literal implementation refused the condition text");
    return;
  }
  const size_t kept = LiteralKept(filter, w);
  if (kept != IdealKept(w)) {
    state.SkipWithError("the literal implementation and the ideal kernel disagree");
    return;
  }
  RunPaired(
      state, [&] { return LiteralKept(filter, w); }, [&] { return IdealKept(w); });
  state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(w.BetCount));
  SetKeptCounter(state, w, kept);
}

// ---- batch range assistant -------------------------------------------------

constexpr int kBatchConditions = 100;
constexpr int kBatchBets = 100000;

const BatchWorkload& BatchOf(const benchmark::State& state) {
  return BatchAideWorkload(int(state.range(0)), kBatchConditions, kBatchBets);
}

void BatchIdeal(benchmark::State& state) {
  const BatchWorkload& w = BatchOf(state);
  std::vector<int32_t> histogram;
  std::vector<std::string> ranges;
  for (auto _ : state) benchmark::DoNotOptimize(IdealBatch(w, histogram, ranges));
  state.SetItemsProcessed(int64_t(state.iterations()) * kBatchBets);
}

// The sample and the condition list as the dialog hands them over.
class BatchInput {
 public:
  explicit BatchInput(const BatchWorkload& w) : w_(w) {
    data_.BetTexts = bets_;
    for (const std::string& bet : w.BetTexts) bets_->Add(bet.c_str());
    data_.Bets = DynArrayNew<uint8_t*>(w.BetTexts.size());
    data_.KeepShare = w.KeepShare;
  }
  ~BatchInput() {
    ReleaseBatFltSet(data_);
    conditions_->Release();
    bets_->Release();
  }
  // One run as the dialog does it: a fresh filter over the original lines.
  int32_t Run() {
    conditions_->Lines() = w_.ConditionLines;
    TProGradeFilter* filter = TProGradeFilter::New();
    const int32_t rewritten = filter->RunBatchAide(conditions_, &data_);
    filter->Free();
    return rewritten;
  }
  const std::vector<std::string>& Lines() const { return conditions_->Lines(); }

 private:
  const BatchWorkload& w_;
  TStringList* conditions_ = TStringList::Create();
  TStringList* bets_ = TStringList::Create();
  TBatFltSet data_{};
};

void BatchAide(benchmark::State& state) {
  const BatchWorkload& w = BatchOf(state);
  BatchInput input(w);
  std::vector<int32_t> histogram;
  std::vector<std::string> ranges;
  // Both must find the same ranges, or they did not do the same work.
  if (input.Run() != IdealBatch(w, histogram, ranges)) {
    state.SkipWithError("the assistant and the ideal kernel rewrote different counts");
    return;
  }
  for (size_t i = 0; i < ranges.size(); ++i) {
    const std::string& line = input.Lines()[i];
    if (line.size() < ranges[i].size() ||
        line.compare(line.size() - ranges[i].size(), ranges[i].size(), ranges[i]) != 0 ||
        line[line.size() - ranges[i].size() - 1] != ':') {
      state.SkipWithError("the assistant and the ideal kernel found different ranges");
      return;
    }
  }
  RunPaired(
      state, [&] { return input.Run(); }, [&] { return IdealBatch(w, histogram, ranges); });
  state.SetItemsProcessed(int64_t(state.iterations()) * kBatchBets);
}

const std::vector<int64_t> kDigits = {3, 5, 7};
const std::vector<int64_t> kConditionCounts = {1, 10, 50};

BENCHMARK(Ideal)
    ->ArgsProduct({kDigits, kConditionCounts, {0, 1}})
    ->ArgNames({"digits", "conditions", "tolerance"});
BENCHMARK(Exports)
    ->ArgsProduct({kDigits, kConditionCounts, {0, 1}})
    ->ArgNames({"digits", "conditions", "tolerance"})
    ->UseManualTime();
BENCHMARK(Literal)
    ->ArgsProduct({kDigits, kConditionCounts, {0, 1}})
    ->ArgNames({"digits", "conditions", "tolerance"})
    ->UseManualTime();
BENCHMARK(BatchIdeal)->ArgsProduct({kDigits})->ArgNames({"digits"})->Unit(benchmark::kMillisecond);
BENCHMARK(BatchAide)
    ->ArgsProduct({kDigits})
    ->ArgNames({"digits"})
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();

}  // namespace
}  // namespace veltrin::bench

BENCHMARK_MAIN();
