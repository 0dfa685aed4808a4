// The plug-in's picture of the lottery the host works on: process-wide
// values shared by the filter and the dialogs. Created empty or zero when the
// library loads, released when it unloads.
#pragma once

#include <cstdint>
#include <string>

#include "common/records.h"

namespace veltrin {

// Digits of a bet of the current lottery; set each time the settings dialog
// opens. The highest pair-score sum offered is 100 x (ChipDigitCount - 1).
extern int32_t ChipDigitCount;
// The lottery description the one-bet box of the dialogs is sized by.
extern TLotteryInfo LotteryInfo;
// Full path of the help file, set by the filter dialog base.
extern std::string HelpFile;
// Initial folder of the dialog that saves validation results.
extern const std::string UserDir;

// Highest pair-score sum offered for `digitCount` digits (negative below 1).
inline int32_t MaxScoreSum(int32_t digitCount) { return 100 * (digitCount - 1); }

}  // namespace veltrin
