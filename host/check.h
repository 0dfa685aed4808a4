// What check and report share: the setting, the history and the library's
// answer about them.
#pragma once

#include <string>

#include "host/history.h"
#include "host/insight.h"
#include "host/options.h"

namespace veltrin::host {

// check and report count without enumerating: bets of up to this many digits.
inline constexpr int32_t kMaxInsightDigits = 100;

// --exact counts every candidate: bets of up to this many digits.
inline constexpr int32_t kMaxExactDigits = 9;

// False (reported) when --exact is asked for more digits than it counts.
bool ExactDigitsAllowed(const Options& o);

// Loads the setting (the one settings loader), the history (the one
// history reader; its draws give the digit count unless --digits does) and
// the library, and asks the library; false when any of it failed
// (reported).
bool ExplainSetting(const Options& o, int32_t flags, InsightResult& r, std::string& source,
                    DrawHistory& history);

}  // namespace veltrin::host
