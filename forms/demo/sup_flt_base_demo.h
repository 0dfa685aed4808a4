// The condition list dialog for the demo program (scripts/screenshot.sh,
// dialog "supfltbase"): TfrmSupFltBase with a one-line editor on the left,
// its aide buttons shown as the pair-score dialog shows them, and a few
// pair-score conditions in the list, two of them selected.
#pragma once

#include <memory>

#include "forms/sup_flt_base_form.h"

namespace veltrin::demo {

std::unique_ptr<TfrmSupFltBase> NewSupFltBaseDemo();

}  // namespace veltrin::demo
