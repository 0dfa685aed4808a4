// The score grid and the two-code picker for the demo program
// (scripts/screenshot.sh, dialogs "twograde" and "selecttwo"): the grid in
// a window of its own with codes given to several scores, and the picker as
// the grid opens it for a score that already holds codes.
#pragma once

#include <memory>

#include "forms/select_two_form.h"
#include "ui/controls.h"

namespace veltrin::demo {

std::unique_ptr<ui::TForm> NewTwoGradeFrameDemo();
std::unique_ptr<TfrmSelectTwo> NewSelectTwoDemo();

}  // namespace veltrin::demo
