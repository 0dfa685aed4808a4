// Time per bet through the exports, with no benchmark library, so that the
// same program builds natively and for Windows (32-bit, the DLL hosts load,
// and 64-bit) and runs under Wine beside the native one:
//
//   veltrin_exports_timing [--min-time S] [--repetitions N]
//       For the README's workloads (3, 5 and 7 digits; 1, 10 and 50
//       conditions; without and with tolerance): ns per bet through
//       SzcExecute and through the ideal kernel, timed alternately, medians.
//   veltrin_exports_timing --verdicts
//       Every verdict of those settings over their bets and over a random mix
//       of bets (short, long, empty, with other characters), as one checksum
//       line per setting: builds that agree print the same lines.
//   veltrin_exports_timing --passes DIGITS CONDITIONS TOLERANCE(0|1) P
//       One setting's bets through SzcExecute P times, untimed: the
//       difference of two runs' instruction counts (scripts/perf-32.sh
//       counts under emulation) is the cost of the extra passes alone.
//
// The library is loaded from beside the program by name, as a host loads it.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "ideal.h"
#include "plugin/exports.h"
#include "workload.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#endif

namespace veltrin::bench {
namespace {

struct Exports {
  PFN_SetFilterStr SetFilterStr = nullptr;
  PFN_SzcPrepare SzcPrepare = nullptr;
  PFN_SzcExecute SzcExecute = nullptr;
};

std::string ProgramDir() {
#if defined(_WIN32)
  char path[MAX_PATH * 2] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, DWORD(sizeof path));
  const std::string exe(path, n);
  return exe.substr(0, exe.find_last_of("\\/") + 1);
#else
  char path[PATH_MAX];
  const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  if (n <= 0) return "./";
  const std::string exe(path, size_t(n));
  return exe.substr(0, exe.rfind('/') + 1);
#endif
}

void* Symbol(void* lib, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
#else
  return dlsym(lib, name);
#endif
}

// Loads the library for the whole run (the filter object lives in it);
// false with the reason printed when it cannot.
bool Load(Exports& e) {
  const std::string path = ProgramDir() + kLibraryFileName;
#if defined(_WIN32)
  void* lib = LoadLibraryA(path.c_str());
#else
  void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
#endif
  if (!lib) {
    std::fprintf(stderr, "cannot load %s\n", path.c_str());
    return false;
  }
  e.SetFilterStr = reinterpret_cast<PFN_SetFilterStr>(Symbol(lib, "SetFilterStr"));
  e.SzcPrepare = reinterpret_cast<PFN_SzcPrepare>(Symbol(lib, "SzcPrepare"));
  e.SzcExecute = reinterpret_cast<PFN_SzcExecute>(Symbol(lib, "SzcExecute"));
  if (!e.SetFilterStr || !e.SzcPrepare || !e.SzcExecute) {
    std::fprintf(stderr, "%s lacks an export\n", path.c_str());
    return false;
  }
  return true;
}

double Seconds() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// A host's filtering loop: one SzcExecute per bet text, keeping the zeros.
size_t ExportsKept(PFN_SzcExecute execute, const Workload& w) {
  const char* bet = w.BetTexts.data();
  size_t kept = 0;
  for (size_t b = 0; b < w.BetCount; ++b, bet += w.BetStride) kept += execute(bet) == 0;
  return kept;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

struct Setting {
  int Digits, Conditions;
  bool Tolerance;
};

std::vector<Setting> Settings() {
  std::vector<Setting> all;
  for (int digits : {3, 5, 7})
    for (int conditions : {1, 10, 50})
      for (bool tolerance : {false, true}) all.push_back({digits, conditions, tolerance});
  return all;
}

bool Prepare(const Exports& e, const Workload& w) {
  e.SetFilterStr(w.ConditionText.c_str());
  if (!e.SzcPrepare()) {
    std::fprintf(stderr, "SzcPrepare refused a generated condition text\n");
    return false;
  }
  return true;
}

int Time(const Exports& e, double minTime, int repetitions) {
  std::printf("%-6s %-10s %-9s %12s %12s %8s\n", "digits", "conditions", "tolerance", "exports_ns",
              "ideal_ns", "ratio");
  for (const Setting& s : Settings()) {
    const Workload& w = EvaluationWorkload(s.Digits, s.Conditions, s.Tolerance);
    if (!Prepare(e, w)) return 1;
    const size_t kept = ExportsKept(e.SzcExecute, w);
    if (kept != IdealKept(w)) {
      std::fprintf(stderr, "the exports and the ideal kernel disagree\n");
      return 1;
    }
    // Passes per repetition: enough for `minTime`, found from one pass.
    double t0 = Seconds();
    size_t sink = ExportsKept(e.SzcExecute, w) + IdealKept(w);
    const double once = std::max(Seconds() - t0, 1e-6);
    const int passes = std::max(1, int(minTime / once));
    std::vector<double> exportsNs, idealNs;
    for (int r = 0; r < repetitions; ++r) {
      double exportsTime = 0, idealTime = 0;
      // Alternating, so that both see the same load on a shared machine.
      for (int p = 0; p < passes; ++p) {
        t0 = Seconds();
        sink += ExportsKept(e.SzcExecute, w);
        const double t1 = Seconds();
        sink += IdealKept(w);
        exportsTime += t1 - t0;
        idealTime += Seconds() - t1;
      }
      const double bets = double(passes) * double(w.BetCount);
      exportsNs.push_back(exportsTime / bets * 1e9);
      idealNs.push_back(idealTime / bets * 1e9);
    }
    if (sink == 1) std::printf(" ");  // keeps the passes from being dropped
    const double x = Median(exportsNs), i = Median(idealNs);
    std::printf("%-6d %-10d %-9s %12.2f %12.2f %8.2f\n", s.Digits, s.Conditions,
                s.Tolerance ? "yes" : "no", x, i, x / i);
    std::fflush(stdout);
  }
  return 0;
}

// Bets of 0 to 19 characters, now and then with a character that is not a
// digit; mt19937 and the modulo are specified exactly, so every build draws
// the same bets.
std::vector<std::string> MixedBets() {
  std::mt19937 rng(24);
  std::vector<std::string> bets(20000);
  for (std::string& bet : bets) {
    const unsigned length = rng() % 8 == 0 ? rng() % 20 : 2 + rng() % 7;
    for (unsigned i = 0; i < length; ++i) bet += char('0' + rng() % 10);
    if (!bet.empty() && rng() % 30 == 0) bet[rng() % bet.size()] = "a -:/\x80"[rng() % 6];
  }
  return bets;
}

// FNV-1a over the verdicts, as 32-bit values.
struct Checksum {
  uint64_t Hash = 14695981039346656037ull;
  void Add(int32_t v) {
    for (int i = 0; i < 4; ++i)
      Hash = (Hash ^ ((uint32_t(v) >> (8 * i)) & 0xFFu)) * 1099511628211ull;
  }
};

int Verdicts(const Exports& e) {
  const std::vector<std::string> mixed = MixedBets();
  for (const Setting& s : Settings()) {
    const Workload& w = EvaluationWorkload(s.Digits, s.Conditions, s.Tolerance);
    if (!Prepare(e, w)) return 1;
    Checksum own, other;
    size_t kept = 0;
    for (size_t b = 0; b < w.BetCount; ++b) {
      const int32_t v = e.SzcExecute(w.BetText(b));
      kept += v == 0;
      own.Add(v);
    }
    for (const std::string& bet : mixed) other.Add(e.SzcExecute(bet.c_str()));
    std::printf("%d %d %d kept %llu of %llu, verdicts %016llx, mixed bets %016llx\n", s.Digits,
                s.Conditions, int(s.Tolerance), (unsigned long long)kept,
                (unsigned long long)w.BetCount, (unsigned long long)own.Hash,
                (unsigned long long)other.Hash);
  }
  return 0;
}

int Passes(const Exports& e, const Setting& s, int passes) {
  const Workload& w = EvaluationWorkload(s.Digits, s.Conditions, s.Tolerance);
  if (!Prepare(e, w)) return 1;
  size_t kept = 0;
  for (int p = 0; p < passes; ++p) kept += ExportsKept(e.SzcExecute, w);
  std::printf("%llu bets, %llu kept\n", (unsigned long long)(w.BetCount * size_t(passes)),
              (unsigned long long)kept);
  return 0;
}

}  // namespace
}  // namespace veltrin::bench

int main(int argc, char** argv) {
  using namespace veltrin::bench;
  double minTime = 0.2;
  int repetitions = 5;
  bool verdicts = false;
  int passes = 0;
  Setting one{};
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--verdicts")) {
      verdicts = true;
    } else if (!std::strcmp(argv[i], "--passes") && i + 4 < argc) {
      one = {std::atoi(argv[i + 1]), std::atoi(argv[i + 2]), std::atoi(argv[i + 3]) != 0};
      passes = std::max(0, std::atoi(argv[i + 4]));
      i += 4;
    } else if (!std::strcmp(argv[i], "--min-time") && i + 1 < argc) {
      minTime = std::atof(argv[++i]);
    } else if (!std::strcmp(argv[i], "--repetitions") && i + 1 < argc) {
      repetitions = std::max(1, std::atoi(argv[++i]));
    } else {
      std::fprintf(stderr,
                   "usage: %s [--verdicts | --min-time S --repetitions N | --passes D C T P]\n",
                   argv[0]);
      return 2;
    }
  }
  Exports e;
  if (!Load(e)) return 1;
  if (one.Digits < 2 || one.Digits > 8 || one.Conditions < 1) {
    if (passes) {
      std::fprintf(stderr, "--passes: digits 2..8 and at least one condition\n");
      return 2;
    }
  } else {
    return Passes(e, one, passes);
  }
  return verdicts ? Verdicts(e) : Time(e, minTime, repetitions);
}
