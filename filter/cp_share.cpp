#include "filter/cp_share.h"

#include <algorithm>

namespace veltrin {
namespace {

// kept / total x 10000 compared with `share`, exactly: kept*10000 <=> share*total.
int CompareShare(int64_t kept, int64_t total, int64_t share) {
#if defined(__SIZEOF_INT128__)
  const __int128 lhs = __int128(kept) * 10000;
  const __int128 rhs = __int128(share) * total;
#else
  const long double lhs = (long double)kept * 10000;
  const long double rhs = (long double)share * total;
#endif
  return lhs < rhs ? -1 : (lhs > rhs ? 1 : 0);
}

}  // namespace

std::string TCPBaseFunc::RangeFromHistogram(const std::vector<int32_t>& h, int64_t keepShare) {
  if (h.empty()) return {};
  const int64_t share = std::max<int64_t>(keepShare, 0);
  int64_t total = 0;
  int64_t lo = int64_t(h.size()) - 1, hi = 0;
  for (size_t i = 0; i < h.size(); ++i) {
    if (h[i] > 0) {
      total += h[i];
      lo = std::min<int64_t>(lo, int64_t(i));
      hi = std::max<int64_t>(hi, int64_t(i));
    }
  }
  if (total < 1) return {};
  auto count = [&](int64_t i) -> int64_t { return std::max<int32_t>(h[size_t(i)], 0); };
  int64_t kept = total;
  for (int64_t step = 0; lo <= hi && CompareShare(kept, total, share) > 0; ++step) {
    const bool lowFirst = step % 2 == 0;
    const int64_t preferred = lowFirst ? lo : hi;
    const int64_t other = lowFirst ? hi : lo;
    if (CompareShare(kept - count(preferred), total, share) >= 0) {
      kept -= count(preferred);
      lowFirst ? ++lo : --hi;
    } else if (CompareShare(kept - count(other), total, share) >= 0) {
      kept -= count(other);
      lowFirst ? --hi : ++lo;
    } else {
      break;
    }
  }
  // A range that holds no sample bet is no answer: with a keep share of 0
  // trimming ends only when nothing is kept, also across scores nobody reached.
  if (lo > hi || kept == 0) return {};
  return std::to_string(lo) + "-" + std::to_string(hi);
}

}  // namespace veltrin
