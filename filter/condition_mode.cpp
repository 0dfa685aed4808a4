#include "filter/condition_mode.h"

#include "common/texts.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

namespace {

constexpr TConditionMode kUnknown = {
    kModeUnknown, "", "unknown", TModeCodes::None, false, true, TDiagCode::ModeUnknown};

// The one table of modes; a mode added here is parsed, compiled, explained,
// counted and offered everywhere that asks.
constexpr TConditionMode kModeTable[] = {
    {kModeStraight, kTxtModeStraight, "straight", TModeCodes::AdjacentPairs, true, false,
     TDiagCode::ModeUnknown},
    {kModeGroup, kTxtModeGroup, "group", TModeCodes::None, false, true, TDiagCode::ModeGroup},
};

}  // namespace

bool TConditionMode::BetToCodes(std::string_view bet, std::vector<uint8_t>& codes) const {
  if (!DecodeBet(bet, codes)) return false;
  if (Codes == TModeCodes::None) codes.clear();
  return true;
}

const TConditionMode& ModeOfWord(std::string_view word) {
  for (const TConditionMode& m : kModeTable)
    if (word == m.Word) return m;
  return kUnknown;
}

const TConditionMode& ModeOf(int32_t id) {
  for (const TConditionMode& m : kModeTable)
    if (m.Id == id) return m;
  return kUnknown;
}

const std::vector<const TConditionMode*>& Modes() {
  static const std::vector<const TConditionMode*> all = [] {
    std::vector<const TConditionMode*> v;
    for (const TConditionMode& m : kModeTable) v.push_back(&m);
    return v;
  }();
  return all;
}

}  // namespace veltrin
