#include "filter/filter_base.h"

#include <climits>

#include "common/counted.h"
#include "common/string_list.h"
#include "common/text.h"
#include "common/texts.h"

namespace veltrin {

TFilter::TFilter() : FilterName(kTxtFilterBaseName) {}

TFilter::~TFilter() = default;

int32_t VELTRIN_API TFilter::RawCount(const char* bet) noexcept { return CountFailed(bet); }

int32_t VELTRIN_API TFilter::BatchAide(IStringList*, TBatFltSet*) noexcept { return 0; }

void VELTRIN_API TFilter::Free() noexcept { delete this; }

int32_t TFilter::CountFailedUpTo(const char* bet, int32_t) noexcept { return CountFailed(bet); }

bool TFilter::PrepareRun() noexcept {
  // A text that fails to prepare must not leave a tolerance that belongs to
  // it beside the conditions of the previous text: restore the old group.
  const bool oldCanErr = CanErr;
  const int32_t oldMin = CanErrMin, oldMax = CanErrMax;
  CanErr = false;
  CanErrMin = 0;
  CanErrMax = 0;
  if (Prepare()) return true;
  CanErr = oldCanErr;
  CanErrMin = oldMin;
  CanErrMax = oldMax;
  return false;
}

int32_t TFilter::MapVerdict(int32_t failed) const noexcept {
  if (failed == kVerdictPassThrough) return kVerdictPassThrough;
  if (CanErr) return (failed < CanErrMin || failed > CanErrMax) ? kVerdictRemove : kVerdictKeep;
  return failed >= 1 ? kVerdictRemove : kVerdictKeep;
}

int32_t TFilter::Execute(const char* bet) noexcept {
  if (!UseVerdict) return CountFailed(bet);
  // Past this many failures the verdict is "remove" whatever the rest say.
  int32_t limit = CanErr ? CanErrMax : 0;
  // Counts near the pass-through value must be exact to map like a full count.
  if (limit >= kVerdictPassThrough - 1) limit = INT32_MAX;
  int32_t failed = CountFailedUpTo(bet, limit);
  if (failed < 0) return kBetInvalid;
  return MapVerdict(failed);
}

std::string TFilter::CanErrDescription() const {
  std::string text;
  if (CanErr)
    text = std::string(kTxtTolerance) + std::to_string(CanErrMin) + "-" + std::to_string(CanErrMax);
  else
    text = kTxtToleranceNone;
  text += "<br>";
  if (CanErr && CanSupErr)
    text += std::string(kTxtSupTolerance) + std::to_string(CanSupErrMin) + "-" +
            std::to_string(CanSupErrMax);
  else
    text += kTxtSupToleranceNone;
  return text;
}

bool TFilter::Debug(const char* bet, bool showAll, TDebugResult* result) noexcept {
  if (!result) return false;
  try {
    ReleaseDebugLines(*result);
    result->ErrCount = 0;
    result->SupErrCount = 0;
    CountedStrRelease(result->AuxText);
    CountedStrRelease(result->CanErrText);

    if (DebugConditions(bet, showAll, result) < 0) {
      // The bet cannot be evaluated: no lines, no count, verdict -1.
      ReleaseDebugLines(*result);
      result->ErrCount = 0;
      result->Verdict = kBetInvalid;
      CountedStrAssign(result->FilterName, FilterName);
      CountedStrAssign(result->CanErrText, CanErrDescription());
      return false;
    }
    if (CountedStrLength(result->CanErrText) != 0) return true;

    CountedStrAssign(result->FilterName, FilterName);
    const int32_t e = result->ErrCount;
    const int32_t s = result->SupErrCount;
    int32_t verdict;
    if (s > 0 && (!CanSupErr || s > CanSupErrMax))
      verdict = kVerdictRemove;
    else if (CanErr)
      verdict = (e < CanErrMin || e > CanErrMax) ? kVerdictRemove : kVerdictKeep;
    else
      verdict = e > 0 ? kVerdictRemove : kVerdictKeep;
    if (CanErr && CanSupErr)
      verdict = (s < CanSupErrMin || s > CanSupErrMax) ? kVerdictRemove : kVerdictKeep;
    if (FilterName == kTxtPlainFilterName) verdict = e;
    result->Verdict = verdict;
    CountedStrAssign(result->CanErrText, CanErrDescription());
    return true;
  } catch (...) {
    // Out of shared memory: report the bet as not evaluated.
    ReleaseDebugLines(*result);
    result->ErrCount = 0;
    result->Verdict = kBetInvalid;
    return false;
  }
}

bool TFilter::ParseErrLine(std::string_view line, bool& enabled, int32_t& lo, int32_t& hi,
                           char letter) noexcept {
  const size_t dash = line.find('-');
  if (dash == std::string_view::npos) return false;
  auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
  enabled = lower(line[0]) == lower(letter);
  if (!enabled) return false;
  // The second character is the separator, whatever it is.
  std::optional<int32_t> low = IntText(dash > 2 ? line.substr(2, dash - 2) : std::string_view());
  if (!low) return false;
  lo = *low;
  std::optional<int32_t> high = IntText(line.substr(dash + 1, 9));
  if (!high) return false;
  hi = *high;
  return true;
}

bool TFilter::ParseCanErr(std::string_view line) noexcept {
  return ParseErrLine(line, CanErr, CanErrMin, CanErrMax, 'e');
}

int32_t TFilter::RunBatchAide(IStringList* conditions, TBatFltSet* data) noexcept {
  if (!data || !data->BetTexts) return 0;
  int32_t count = 0;
  if (!Succeeded(data->BetTexts->Count(&count)) || count < 1) return 0;
  return BatchAide(conditions, data);
}

}  // namespace veltrin
