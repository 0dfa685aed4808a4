// TSupFilter: the base of filters whose condition text is a list of
// condition lines. It frames the whole condition text into lines, takes the
// tolerance lines off the top, and holds the host interface.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/com_ref.h"
#include "filter/filter_base.h"

namespace veltrin {

// The result of framing one condition text.
struct TFraming {
  std::vector<std::string> Lines;  // condition lines left after framing
  bool CanErr = false;             // tolerance line found and read
  int32_t CanErrMin = 0;
  int32_t CanErrMax = 0;
  bool ListSupErr = false;  // super tolerance line found
  int32_t ListSupErrMin = 0;
  int32_t ListSupErrMax = 0;
};

class TSupFilter : public TFilter {
 public:
  ~TSupFilter() override;

  int32_t VELTRIN_API CountFailed(const char* bet) noexcept override;
  int32_t VELTRIN_API DebugConditions(const char* bet, bool showAll,
                                      TDebugResult* result) noexcept override;
  bool VELTRIN_API ShowSettings() noexcept override;
  bool VELTRIN_API Check() noexcept override;
  bool VELTRIN_API Prepare() noexcept override;
  TFilter* VELTRIN_API Create() noexcept override;

  // Frames `text`: false for a blank text or one that holds nothing but
  // tolerance lines. `out.CanErr` starts false: a text without a tolerance
  // line evaluates without tolerance.
  static bool FrameConditionText(std::string_view text, TFraming& out);
  // The same, handing each condition line to `line` as it is cut instead of
  // keeping it (out.Lines stays empty); a `line` answering false stops the
  // framing, which then answers false. A hostile text is thus rejected at
  // its first bad line, before the rest is cut into lines.
  // `taken`, when given, hears of every line taken off the top instead
  // (explanations number the lines from both).
  enum class TTakenLine { Tolerance, SupTolerance };
  using TakenLineFn = std::function<void(std::string_view, TTakenLine)>;
  static bool FrameConditionLines(std::string_view text, TFraming& out,
                                  const std::function<bool(std::string_view)>& line,
                                  const TakenLineFn* taken = nullptr);
  // Every ";" replaced by a carriage return.
  static std::string SemicolonsToLines(std::string_view text);
  // Stores a non-null host interface, taking a reference of its own and
  // releasing the one held before; null is ignored.
  void SetCallWrapper(ICallWrapper* wrapper) noexcept;

  std::vector<std::string> ConditionList;
  bool ListSupErr = false;
  int32_t ListSupErrMin = 0;
  int32_t ListSupErrMax = 0;
  TComRef<ICallWrapper> IIWrapper;

 protected:
  TSupFilter() = default;
  // Puts a framing's lines and tolerance in place.
  void ApplyFraming(TFraming&& framing);
};

}  // namespace veltrin
