// TCPBaseFunc: the range finder of the batch range assistant.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin {

class TCPBaseFunc {
 public:
  TCPBaseFunc() = delete;
  // The range left after trimming the histogram's two tails alternately,
  // one score at a time, while it still holds more than `keepShare`
  // (1/10000 units) of the sample: "lo-hi", or empty when nothing is left.
  // A negative keep share counts as 0.
  static std::string RangeFromHistogram(const std::vector<int32_t>& histogram, int64_t keepShare);
};

}  // namespace veltrin
