// Records exchanged with the host. Fields in the order listed, natural C
// alignment; `char*` fields are counted strings, array fields dynamic arrays
// (common/counted.h). Whoever fills a field that already holds a value
// releases the old value first.
#pragma once

#include <cstdint>

#include "common/interfaces.h"

namespace veltrin {

// The two-digit codes of one bet, in bet order (one byte each).
using TByteArrayChip = uint8_t*;
// A batch's bets in byte form; only its length is read.
using TArrBinChipF = TByteArrayChip*;

struct TOneDebugResult {
  char* Condition;  // the condition line as the filter holds it
  char* Value;      // the bet's value for that condition, decimal
  int32_t Failed;   // 1 failed, 0 passed
};

struct TDebugResult {
  char* FilterName;
  TOneDebugResult* DebugLines;  // dynamic array
  char* AuxText;
  int32_t ErrCount;
  int32_t SupErrCount;
  int32_t Verdict;  // 0 keep, 1 remove, -1 the bet could not be evaluated
  char* CanErrText;
};

struct TLotteryInfo {
  int32_t Reserved0;
  char* Text;
  int32_t DigitCount;
  int32_t Reserved3;
  int32_t Reserved4;
  int32_t ExtraDigitCount;
  int32_t Reserved6;
  int32_t Reserved7;
  int32_t Reserved8;
};

struct TBatFltSet {
  IStringList* BetTexts;
  TArrBinChipF Bets;
  int64_t Reserved;
  int64_t KeepShare;  // in 1/10000 of the sample
  char* Text1;
  char* Text2;
};

#if defined(__i386__) || defined(_M_IX86)
static_assert(sizeof(TDebugResult) == 28, "TDebugResult is 28 bytes in 32-bit builds");
static_assert(sizeof(TOneDebugResult) == 12, "TOneDebugResult is 12 bytes in 32-bit builds");
static_assert(sizeof(TLotteryInfo) == 36, "TLotteryInfo is 36 bytes in 32-bit builds");
static_assert(sizeof(TBatFltSet) == 32, "TBatFltSet is 32 bytes in 32-bit builds");
#endif

// Releases every counted string and array of the record and zeroes them;
// the integers are kept.
void ReleaseDebugLines(TDebugResult& r);
void ReleaseDebugResult(TDebugResult& r);
// Releases the record's text field.
void ReleaseLotteryInfo(TLotteryInfo& info);
// Releases the texts and the bet arrays; never the BetTexts list object,
// which belongs to whoever created it.
void ReleaseBatFltSet(TBatFltSet& set);

}  // namespace veltrin
