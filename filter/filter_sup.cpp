#include "filter/filter_sup.h"

#include "common/text.h"

namespace veltrin {

TSupFilter::~TSupFilter() {
  if (IIWrapper) IIWrapper->Release();
}

int32_t VELTRIN_API TSupFilter::CountFailed(const char*) noexcept { return 0; }

int32_t VELTRIN_API TSupFilter::DebugConditions(const char*, bool, TDebugResult*) noexcept {
  return 0;
}

bool VELTRIN_API TSupFilter::ShowSettings() noexcept { return true; }

bool VELTRIN_API TSupFilter::Check() noexcept { return true; }

bool VELTRIN_API TSupFilter::Prepare() noexcept { return true; }

TFilter* VELTRIN_API TSupFilter::Create() noexcept {
  try {
    return new TSupFilter();
  } catch (...) {
    return nullptr;
  }
}

std::string TSupFilter::SemicolonsToLines(std::string_view text) {
  return ReplaceChar(text, ';', '\r');
}

bool TSupFilter::FrameConditionText(std::string_view text, TFraming& out) {
  out = TFraming();
  const size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  if (IsBlank(text)) return false;
  std::string lines;
  if (text.find(';') != std::string_view::npos) {
    lines = SemicolonsToLines(text);
    text = lines;
  }
  SplitLines(text, [&](std::string_view line) { out.Lines.emplace_back(line); });
  if (out.Lines.empty()) return false;
  if (ParseErrLine(out.Lines.front(), out.CanErr, out.CanErrMin, out.CanErrMax, 'e')) {
    out.Lines.erase(out.Lines.begin());
    if (out.Lines.empty()) return false;
  }
  if (ParseErrLine(out.Lines.front(), out.ListSupErr, out.ListSupErrMin, out.ListSupErrMax, 's')) {
    out.Lines.erase(out.Lines.begin());
    if (out.Lines.empty()) return false;
  }
  return true;
}

void TSupFilter::ApplyFraming(TFraming&& framing) {
  ConditionList = std::move(framing.Lines);
  CanErr = framing.CanErr;
  CanErrMin = framing.CanErrMin;
  CanErrMax = framing.CanErrMax;
  ListSupErr = framing.ListSupErr;
  ListSupErrMin = framing.ListSupErrMin;
  ListSupErrMax = framing.ListSupErrMax;
}

bool TSupFilter::ParseFilterStr() {
  TFraming framing;
  if (!FrameConditionText(FilterStr, framing)) return false;
  ApplyFraming(std::move(framing));
  return true;
}

void TSupFilter::SetCallWrapper(ICallWrapper* wrapper) noexcept {
  if (!wrapper) return;
  wrapper->AddRef();
  if (IIWrapper) IIWrapper->Release();
  IIWrapper = wrapper;
}

}  // namespace veltrin
