// How often the stated interval of a sampled setting holds the true share:
// a fixed set of settings whose exact answer is counted, each sampled with
// many seeds, grouped by share. Prints the measured coverage per group; the
// stated level must hold in every group. Exit status 1 when it does not.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/texts.h"
#include "filter/insight.h"

namespace {

using namespace veltrin;

// A condition that passes when between lo and hi of a bet's codes lie in a
// random set of m codes: shares from 10^-5 to nearly 1.
std::string RandomCondition(std::mt19937& rng) {
  std::vector<int> codes(100);
  for (int i = 0; i < 100; ++i) codes[size_t(i)] = i;
  std::shuffle(codes.begin(), codes.end(), rng);
  const int m = std::uniform_int_distribution<int>(1, 60)(rng);
  std::string table = "1=";
  for (int i = 0; i < m; ++i) {
    if (i) table += ' ';
    const int c = codes[size_t(i)];
    table += char('0' + c / 10);
    table += char('0' + c % 10);
  }
  const int lo = std::uniform_int_distribution<int>(0, 5)(rng);
  const int hi = std::uniform_int_distribution<int>(lo, 5)(rng);
  return std::string(kTxtModeStraight) + ":" + table + ":" + std::to_string(lo) + "-" +
         std::to_string(hi);
}

}  // namespace

int main() {
  constexpr int kDigits = 6, kSeeds = 25, kPerGroup = 100;
  const char* names[3] = {"small (<0.1%)", "medium (0.1%-50%)", "large (>50%)"};
  int settings[3] = {}, held[3] = {}, drawn[3] = {};
  uint64_t sampleTotal = 0;
  std::mt19937 rng(20261209);
  for (int tries = 0; tries < 20000; ++tries) {
    if (settings[0] >= kPerGroup && settings[1] >= kPerGroup && settings[2] >= kPerGroup) break;
    const int n = std::uniform_int_distribution<int>(2, 3)(rng);
    std::string text = std::uniform_int_distribution<int>(0, 3)(rng) == 0 ? "E|0-1;" : "";
    for (int i = 0; i < n; ++i) text += RandomCondition(rng) + ";";
    std::unique_ptr<TProGradeFilter> f(TProGradeFilter::New());
    f->FilterStr = text;
    if (!f->PrepareRun()) continue;
    const TSettingCount exact = CountSettingExact(*f, kDigits);
    if (exact.Kept.IsZero() || exact.Share >= 1) continue;  // nothing to estimate
    const int g = exact.Share < 1e-3 ? 0 : exact.Share <= 0.5 ? 1 : 2;
    if (settings[g] >= kPerGroup) continue;
    ++settings[g];
    for (uint64_t seed = 1; seed <= kSeeds; ++seed) {
      const TSettingCount r = SampleSetting(*f, kDigits, seed * 0x9E3779B97F4A7C15ull + tries);
      held[g] += r.Lo <= exact.Share && exact.Share <= r.Hi;
      ++drawn[g];
      sampleTotal += r.Sample;
    }
  }
  bool ok = true;
  std::printf("stated level %.2f; %d digits; %d seeds per setting\n", kSampleLevel, kDigits,
              kSeeds);
  for (int g = 0; g < 3; ++g) {
    const double coverage = drawn[g] ? double(held[g]) / drawn[g] : 0;
    std::printf("%-20s settings %3d  intervals %5d  held %5d  coverage %.4f\n", names[g],
                settings[g], drawn[g], held[g], coverage);
    ok &= drawn[g] > 0 && coverage >= kSampleLevel;
  }
  std::printf("mean sample %.0f bets\n",
              double(sampleTotal) / double(drawn[0] + drawn[1] + drawn[2]));
  return ok ? 0 : 1;
}
