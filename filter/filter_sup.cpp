#include "filter/filter_sup.h"

#include "common/text.h"

namespace veltrin {

TSupFilter::~TSupFilter() = default;

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

bool TSupFilter::FrameConditionLines(std::string_view text, TFraming& out,
                                     const std::function<bool(std::string_view)>& line,
                                     const TakenLineFn* taken) {
  out = TFraming();
  const size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  if (IsBlank(text)) return false;
  std::string lines;
  if (text.find(';') != std::string_view::npos) {
    lines = SemicolonsToLines(text);
    text = lines;
  }
  // Line by line: the tolerance line may only be the first, the super
  // tolerance line only the first left after it.
  bool toleranceTried = false, supTried = false, any = false;
  size_t start = 0;
  const size_t n = text.size();
  while (start < n) {
    size_t end = start;
    while (end < n && text[end] != '\r' && text[end] != '\n') ++end;
    const std::string_view current = text.substr(start, end - start);
    start = end + ((end + 1 < n && text[end] == '\r' && text[end + 1] == '\n') ? 2 : 1);
    if (!toleranceTried) {
      toleranceTried = true;
      if (ParseErrLine(current, out.CanErr, out.CanErrMin, out.CanErrMax, 'e')) {
        if (taken) (*taken)(current, TTakenLine::Tolerance);
        continue;
      }
    }
    if (!supTried) {
      supTried = true;
      if (ParseErrLine(current, out.ListSupErr, out.ListSupErrMin, out.ListSupErrMax, 's')) {
        if (taken) (*taken)(current, TTakenLine::SupTolerance);
        continue;
      }
    }
    any = true;
    if (!line(current)) return false;
  }
  return any;
}

bool TSupFilter::FrameConditionText(std::string_view text, TFraming& out) {
  std::vector<std::string> lines;
  const bool ok = FrameConditionLines(text, out, [&](std::string_view line) {
    lines.emplace_back(line);
    return true;
  });
  out.Lines = std::move(lines);
  return ok;
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

void TSupFilter::SetCallWrapper(ICallWrapper* wrapper) noexcept {
  if (wrapper) IIWrapper = TComRef<ICallWrapper>::Share(wrapper);
}

}  // namespace veltrin
