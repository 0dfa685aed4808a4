#include "host/call_wrapper.h"

#include <new>

#include "common/counted.h"

namespace veltrin::host {

HostCallWrapper::HostCallWrapper(HostSettings settings)
    : settings_(std::move(settings)),
      sampleTexts_(TComRef<HostStringList>::Adopt(HostStringList::Create())) {}

HostCallWrapper::~HostCallWrapper() = default;

int32_t VELTRIN_API HostCallWrapper::QueryInterface(const VGuid* iid, void** out) {
  return AnswerQueryInterface(static_cast<ICallWrapper*>(this), iid, out,
                              {IID_IUnknown, IID_ICallWrapper});
}

uint32_t VELTRIN_API HostCallWrapper::AddRef() { return ++refs_; }

uint32_t VELTRIN_API HostCallWrapper::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

namespace {

// Releases a filter object handed to the host with its own Free slot when
// the aide returns, whichever way it returns.
class FreeOnReturn {
 public:
  explicit FreeOnReturn(TFilterObject* object) : object_(object) {}
  ~FreeOnReturn() {
    if (object_->Slots && object_->Slots->Free) object_->Slots->Free(object_);
  }
  FreeOnReturn(const FreeOnReturn&) = delete;
  FreeOnReturn& operator=(const FreeOnReturn&) = delete;

 private:
  TFilterObject* object_;
};

constexpr char kNoHistory[] =
    "The host has no draw history to check against (veltrin-host --history FILE).";

}  // namespace

bool HostCallWrapper::Report(const char* caption, const std::string& text) noexcept {
  try {
    const std::string_view title = caption ? caption : "";
    if (settings_.Reporter)
      settings_.Reporter(title, text);
    else
      ShowAideReport(title, text);
    return true;
  } catch (...) {
    return false;
  }
}

int32_t VELTRIN_API HostCallWrapper::ShowToleranceAide(TFilter* filter, const char* caption,
                                                       int32_t /*zero*/) {
  if (!filter) return kE_POINTER;
  auto* object = reinterpret_cast<TFilterObject*>(filter);
  FreeOnReturn release(object);
  if (!object->Slots || !object->Slots->CountFailed) return kE_INVALIDARG;
  try {
    if (!settings_.HasHistory || settings_.History.Draws.empty()) {
      Report(caption, kNoHistory);
      return kE_FAIL;
    }
    const ToleranceCheck check = RunToleranceCheck(*object, settings_.History, settings_.KeepShare);
    Delivery delivery = Delivery::NoWindow;
    // The dialog shows the proposal in its tolerance boxes before the report
    // is read.
    if (check.Proposal)
      delivery = SendToleranceText(caption ? caption : "", check.Proposal->Text());
    const std::string text =
        ToleranceReport(check, settings_.KeepShare, delivery, caption ? caption : "");
    return Report(caption, text) ? kS_OK : kE_FAIL;
  } catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
  } catch (...) {
    return kE_FAIL;
  }
}

int32_t VELTRIN_API HostCallWrapper::GetBatchAideData(TBatFltSet* /*request*/, TBatFltSet* result) {
  if (!result) return kE_POINTER;
  if (!settings_.HasHistory) return kE_FAIL;
  const std::vector<Draw>& draws = settings_.History.Draws;
  TArrBinChipF bets = nullptr;
  try {
    bets = DynArrayNew<TByteArrayChip>(draws.size());
    for (size_t i = 0; i < draws.size(); ++i) {
      const std::string& digits = draws[i].Digits;
      bets[i] = DynArrayNew<uint8_t>(digits.size());
      for (size_t k = 0; k < digits.size(); ++k) bets[i][k] = uint8_t(digits[k] - '0');
    }
    sampleTexts_->Clear();
    sampleTexts_->Reserve(draws.size());
    for (const Draw& draw : draws) sampleTexts_->Append(draw.Digits);
  } catch (...) {
    DynArrayReleaseByteArrays(bets);
    sampleTexts_->Clear();
    return kE_OUTOFMEMORY;
  }
  ReleaseBatFltSet(*result);  // the old texts and bets; never a list object
  result->BetTexts = sampleTexts_.Get();
  result->Bets = bets;
  result->KeepShare = settings_.KeepShare;
  return kS_OK;
}

int32_t VELTRIN_API HostCallWrapper::ShowHistoryFilter(IScoreCallback* callback,
                                                       const char* caption, const char* condition) {
  if (!callback) return kE_POINTER;
  try {
    if (!settings_.HasHistory || settings_.History.Draws.empty()) {
      Report(caption, kNoHistory);
      return kE_FAIL;
    }
    const std::string_view line = condition ? condition : "";
    const HistoryCheck check = RunHistoryCheck(*callback, settings_.History, line);
    return Report(caption, HistoryCheckReport(check, line)) ? kS_OK : kE_FAIL;
  } catch (const std::bad_alloc&) {
    return kE_OUTOFMEMORY;
  } catch (...) {
    return kE_FAIL;
  }
}

int32_t VELTRIN_API HostCallWrapper::SelectDrawNumber(const char** text) {
  if (!text) return kE_POINTER;
  *text = nullptr;
  if (!settings_.HasHistory || settings_.History.Draws.empty()) return kE_FAIL;
  try {
    drawText_ = settings_.History.Draws.back().Digits;
  } catch (...) {
    return kE_OUTOFMEMORY;
  }
  *text = drawText_.c_str();
  return kS_OK;
}

int32_t VELTRIN_API HostCallWrapper::GetLotteryInfo(TLotteryInfo* info) {
  if (!info) return kE_POINTER;
  try {
    CountedStrAssign(info->Text, std::to_string(settings_.DigitCount) + "-digit lottery");
  } catch (...) {
    return kE_OUTOFMEMORY;
  }
  info->DigitCount = settings_.DigitCount;
  info->ExtraDigitCount = 0;
  return kS_OK;
}

int32_t VELTRIN_API HostCallWrapper::GetPairScoreTable(char** text) {
  if (!text) return kE_POINTER;
  if (!settings_.HasHistory) return kE_FAIL;
  try {
    CountedStrAssign(*text, PairScoreTableText(settings_.History));
  } catch (...) {
    return kE_OUTOFMEMORY;
  }
  return kS_OK;
}

// Operations the library never calls.
int32_t VELTRIN_API HostCallWrapper::Reserved3() { return kE_NOTIMPL; }
int32_t VELTRIN_API HostCallWrapper::Reserved5() { return kE_NOTIMPL; }
int32_t VELTRIN_API HostCallWrapper::Reserved7() { return kE_NOTIMPL; }
int32_t VELTRIN_API HostCallWrapper::Reserved9() { return kE_NOTIMPL; }
int32_t VELTRIN_API HostCallWrapper::Reserved10() { return kE_NOTIMPL; }
int32_t VELTRIN_API HostCallWrapper::Reserved11() { return kE_NOTIMPL; }

}  // namespace veltrin::host
