// Charts on every backend: the state set is the state read back, held to
// what can be drawn.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "tests/support/ui_fixture.h"
#include "ui/controls.h"

namespace veltrin {
namespace {

using namespace ui;

class ChartTest : public test::UiBackendTest {};

TEST_P(ChartTest, StateIsHeldToTheBars) {
  TForm form("frmChart");
  form.SetClientSize(200, 120);
  form.Build({TDesc(TKind::Chart, "cht", "", "").At(4, 4, 190, 110)});
  auto* chart = form.Get<TChart>("cht");
  struct TCase {
    std::vector<double> Bars;
    int32_t First, Last;
    std::vector<int32_t> Marks;
    std::vector<double> WantBars;
    int32_t WantFirst, WantLast;
    std::vector<int32_t> WantMarks;
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const TCase cases[] = {
      {{0.5, 1, 0}, 1, 2, {0, 2}, {0.5, 1, 0}, 1, 2, {0, 2}},
      // Heights beyond 0..1 (NaN too) are clamped; marks off the bars go.
      {{-1, 2, nan}, 0, 0, {-1, 3, 1}, {0, 1, 0}, 0, 0, {1}},
      // A band reaching past either end is cut to the bars.
      {{1, 1, 1}, -5, 9, {}, {1, 1, 1}, 0, 2, {}},
      // A band beside the bars, or reversed, is none.
      {{1, 1}, 4, 9, {}, {1, 1}, -1, -1, {}},
      {{1, 1}, 1, 0, {}, {1, 1}, -1, -1, {}},
      {{}, 0, 0, {0}, {}, -1, -1, {}},
  };
  for (const TCase& c : cases) {
    TChartState state;
    state.Bars = c.Bars;
    state.ShadeFirst = c.First;
    state.ShadeLast = c.Last;
    state.Marks = c.Marks;
    state.Title = "t";
    chart->SetState(state);
    const TChartState& got = chart->State();
    EXPECT_EQ(got.Bars, c.WantBars);
    EXPECT_EQ(got.ShadeFirst, c.WantFirst);
    EXPECT_EQ(got.ShadeLast, c.WantLast);
    EXPECT_EQ(got.Marks, c.WantMarks);
    EXPECT_EQ(got.Title, "t");
  }
}

VELTRIN_ON_UI_BACKENDS(ChartTest);

}  // namespace
}  // namespace veltrin
