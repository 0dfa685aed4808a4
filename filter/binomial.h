// The exact (Clopper-Pearson) interval of a binomial share: it holds the
// true share with at least the stated probability at every share, where a
// normal approximation falls short for few or many kept bets.
#pragma once

#include <cstdint>

namespace veltrin {

// I_x(a, b), the regularized incomplete beta function, a, b > 0.
double RegularizedBeta(double x, double a, double b);

// The x in [0, 1] with I_x(a, b) = p.
double BetaQuantile(double p, double a, double b);

struct TShareInterval {
  double Lo = 0;
  double Hi = 1;
};

// The two-sided Clopper-Pearson interval of `kept` successes in `n` trials
// at `level` (0.99: each side misses with at most 0.005).
TShareInterval ClopperPearson(uint64_t kept, uint64_t n, double level);

}  // namespace veltrin
