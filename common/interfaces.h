// COM-layout interfaces that cross the host boundary. An object's first word
// points to a table of VELTRIN_API functions: slots 0-2 are QueryInterface,
// AddRef and Release; every further slot returns an int32_t status (0
// success, negative failure, as an HRESULT) and hands its result through
// out-parameters. None of these slots may let a C++ exception escape.
#pragma once

#include <cstdint>
#include <cstring>

#include "common/platform.h"

namespace veltrin {

class TFilter;  // handed to the host's tolerance aide; see filter/filter_base.h
struct TBatFltSet;
struct TDebugResult;
struct TLotteryInfo;

struct VGuid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
};

inline bool operator==(const VGuid& a, const VGuid& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Named result codes.
inline constexpr int32_t kS_OK = 0;
inline constexpr int32_t kE_FAIL = int32_t(0x80004005u);
inline constexpr int32_t kE_NOINTERFACE = int32_t(0x80004002u);
inline constexpr int32_t kE_POINTER = int32_t(0x80004003u);
inline constexpr int32_t kE_NOTIMPL = int32_t(0x80004001u);
inline constexpr int32_t kE_INVALIDARG = int32_t(0x80070057u);

inline bool Succeeded(int32_t status) { return status >= 0; }

// The identifier of interface T, declared beside it, so that asking for an
// interface names only its type (QueryAs<T>, common/com_ref.h). A type with
// no identifier cannot be asked for: the primary template stays undefined.
template <class T>
struct TInterfaceId;
#define VELTRIN_INTERFACE_ID(T)                    \
  template <>                                      \
  struct TInterfaceId<T> {                         \
    static constexpr const VGuid& value = IID_##T; \
  }

// {00000000-0000-0000-C000-000000000046}
inline constexpr VGuid IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

struct IVUnknown {
  virtual int32_t VELTRIN_API QueryInterface(/*in*/ const VGuid* iid, /*out*/ void** out) = 0;
  virtual uint32_t VELTRIN_API AddRef() = 0;
  virtual uint32_t VELTRIN_API Release() = 0;
};
template <>
struct TInterfaceId<IVUnknown> {
  static constexpr const VGuid& value = IID_IUnknown;
};

// {167C4C5E-3E07-41EC-BFA3-6E3A9B87E1C5}
inline constexpr VGuid IID_ICallWrapper = {
    0x167C4C5E, 0x3E07, 0x41EC, {0xBF, 0xA3, 0x6E, 0x3A, 0x9B, 0x87, 0xE1, 0xC5}};

struct IScoreCallback;

// The host call interface, implemented by the host and handed over with
// SetIIWrapper. Operations 1-12 are slots 3-14.
struct ICallWrapper : IVUnknown {
  // 1: the host runs its tolerance aide over `filter` (prepared from the
  // dialog's condition lines) and releases it with its Free slot.
  virtual int32_t VELTRIN_API ShowToleranceAide(/*in*/ TFilter* filter, /*in*/ const char* caption,
                                                int32_t zero) = 0;
  // 2: fills `result` with the batch sample; `request->BetTexts` is a new
  // empty list owned by the plug-in.
  virtual int32_t VELTRIN_API GetBatchAideData(/*in*/ TBatFltSet* request,
                                               /*out*/ TBatFltSet* result) = 0;
  virtual int32_t VELTRIN_API Reserved3() = 0;
  // 4: the host's history check of one condition, scoring through `callback`.
  virtual int32_t VELTRIN_API ShowHistoryFilter(/*in*/ IScoreCallback* callback,
                                                /*in*/ const char* caption,
                                                /*in*/ const char* condition) = 0;
  virtual int32_t VELTRIN_API Reserved5() = 0;
  // 6: a drawn number; the text is valid until the next host call.
  virtual int32_t VELTRIN_API SelectDrawNumber(/*out*/ const char** text) = 0;
  virtual int32_t VELTRIN_API Reserved7() = 0;
  // 8: fills the lottery description (DigitCount at least).
  virtual int32_t VELTRIN_API GetLotteryInfo(/*out*/ TLotteryInfo* info) = 0;
  virtual int32_t VELTRIN_API Reserved9() = 0;
  virtual int32_t VELTRIN_API Reserved10() = 0;
  virtual int32_t VELTRIN_API Reserved11() = 0;
  // 12: a score-table text as a counted string that the plug-in releases.
  virtual int32_t VELTRIN_API GetPairScoreTable(/*out*/ char** text) = 0;
};
VELTRIN_INTERFACE_ID(ICallWrapper);

// {38B86698-327B-4F56-945B-95B677C10207}
inline constexpr VGuid IID_IScoreCallback = {
    0x38B86698, 0x327B, 0x4F56, {0x94, 0x5B, 0x95, 0xB6, 0x77, 0xC1, 0x02, 0x07}};

// Implemented by the pair-score dialog during a history check. Its reference
// counting does not keep the dialog alive.
struct IScoreCallback : IVUnknown {
  virtual int32_t VELTRIN_API ScoreBet(/*in*/ const char* bet, /*out*/ int32_t* score) = 0;
};
VELTRIN_INTERFACE_ID(IScoreCallback);

// {5B0F3C2A-8E4D-4C71-9A36-1D2E7F40B8C1}
inline constexpr VGuid IID_IStringList = {
    0x5B0F3C2A, 0x8E4D, 0x4C71, {0x9A, 0x36, 0x1D, 0x2E, 0x7F, 0x40, 0xB8, 0xC1}};

// A list of texts (the batch sample's bet texts, condition lines).
struct IStringList : IVUnknown {
  virtual int32_t VELTRIN_API Count(/*out*/ int32_t* count) = 0;
  // The text stays valid until the list changes.
  virtual int32_t VELTRIN_API Get(int32_t index, /*out*/ const char** text) = 0;
  virtual int32_t VELTRIN_API Add(/*in*/ const char* text) = 0;
};
VELTRIN_INTERFACE_ID(IStringList);

// {9C4E1D7B-2A53-4F08-B6E1-57C0A3D92E14}
inline constexpr VGuid IID_IEditableStringList = {
    0x9C4E1D7B, 0x2A53, 0x4F08, {0xB6, 0xE1, 0x57, 0xC0, 0xA3, 0xD9, 0x2E, 0x14}};

// A filter object as a host sees it (the tolerance aide's argument,
// VeltrinCreateFilter's answer): its first word points to this table of
// slots, in contract order. The library's TFilter declares the same slots
// as its first virtual functions (filter/filter_base.h); the tests call the
// library's objects through this table.
struct TFilterSlots {
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
struct TFilterObject {
  const TFilterSlots* Slots;
};

// A list whose entries can be rewritten in place. The plug-in's own lists
// answer it; lists of a host need not. The batch assistant rewrites
// condition lines through it.
struct IEditableStringList : IStringList {
  virtual int32_t VELTRIN_API Put(int32_t index, /*in*/ const char* text) = 0;
};
VELTRIN_INTERFACE_ID(IEditableStringList);

#undef VELTRIN_INTERFACE_ID

// The identifier of interface T.
template <class T>
inline constexpr const VGuid& IidOf = TInterfaceId<T>::value;

}  // namespace veltrin
