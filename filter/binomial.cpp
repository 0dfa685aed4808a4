#include "filter/binomial.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace veltrin {

namespace {

// The continued fraction of I_x(a, b) by the modified Lentz method; it
// converges fast for x < (a + 1) / (a + b + 2).
double BetaFraction(double x, double a, double b) {
  constexpr double kTiny = 1e-300, kEps = 1e-16;
  const double qab = a + b, qap = a + 1, qam = a - 1;
  double c = 1, d = 1 - qab * x / qap;
  if (std::fabs(d) < kTiny) d = kTiny;
  d = 1 / d;
  double h = d;
  // Terms needed grow as the square root of a + b; this many covers 10^12.
  for (int m = 1; m <= 5'000'000; ++m) {
    const double m2 = 2.0 * m;
    double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    h *= d * c;
    aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
    d = 1 + aa * d;
    if (std::fabs(d) < kTiny) d = kTiny;
    c = 1 + aa / c;
    if (std::fabs(c) < kTiny) c = kTiny;
    d = 1 / d;
    const double del = d * c;
    h *= del;
    if (std::fabs(del - 1) < kEps) break;
  }
  return h;
}

}  // namespace

double RegularizedBeta(double x, double a, double b) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b) +
                                a * std::log(x) + b * std::log1p(-x));
  if (x < (a + 1) / (a + b + 2)) return front * BetaFraction(x, a, b) / a;
  return 1 - front * BetaFraction(1 - x, b, a) / b;
}

double BetaQuantile(double p, double a, double b) {
  if (p <= 0) return 0;
  if (p >= 1) return 1;
  // Bisection: I_x(a, b) rises with x. Down to a relative width of 1e-13,
  // far below what any share is printed with.
  double lo = 0, hi = 1;
  for (int i = 0; i < 2000 && hi - lo > 1e-13 * hi; ++i) {
    const double mid = lo + (hi - lo) / 2;
    if (mid <= lo || mid >= hi) break;
    (RegularizedBeta(mid, a, b) < p ? lo : hi) = mid;
  }
  return p < 0.5 ? lo : hi;
}

TShareInterval ClopperPearson(uint64_t kept, uint64_t n, double level) {
  TShareInterval r;
  if (n == 0) return r;
  kept = std::min(kept, n);
  const double tail = (1 - level) / 2;
  const double k = double(kept), m = double(n);
  // The bracket's outer ends: rounding never narrows the interval.
  if (kept > 0) r.Lo = BetaQuantile(tail, k, m - k + 1);
  if (kept < n) r.Hi = BetaQuantile(1 - tail, k + 1, m - k);
  return r;
}

}  // namespace veltrin
