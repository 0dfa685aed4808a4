/* include/veltrin.h as a 32-bit C host compiles it: the records and tables
 * have the contract's sizes and offsets. C99 has no static assertion, so a
 * failed check is an array of negative size. */
#include <stddef.h>

#include "veltrin.h"

#define VELTRIN_CHECK(name, cond) typedef char veltrin_check_##name[(cond) ? 1 : -1]

VELTRIN_CHECK(pointer, sizeof(void*) == 4);
VELTRIN_CHECK(bool_byte, sizeof(bool) == 1);

VELTRIN_CHECK(debug_result, sizeof(TDebugResult) == 28);
VELTRIN_CHECK(debug_lines, offsetof(TDebugResult, DebugLines) == 4);
VELTRIN_CHECK(err_count, offsetof(TDebugResult, ErrCount) == 12);
VELTRIN_CHECK(verdict, offsetof(TDebugResult, Verdict) == 20);
VELTRIN_CHECK(can_err_text, offsetof(TDebugResult, CanErrText) == 24);

VELTRIN_CHECK(one_debug_result, sizeof(TOneDebugResult) == 12);
VELTRIN_CHECK(failed, offsetof(TOneDebugResult, Failed) == 8);

VELTRIN_CHECK(lottery_info, sizeof(TLotteryInfo) == 36);
VELTRIN_CHECK(digit_count, offsetof(TLotteryInfo, DigitCount) == 8);
VELTRIN_CHECK(extra_digit_count, offsetof(TLotteryInfo, ExtraDigitCount) == 20);

VELTRIN_CHECK(bat_flt_set, sizeof(TBatFltSet) == 32);
VELTRIN_CHECK(reserved, offsetof(TBatFltSet, Reserved) == 8);
VELTRIN_CHECK(keep_share, offsetof(TBatFltSet, KeepShare) == 16);
VELTRIN_CHECK(text2, offsetof(TBatFltSet, Text2) == 28);

VELTRIN_CHECK(counted_header, sizeof(VeltrinCountedHeader) == 8);
VELTRIN_CHECK(guid, sizeof(VeltrinGuid) == 16);
VELTRIN_CHECK(call_wrapper_slots, sizeof(ICallWrapperVtbl) == 15 * 4);
VELTRIN_CHECK(filter_slots, sizeof(VeltrinFilterVtbl) == 9 * 4);
