// The scoring rules implemented step by step as they read, the way a
// straightforward port would: per condition the bet's pairs are converted by
// the text-to-integer routine, each code is looked up by scanning the
// table's 104-bit sets in group order, a fresh code list is made per call,
// and every condition is counted before the verdict is taken. It exists to
// show what the plug-in's design buys; the product never uses it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filter/pro_grade.h"

namespace veltrin::bench {

class LiteralFilter {
 public:
  // Frames the condition text (CR LF lines, optional tolerance line first)
  // and parses every condition line; false when a line does not parse.
  bool Prepare(std::string_view text);
  // 0 keep, 1 remove.
  int32_t Execute(const char* bet) const;
  int32_t CountFailed(const char* bet) const;

 private:
  static void BetToCodes(const std::string& bet, int32_t mode, std::vector<uint8_t>& codes);

  std::vector<TFilterCodeGrade> conditions_;
  bool canErr_ = false;
  int32_t canErrMin_ = 0;
  int32_t canErrMax_ = 0;
};

}  // namespace veltrin::bench
