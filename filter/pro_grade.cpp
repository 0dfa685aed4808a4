// TProGradeFilter's object and its debug explanation; the kernels, the
// parse step and the batch assistant have files of their own.
#include "filter/pro_grade_kernels.h"

#include "common/counted.h"
#include "common/lottery.h"

namespace veltrin {

namespace {

SettingsDialogFn g_settingsDialog = nullptr;

}  // namespace

void SetSettingsDialog(SettingsDialogFn fn) { g_settingsDialog = fn; }

TProGradeFilter::TProGradeFilter() {
  FilterName = "Veltrin";
  codes_.reserve(64);
}

TProGradeFilter::~TProGradeFilter() = default;

TFilter* VELTRIN_API TProGradeFilter::Create() noexcept {
  try {
    return new TProGradeFilter();
  } catch (...) {
    return nullptr;
  }
}

int32_t VELTRIN_API TProGradeFilter::DebugConditions(const char* bet, bool showAll,
                                                     TDebugResult* result) noexcept {
  if (!result) return kE_POINTER;
  try {
    std::vector<uint8_t> codes;
    if (!DecodeBet(bet ? std::string_view(bet) : std::string_view(), codes)) return kBetInvalid;
    struct Line {
      size_t Index;
      int64_t Score;
      bool Failed;
    };
    std::vector<Line> lines;
    int32_t failedCount = 0;
    for (size_t i = 0; i < conditions_.size(); ++i) {
      const int64_t score = ScoreCompiled(codes, conditions_[i]);
      const bool failed = !conditions_[i].Passes(score);
      if (failed) ++failedCount;
      if (showAll || failed) lines.push_back({i, score, failed});
    }

    // Keep what the record already listed, then the new lines.
    const int32_t old = DynArrayLength(result->DebugLines);
    TOneDebugResult* merged = DynArrayNew<TOneDebugResult>(size_t(old) + lines.size());
    try {
      for (int32_t i = 0; i < old; ++i) {
        merged[i].Condition = CountedStrAddRef(result->DebugLines[i].Condition);
        merged[i].Value = CountedStrAddRef(result->DebugLines[i].Value);
        merged[i].Failed = result->DebugLines[i].Failed;
      }
      for (size_t k = 0; k < lines.size(); ++k) {
        TOneDebugResult& out = merged[size_t(old) + k];
        const size_t i = lines[k].Index;
        out.Condition = CountedStrNew(i < ConditionList.size() ? ConditionList[i] : std::string());
        out.Value = CountedStrNew(std::to_string(lines[k].Score));
        out.Failed = lines[k].Failed ? 1 : 0;
      }
    } catch (...) {
      TDebugResult scratch{};
      scratch.DebugLines = merged;
      ReleaseDebugLines(scratch);
      throw;
    }
    ReleaseDebugLines(*result);
    result->DebugLines = merged;
    result->ErrCount += failedCount;
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

bool VELTRIN_API TProGradeFilter::ShowSettings() noexcept {
  try {
    if (IIWrapper) {
      TLotteryInfo info{};
      if (Succeeded(IIWrapper->GetLotteryInfo(&info)) && info.DigitCount >= 0 &&
          info.DigitCount <= kMaxDigitCount) {
        ChipDigitCount = info.DigitCount;
        // The dialogs size their one-bet box from the description.
        LotteryInfo.DigitCount = info.DigitCount;
        LotteryInfo.ExtraDigitCount =
            (info.ExtraDigitCount >= 0 && info.ExtraDigitCount <= kMaxDigitCount)
                ? info.ExtraDigitCount
                : 0;
      }
      ReleaseLotteryInfo(info);
    }
    if (g_settingsDialog) g_settingsDialog(*this);
  } catch (...) {
    // The dialog reports its own errors; the host only learns of a change
    // through the condition text.
  }
  return true;
}

}  // namespace veltrin
