// The host's call interface (ICallWrapper), over a lottery description and
// a draw history. The history check and the tolerance aide report through
// HostSettings::Reporter (host/aides.h); the tolerance aide frees the filter
// object it is handed exactly once, on every path, as its contract asks.
#pragma once

#include <cstdint>
#include <string>

#include "common/com_ref.h"
#include "common/interfaces.h"
#include "common/records.h"
#include "host/aides.h"
#include "host/history.h"
#include "host/string_list.h"

namespace veltrin::host {

inline constexpr int32_t kE_OUTOFMEMORY = int32_t(0x8007000Eu);

struct HostSettings {
  int32_t DigitCount = 5;  // GetLotteryInfo
  // The share of the history that the batch sample and the proposed
  // tolerance range keep, in 1/10000.
  int64_t KeepShare = 9000;
  bool HasHistory = false;  // whether History holds draws
  DrawHistory History;
  // Shows the aides' reports; empty: ShowAideReport (a message box on
  // Windows, standard error natively).
  AideReporter Reporter;
};

class HostCallWrapper final : public ICallWrapper {
 public:
  // A new wrapper with one reference, which the creator releases.
  static HostCallWrapper* Create(HostSettings settings) {
    return new HostCallWrapper(std::move(settings));
  }

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override;
  uint32_t VELTRIN_API AddRef() override;
  uint32_t VELTRIN_API Release() override;

  int32_t VELTRIN_API ShowToleranceAide(TFilter* filter, const char* caption,
                                        int32_t zero) override;
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet* request, TBatFltSet* result) override;
  int32_t VELTRIN_API Reserved3() override;
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback* callback, const char* caption,
                                        const char* condition) override;
  int32_t VELTRIN_API Reserved5() override;
  int32_t VELTRIN_API SelectDrawNumber(const char** text) override;
  int32_t VELTRIN_API Reserved7() override;
  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo* info) override;
  int32_t VELTRIN_API Reserved9() override;
  int32_t VELTRIN_API Reserved10() override;
  int32_t VELTRIN_API Reserved11() override;
  int32_t VELTRIN_API GetPairScoreTable(char** text) override;

  const HostSettings& Settings() const { return settings_; }
  uint32_t References() const { return refs_; }

 private:
  explicit HostCallWrapper(HostSettings settings);
  ~HostCallWrapper();

  // Shows a report; false when the reporter failed.
  bool Report(const char* caption, const std::string& text) noexcept;

  HostSettings settings_;
  uint32_t refs_ = 1;
  // The batch sample's bet texts, kept alive for as long as the wrapper.
  TComRef<HostStringList> sampleTexts_;
  // The last drawn number handed out; valid until the next host call.
  std::string drawText_;
};

}  // namespace veltrin::host
