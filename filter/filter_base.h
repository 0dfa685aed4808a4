// TFilter: the base of every filter. It holds the display name, the
// condition text and the tolerance settings, turns a failing count into the
// keep-or-remove verdict, and runs the debug evaluation that explains one bet.
//
// The first nine virtual functions are the slot table a host sees when it is
// handed a filter object (the tolerance aide): their order and signatures are
// part of the binary contract and must not change. No slot lets an exception
// escape.
#pragma once

#include <cstdint>
#include <string>

#include "common/interfaces.h"
#include "common/records.h"

namespace veltrin {

// Verdicts and counts.
inline constexpr int32_t kVerdictKeep = 0;
inline constexpr int32_t kVerdictRemove = 1;
inline constexpr int32_t kVerdictPassThrough = 999999;
// A bet that holds anything but the digits 0-9.
inline constexpr int32_t kBetInvalid = -1;

class TFilter {
 public:
  // ---- host-facing slots, in contract order (TFilterSlots, common/interfaces.h,
  // is this table as a host calls it) -------------------------------------------
  // 0: the number of conditions the bet fails; kBetInvalid when it cannot be
  // evaluated.
  virtual int32_t VELTRIN_API CountFailed(const char* bet) noexcept = 0;
  // 1: appends one line per reported condition to `result->DebugLines` and
  // counts failures in `result->ErrCount`. 0 on success, negative when the
  // bet cannot be evaluated (the record is then left without lines).
  virtual int32_t VELTRIN_API DebugConditions(const char* bet, bool showAll,
                                              TDebugResult* result) noexcept = 0;
  // 2: shows the filter's settings dialog.
  virtual bool VELTRIN_API ShowSettings() noexcept = 0;
  // 3: not called anywhere in the system.
  virtual bool VELTRIN_API Check() noexcept = 0;
  // 4: parses FilterStr into the working tables and the tolerance; true when
  // the text is valid. On false the filter keeps what it had prepared before.
  virtual bool VELTRIN_API Prepare() noexcept = 0;
  // 5: CountFailed of the same bet.
  virtual int32_t VELTRIN_API RawCount(const char* bet) noexcept;
  // 6: fits the ranges of `conditions` to the batch sample; returns how many
  // lines were rewritten. The base answers 0.
  virtual int32_t VELTRIN_API BatchAide(IStringList* conditions, TBatFltSet* data) noexcept;
  // 7: a new, unprepared object of the same class (null when out of memory).
  virtual TFilter* VELTRIN_API Create() noexcept = 0;
  // 8: releases the object.
  virtual void VELTRIN_API Free() noexcept;
  // ---- end of the host's table ---------------------------------------------

  virtual ~TFilter();

  // The failing count, allowed to stop early once it exceeds `limit` (any
  // value above `limit` is then returned). Execute uses it for verdicts.
  virtual int32_t CountFailedUpTo(const char* bet, int32_t limit) noexcept;

  // Non-virtual operations.
  bool PrepareRun() noexcept;
  int32_t Execute(const char* bet) noexcept;
  int32_t MapVerdict(int32_t failed) const noexcept;
  // Fills `result` (owned by the caller). Returns false when the bet cannot
  // be evaluated: no lines, ErrCount 0, Verdict -1.
  bool Debug(const char* bet, bool showAll, TDebugResult* result) noexcept;
  bool Open() noexcept { return ShowSettings(); }
  // Reads a tolerance line ("E|lo-hi") into the tolerance group.
  bool ParseCanErr(std::string_view line) noexcept;
  // Reads a line of the same shape for any letter into the caller's values.
  static bool ParseErrLine(std::string_view line, bool& enabled, int32_t& lo, int32_t& hi,
                           char letter) noexcept;
  // BatchAide when the sample holds at least one bet text; otherwise 0.
  int32_t RunBatchAide(IStringList* conditions, TBatFltSet* data) noexcept;
  // The tolerance description of the debug record ("本容:lo-hi<br>超容(无)").
  std::string CanErrDescription() const;

  std::string FilterName;
  std::string FilterStr;
  bool CanErr = false;
  int32_t CanErrMin = 0;
  int32_t CanErrMax = 0;
  bool CanSupErr = false;
  int32_t CanSupErrMin = 0;
  int32_t CanSupErrMax = 0;
  bool UseVerdict = true;

 protected:
  TFilter();
  TFilter(const TFilter&) = delete;
  TFilter& operator=(const TFilter&) = delete;
};

}  // namespace veltrin
