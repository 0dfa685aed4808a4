// The host's call interface (ICallWrapper), over a lottery description and
// a draw history. Operations that would open a host window (the tolerance
// aide, the history check) answer E_NOTIMPL; the tolerance aide still frees
// the filter object it is handed, as its contract asks.
#pragma once

#include <cstdint>
#include <string>

#include "common/interfaces.h"
#include "common/records.h"
#include "host/history.h"
#include "host/string_list.h"

namespace veltrin::host {

inline constexpr int32_t kE_OUTOFMEMORY = int32_t(0x8007000Eu);

// What a filter object handed to the host looks like from outside: its
// first word points to this table of slots, in contract order.
struct FilterSlots {
  int32_t(VELTRIN_API* CountFailed)(void* self, const char* bet);
  int32_t(VELTRIN_API* DebugConditions)(void* self, const char* bet, bool showAll,
                                        TDebugResult* result);
  bool(VELTRIN_API* ShowSettings)(void* self);
  bool(VELTRIN_API* Check)(void* self);
  bool(VELTRIN_API* Prepare)(void* self);
  int32_t(VELTRIN_API* RawCount)(void* self, const char* bet);
  int32_t(VELTRIN_API* BatchAide)(void* self, IStringList* conditions, TBatFltSet* data);
  void*(VELTRIN_API* Create)(void* self);
  void(VELTRIN_API* Free)(void* self);
};
struct FilterObject {
  const FilterSlots* Slots;
};

struct HostSettings {
  int32_t DigitCount = 5;    // GetLotteryInfo
  int64_t KeepShare = 9000;  // GetBatchAideData, in 1/10000
  bool HasHistory = false;   // whether History holds draws
  DrawHistory History;
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

  HostSettings settings_;
  uint32_t refs_ = 1;
  // The batch sample's bet texts, kept alive for as long as the wrapper.
  HostStringList* sampleTexts_;
  // The last drawn number handed out; valid until the next host call.
  std::string drawText_;
};

}  // namespace veltrin::host
