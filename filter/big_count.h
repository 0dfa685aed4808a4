// TBigCount: an exact count of candidates, wide enough for 10^100 (the
// candidates of 100 digits).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace veltrin {

// a[0..n) += b[0..n), low word first, the carry out of the top word dropped:
// the one carry-add of every wide count.
inline void AddWords(uint64_t* a, const uint64_t* b, int n) {
  uint64_t carry = 0;
  for (int i = 0; i < n; ++i) {
    const uint64_t x = a[i] + carry;
    carry = x < carry;
    a[i] = x + b[i];
    carry += a[i] < x;
  }
}

class TBigCount {
 public:
  static constexpr int kWords = 6;  // 384 bits
  TBigCount() = default;
  explicit TBigCount(uint64_t v) { w_[0] = v; }
  static TBigCount PowerOf10(int32_t n);
  TBigCount& operator+=(const TBigCount& o) {
    AddWords(w_.data(), o.w_.data(), kWords);
    return *this;
  }
  bool operator==(const TBigCount& o) const { return w_ == o.w_; }
  bool operator!=(const TBigCount& o) const { return w_ != o.w_; }
  bool IsZero() const;
  bool Fits64() const;
  uint64_t Low64() const { return w_[0]; }
  double ToDouble() const;
  std::string ToString() const;  // decimal
  uint64_t Word(int i) const { return w_[size_t(i)]; }
  void SetWord(int i, uint64_t v) { w_[size_t(i)] = v; }

 private:
  std::array<uint64_t, kWords> w_{};
};

// Exact decimal of count / 10^digits ("0.1234", "1"), without trailing zeros.
std::string ShareOfPowerOf10(const TBigCount& count, int32_t digits);

// The shortest decimal that reads back as exactly `v` (std::to_chars).
std::string RoundTripDecimal(double v);

}  // namespace veltrin
