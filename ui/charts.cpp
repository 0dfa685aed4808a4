// Charts: the state is the picture; the backend draws it.
#include "ui/controls.h"

#include <algorithm>
#include <utility>

namespace veltrin::ui {

void TChart::SetState(TChartState state) {
  state_ = std::move(state);
  // Whatever lies outside the bars would be drawn outside the picture.
  for (double& bar : state_.Bars) bar = bar >= 0 ? std::min(bar, 1.0) : 0.0;  // NaN too
  const int32_t n = int32_t(state_.Bars.size());
  int32_t& first = state_.ShadeFirst;
  int32_t& last = state_.ShadeLast;
  if (first < 0 && last >= 0) first = 0;
  if (first < 0 || last < first || first >= n) {
    first = last = -1;
  } else {
    last = std::min(last, n - 1);
  }
  auto& marks = state_.Marks;
  marks.erase(
      std::remove_if(marks.begin(), marks.end(), [n](int32_t bar) { return bar < 0 || bar >= n; }),
      marks.end());
  Peer().Repaint();
}

}  // namespace veltrin::ui
