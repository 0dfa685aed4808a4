#include "filter/big_count.h"

#include <algorithm>
#include <charconv>

namespace veltrin {

bool TBigCount::IsZero() const {
  for (uint64_t v : w_)
    if (v) return false;
  return true;
}

bool TBigCount::Fits64() const {
  for (size_t i = 1; i < w_.size(); ++i)
    if (w_[i]) return false;
  return true;
}

namespace {

// The count as 32-bit halves, low first, for arithmetic without a 128-bit type.
using THalves = std::array<uint32_t, 2 * TBigCount::kWords>;

THalves ToHalves(const TBigCount& c) {
  THalves h{};
  for (int i = 0; i < TBigCount::kWords; ++i) {
    h[size_t(2 * i)] = uint32_t(c.Word(i));
    h[size_t(2 * i + 1)] = uint32_t(c.Word(i) >> 32);
  }
  return h;
}

TBigCount FromHalves(const THalves& h) {
  TBigCount c;
  for (int i = 0; i < TBigCount::kWords; ++i)
    c.SetWord(i, uint64_t(h[size_t(2 * i)]) | (uint64_t(h[size_t(2 * i + 1)]) << 32));
  return c;
}

}  // namespace

TBigCount TBigCount::PowerOf10(int32_t n) {
  THalves h{};
  h[0] = 1;
  for (int32_t k = 0; k < std::min(n, 115); ++k) {
    uint64_t carry = 0;
    for (uint32_t& v : h) {
      const uint64_t x = uint64_t(v) * 10 + carry;
      v = uint32_t(x);
      carry = x >> 32;
    }
  }
  return FromHalves(h);
}

double TBigCount::ToDouble() const {
  double v = 0;
  for (int i = kWords - 1; i >= 0; --i) v = v * 18446744073709551616.0 + double(w_[size_t(i)]);
  return v;
}

std::string TBigCount::ToString() const {
  THalves h = ToHalves(*this);
  std::string digits;
  for (;;) {
    bool zero = true;
    uint64_t rem = 0;
    for (size_t i = h.size(); i-- > 0;) {
      const uint64_t x = (rem << 32) | h[i];
      h[i] = uint32_t(x / 1000000000u);
      rem = x % 1000000000u;
      zero &= h[i] == 0;
    }
    char chunk[16];
    for (int k = 0; k < 9; ++k) {
      chunk[k] = char('0' + rem % 10);
      rem /= 10;
    }
    digits.append(chunk, 9);
    if (zero) break;
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::reverse(digits.begin(), digits.end());
  return digits;
}

std::string ShareOfPowerOf10(const TBigCount& count, int32_t digits) {
  std::string s = count.ToString();
  if (digits <= 0) return s;
  if (s.size() <= size_t(digits)) s.insert(0, size_t(digits) + 1 - s.size(), '0');
  s.insert(s.size() - size_t(digits), 1, '.');
  while (s.back() == '0') s.pop_back();
  if (s.back() == '.') s.pop_back();
  return s;
}

std::string RoundTripDecimal(double v) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

}  // namespace veltrin
