/* veltrin.h - the Veltrin pair-score filter library, as a host sees it.
 *
 * C99, usable from C and C++. A host loads the library at run time
 * (veltrin.dll with LoadLibrary, veltrin.so with dlopen), resolves the
 * exports below by name, hands it a call interface with SetIIWrapper and asks
 * it bet by bet whether a bet survives the user's filter setting.
 *
 * Conventions
 * - VELTRIN_API is __stdcall in the Windows build (the 32-bit product) and
 *   the platform's default convention elsewhere.
 * - A bool is one byte, 0 or 1. Text is zero-terminated single-byte GBK; a
 *   null text pointer is the empty text.
 * - A bet is a text of the digits 0-9; one holding anything else cannot be
 *   evaluated and answers -1.
 * - The library holds one filter object from load to unload. Unloading it
 *   (FreeLibrary, dlclose) while the process goes on releases everything it
 *   holds, the host's call interface included; while the process itself is
 *   ending it calls nothing of the host's. Keep the call interface alive
 *   until you have unloaded the library or your process ends.
 * - Counted strings and dynamic arrays that cross the boundary live in
 *   blocks of the shared memory module veltrin_sharemem (.dll/.so), which is
 *   never unloaded once loaded: release what the library hands you with
 *   VeltrinReleaseDebugResult() below, even after unloading the library.
 */
#ifndef VELTRIN_H
#define VELTRIN_H

#include <stdbool.h>
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#if defined(_WIN32)
#define VELTRIN_API __stdcall
#else
#define VELTRIN_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version, as GetVersion answers it; the build takes the
 * version from this line. */
#define VELTRIN_LIBRARY_VERSION "1.0.1"
#if defined(_WIN32)
#define VELTRIN_LIBRARY_FILE "veltrin.dll"
#define VELTRIN_SHAREMEM_FILE "veltrin_sharemem.dll"
#else
#define VELTRIN_LIBRARY_FILE "veltrin.so"
#define VELTRIN_SHAREMEM_FILE "veltrin_sharemem.so"
#endif

/* ---- result codes (HRESULT values) ------------------------------------- */

#define VELTRIN_S_OK ((int32_t)0)
#define VELTRIN_E_NOTIMPL ((int32_t)0x80004001u)
#define VELTRIN_E_NOINTERFACE ((int32_t)0x80004002u)
#define VELTRIN_E_POINTER ((int32_t)0x80004003u)
#define VELTRIN_E_FAIL ((int32_t)0x80004005u)
#define VELTRIN_E_INVALIDARG ((int32_t)0x80070057u)
#define VELTRIN_SUCCEEDED(status) ((int32_t)(status) >= 0)

/* SzcExecute and a filter object's CountFailed. */
#define VELTRIN_VERDICT_KEEP 0
#define VELTRIN_VERDICT_REMOVE 1
#define VELTRIN_BET_INVALID (-1)

/* ---- interface identifiers --------------------------------------------- */

typedef struct VeltrinGuid {
  uint32_t Data1;
  uint16_t Data2;
  uint16_t Data3;
  uint8_t Data4[8];
} VeltrinGuid;

/* {00000000-0000-0000-C000-000000000046} */
static const VeltrinGuid VELTRIN_IID_IUnknown = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
/* {167C4C5E-3E07-41EC-BFA3-6E3A9B87E1C5} */
static const VeltrinGuid VELTRIN_IID_ICallWrapper = {
    0x167C4C5E, 0x3E07, 0x41EC, {0xBF, 0xA3, 0x6E, 0x3A, 0x9B, 0x87, 0xE1, 0xC5}};
/* {38B86698-327B-4F56-945B-95B677C10207} */
static const VeltrinGuid VELTRIN_IID_IScoreCallback = {
    0x38B86698, 0x327B, 0x4F56, {0x94, 0x5B, 0x95, 0xB6, 0x77, 0xC1, 0x02, 0x07}};
/* {5B0F3C2A-8E4D-4C71-9A36-1D2E7F40B8C1} */
static const VeltrinGuid VELTRIN_IID_IStringList = {
    0x5B0F3C2A, 0x8E4D, 0x4C71, {0x9A, 0x36, 0x1D, 0x2E, 0x7F, 0x40, 0xB8, 0xC1}};

/* ---- records ------------------------------------------------------------
 * Fields in the order listed, natural C alignment. char* fields are counted
 * strings, DebugLines and Bets dynamic arrays (see the shared memory section
 * below). Whoever fills a field that already holds a value releases the old
 * value first: zero a record before its first use. */

typedef struct IStringList IStringList;

/* One condition of a debug record. */
typedef struct TOneDebugResult {
  char* Condition; /* the condition line as the filter holds it */
  char* Value;     /* the bet's score for it, decimal */
  int32_t Failed;  /* 1 failed, 0 passed */
} TOneDebugResult; /* 12 bytes in 32-bit builds */

/* Filled by SzcFltDebug. */
typedef struct TDebugResult {
  char* FilterName;
  TOneDebugResult* DebugLines; /* dynamic array */
  char* AuxText;
  int32_t ErrCount;
  int32_t SupErrCount;
  int32_t Verdict; /* 0 keep, 1 remove, -1 the bet could not be evaluated */
  char* CanErrText;
} TDebugResult; /* 28 bytes in 32-bit builds */

/* Filled by the host's GetLotteryInfo. */
typedef struct TLotteryInfo {
  int32_t Reserved0;
  char* Text;
  int32_t DigitCount;
  int32_t Reserved3;
  int32_t Reserved4;
  int32_t ExtraDigitCount;
  int32_t Reserved6;
  int32_t Reserved7;
  int32_t Reserved8;
} TLotteryInfo; /* 36 bytes in 32-bit builds */

/* The batch range assistant's sample (the host's GetBatchAideData). */
typedef struct TBatFltSet {
  IStringList* BetTexts; /* request: an empty list owned by the library */
  uint8_t** Bets;        /* dynamic array of dynamic arrays of bytes */
  int64_t Reserved;
  int64_t KeepShare; /* in 1/10000 of the sample */
  char* Text1;
  char* Text2;
} TBatFltSet; /* 32 bytes in 32-bit builds */

/* ---- interfaces ---------------------------------------------------------
 * COM layout: an object's first word points to its table of VELTRIN_API
 * functions, each taking the object first. Slots 0-2 are QueryInterface,
 * AddRef and Release; every further slot returns an int32_t status (0
 * success, negative failure) and hands its result through out-parameters.
 * No slot may unwind (no C++ exception, no longjmp) into the library. */

typedef struct ICallWrapper ICallWrapper;
typedef struct IScoreCallback IScoreCallback;
typedef struct VeltrinFilter VeltrinFilter;

/* The host call interface: implemented by the host, handed over with
 * SetIIWrapper. The library keeps one reference while it holds it. */
typedef struct ICallWrapperVtbl {
  int32_t(VELTRIN_API* QueryInterface)(ICallWrapper* This, const VeltrinGuid* iid, void** out);
  uint32_t(VELTRIN_API* AddRef)(ICallWrapper* This);
  uint32_t(VELTRIN_API* Release)(ICallWrapper* This);
  /* 1: runs the host's tolerance aide over `filter`; the host releases the
   * filter with its Free slot. */
  int32_t(VELTRIN_API* ShowToleranceAide)(ICallWrapper* This, VeltrinFilter* filter,
                                          const char* caption, int32_t zero);
  /* 2: fills `result` with the batch sample. */
  int32_t(VELTRIN_API* GetBatchAideData)(ICallWrapper* This, TBatFltSet* request,
                                         TBatFltSet* result);
  int32_t(VELTRIN_API* Reserved3)(ICallWrapper* This);
  /* 4: the host's history check of `condition`, scoring through `callback`. */
  int32_t(VELTRIN_API* ShowHistoryFilter)(ICallWrapper* This, IScoreCallback* callback,
                                          const char* caption, const char* condition);
  int32_t(VELTRIN_API* Reserved5)(ICallWrapper* This);
  /* 6: a drawn number, valid until the next call into the host. */
  int32_t(VELTRIN_API* SelectDrawNumber)(ICallWrapper* This, const char** text);
  int32_t(VELTRIN_API* Reserved7)(ICallWrapper* This);
  /* 8: the lottery (DigitCount at least); Text a counted string. */
  int32_t(VELTRIN_API* GetLotteryInfo)(ICallWrapper* This, TLotteryInfo* info);
  int32_t(VELTRIN_API* Reserved9)(ICallWrapper* This);
  int32_t(VELTRIN_API* Reserved10)(ICallWrapper* This);
  int32_t(VELTRIN_API* Reserved11)(ICallWrapper* This);
  /* 12: a score-table text as a counted string that the library releases. */
  int32_t(VELTRIN_API* GetPairScoreTable)(ICallWrapper* This, char** text);
} ICallWrapperVtbl; /* 15 slots */

struct ICallWrapper {
  const ICallWrapperVtbl* lpVtbl;
};

/* Implemented by the library during a history check; its reference
 * counting does not keep the dialog alive. */
typedef struct IScoreCallbackVtbl {
  int32_t(VELTRIN_API* QueryInterface)(IScoreCallback* This, const VeltrinGuid* iid, void** out);
  uint32_t(VELTRIN_API* AddRef)(IScoreCallback* This);
  uint32_t(VELTRIN_API* Release)(IScoreCallback* This);
  int32_t(VELTRIN_API* ScoreBet)(IScoreCallback* This, const char* bet, int32_t* score);
} IScoreCallbackVtbl;

struct IScoreCallback {
  const IScoreCallbackVtbl* lpVtbl;
};

/* The BetTexts list of a batch request. Get's text is valid until the list
 * changes. */
typedef struct IStringListVtbl {
  int32_t(VELTRIN_API* QueryInterface)(IStringList* This, const VeltrinGuid* iid, void** out);
  uint32_t(VELTRIN_API* AddRef)(IStringList* This);
  uint32_t(VELTRIN_API* Release)(IStringList* This);
  int32_t(VELTRIN_API* Count)(IStringList* This, int32_t* count);
  int32_t(VELTRIN_API* Get)(IStringList* This, int32_t index, const char** text);
  int32_t(VELTRIN_API* Add)(IStringList* This, const char* text);
} IStringListVtbl;

struct IStringList {
  const IStringListVtbl* lpVtbl;
};

/* A filter object of the library (ShowToleranceAide, VeltrinCreateFilter).
 * Not reference counted: release it with Free. */
typedef struct VeltrinFilterVtbl {
  /* The number of conditions the bet fails; -1 when it cannot be evaluated. */
  int32_t(VELTRIN_API* CountFailed)(VeltrinFilter* This, const char* bet);
  /* Appends a line per reported condition to result->DebugLines and counts
   * failures in ErrCount; negative when the bet cannot be evaluated. */
  int32_t(VELTRIN_API* DebugConditions)(VeltrinFilter* This, const char* bet, bool showAll,
                                        TDebugResult* result);
  bool(VELTRIN_API* ShowSettings)(VeltrinFilter* This);
  bool(VELTRIN_API* Check)(VeltrinFilter* This);
  /* Parses the object's condition text; false when it is invalid. */
  bool(VELTRIN_API* Prepare)(VeltrinFilter* This);
  int32_t(VELTRIN_API* RawCount)(VeltrinFilter* This, const char* bet);
  /* Fits the ranges of `conditions` to the sample; the number of lines
   * rewritten. */
  int32_t(VELTRIN_API* BatchAide)(VeltrinFilter* This, IStringList* conditions, TBatFltSet* data);
  /* A new, unprepared object of the same class; null when out of memory. */
  VeltrinFilter*(VELTRIN_API* Create)(VeltrinFilter* This);
  /* Releases the object. */
  void(VELTRIN_API* Free)(VeltrinFilter* This);
} VeltrinFilterVtbl;

struct VeltrinFilter {
  const VeltrinFilterVtbl* lpVtbl;
};

/* ---- the exports ----------------------------------------------------------
 * Resolve them by these names (GetProcAddress, dlsym) into these types. */

/* Stores the host call interface, taking one reference and releasing the
 * one held before; null is ignored. */
typedef void(VELTRIN_API* VeltrinSetIIWrapperFn)(ICallWrapper* wrapper);
/* The filter's display name, the version (VELTRIN_LIBRARY_VERSION), the
 * author: constant texts, valid while the library is loaded. */
typedef const char*(VELTRIN_API* VeltrinGetFilterNameFn)(void);
typedef const char*(VELTRIN_API* VeltrinGetVersionFn)(void);
typedef const char*(VELTRIN_API* VeltrinGetAuthorFn)(void);
/* The condition text, never null; valid until the text next changes. */
typedef const char*(VELTRIN_API* VeltrinGetFilterStrFn)(void);
/* Replaces the condition text with a copy (null: empty). Parses nothing. */
typedef void(VELTRIN_API* VeltrinSetFilterStrFn)(const char* text);
/* Parses the condition text for a run; false when it is invalid. */
typedef bool(VELTRIN_API* VeltrinSzcPrepareFn)(void);
/* 0 keep, 1 remove, -1 the bet cannot be evaluated. Allocates nothing. */
typedef int32_t(VELTRIN_API* VeltrinSzcExecuteFn)(const char* bet);
/* Explains one bet in `result` (null is ignored); release what it holds with
 * VeltrinReleaseDebugResult. A bet that cannot be evaluated leaves no lines,
 * ErrCount 0 and Verdict -1. */
typedef void(VELTRIN_API* VeltrinSzcFltDebugFn)(TDebugResult* result, const char* bet,
                                                bool showAll);
/* Shows the settings dialog (Windows); always true. The argument is unused.
 * The host learns of a change by reading GetFilterStr back. */
typedef bool(VELTRIN_API* VeltrinSzcOpenFn)(int32_t unused);

/* VeltrinCreateFilter, optional (an older library lacks it: resolve it and
 * test for null): a new filter object of the library's class, independent
 * of the one the ten exports drive. Its first word points to the slot table
 * VeltrinFilterVtbl (result format 1): cast the result to VeltrinFilter*.
 * Release it with its Free slot, before unloading the library. Null on
 * failure. */
#define VELTRIN_CREATE_FILTER_FORMAT 1
typedef void*(VELTRIN_API* VeltrinCreateFilterFn)(void);

#define VELTRIN_EXPORT_NAMES                                                                    \
  {                                                                                             \
    "SetIIWrapper", "GetFilterName", "GetVersion", "GetAuthor", "GetFilterStr", "SetFilterStr", \
        "SzcPrepare", "SzcExecute", "SzcFltDebug", "SzcOpen"                                    \
  }

#if defined(VELTRIN_DECLARE_EXPORTS)
/* For a host that links the library's import library instead of loading it. */
void VELTRIN_API SetIIWrapper(ICallWrapper* wrapper);
const char* VELTRIN_API GetFilterName(void);
const char* VELTRIN_API GetVersion(void);
const char* VELTRIN_API GetAuthor(void);
const char* VELTRIN_API GetFilterStr(void);
void VELTRIN_API SetFilterStr(const char* text);
bool VELTRIN_API SzcPrepare(void);
int32_t VELTRIN_API SzcExecute(const char* bet);
void VELTRIN_API SzcFltDebug(TDebugResult* result, const char* bet, bool showAll);
bool VELTRIN_API SzcOpen(int32_t unused);
void* VELTRIN_API VeltrinCreateFilter(void);
char* VELTRIN_API VeltrinExplain(const char* conditionText, int32_t digits,
                                 const char* historyText, int32_t lastDraws, int32_t flags);
#endif

/* ---- the shared memory module ---------------------------------------------
 * veltrin_sharemem exports these three; the library and the host allocate
 * and release every counted string and dynamic array through them. Take the
 * module the library uses: natively dlopen(VELTRIN_SHAREMEM_FILE,
 * RTLD_NOW | RTLD_NOLOAD) after loading the library (or dlsym on the
 * library's handle); on Windows GetModuleHandle of VELTRIN_SHAREMEM_FILE. */

typedef void*(VELTRIN_API* VeltrinShareGetMemFn)(size_t size);
typedef void(VELTRIN_API* VeltrinShareFreeMemFn)(void* block);
typedef void*(VELTRIN_API* VeltrinShareReallocMemFn)(void* block, size_t size);

/* A counted string or dynamic array points at its first byte or element;
 * this header stands right before it, and the block that ShareGetMem handed
 * out and ShareFreeMem takes back starts at RefCount, 8 bytes before the
 * first byte. A zero byte follows a string's text. Empty is null. */
typedef struct VeltrinCountedHeader {
  int32_t RefCount; /* -1: a constant, never released */
  int32_t Length;   /* bytes of text, or elements */
} VeltrinCountedHeader;

static inline VeltrinCountedHeader* VeltrinCountedHeaderOf(const void* first) {
  return (VeltrinCountedHeader*)((char*)(uintptr_t)first - sizeof(VeltrinCountedHeader));
}

/* The length of a counted string or dynamic array; 0 for null. */
static inline int32_t VeltrinCountedLength(const void* first) {
  return first ? VeltrinCountedHeaderOf(first)->Length : 0;
}

/* Drops one reference to a counted block. Returns 1 when it was the last:
 * the caller releases the elements, then frees the block with
 * VeltrinCountedFree. A count of -1, or any other count that is not
 * positive, is left alone (returns 0). */
static inline int VeltrinCountedDrop(const void* first) {
  VeltrinCountedHeader* h;
  if (!first) return 0;
  h = VeltrinCountedHeaderOf(first);
  if (h->RefCount <= 0) return 0;
  if (--h->RefCount > 0) return 0;
  return 1;
}

static inline void VeltrinCountedFree(const void* first, VeltrinShareFreeMemFn shareFreeMem) {
  shareFreeMem(VeltrinCountedHeaderOf(first));
}

/* A new counted string holding `length` bytes of `text` (reference count
 * 1), allocated with `shareGetMem`, for what the host hands the library
 * (TLotteryInfo.Text, GetPairScoreTable). Null for the empty text, and when
 * memory or the 32-bit length runs out. */
static inline char* VeltrinNewString(const char* text, size_t length,
                                     VeltrinShareGetMemFn shareGetMem) {
  VeltrinCountedHeader* h;
  char* s;
  if (!text || length == 0 || !shareGetMem) return NULL;
  if (length > (size_t)0x7FFFFFF0u) return NULL;
  h = (VeltrinCountedHeader*)shareGetMem(sizeof(VeltrinCountedHeader) + length + 1);
  if (!h) return NULL;
  h->RefCount = 1;
  h->Length = (int32_t)length;
  s = (char*)(h + 1);
  memcpy(s, text, length);
  s[length] = '\0';
  return s;
}

/* Releases a counted string and sets it null. */
static inline void VeltrinReleaseString(char** s, VeltrinShareFreeMemFn shareFreeMem) {
  if (VeltrinCountedDrop(*s)) VeltrinCountedFree(*s, shareFreeMem);
  *s = NULL;
}

/* Releases every counted string and array a debug record holds (its lines'
 * texts first) through `shareFreeMem`, the ShareFreeMem of the module the
 * library uses, and sets them null; the counts are kept. Safe on a zeroed
 * record and again on a released one; valid after the library is unloaded. */
static inline void VeltrinReleaseDebugResult(TDebugResult* r, VeltrinShareFreeMemFn shareFreeMem) {
  if (!r || !shareFreeMem) return;
  VeltrinReleaseString(&r->FilterName, shareFreeMem);
  if (VeltrinCountedDrop(r->DebugLines)) {
    int32_t i, n = VeltrinCountedLength(r->DebugLines);
    for (i = 0; i < n; ++i) {
      VeltrinReleaseString(&r->DebugLines[i].Condition, shareFreeMem);
      VeltrinReleaseString(&r->DebugLines[i].Value, shareFreeMem);
    }
    VeltrinCountedFree(r->DebugLines, shareFreeMem);
  }
  r->DebugLines = NULL;
  VeltrinReleaseString(&r->AuxText, shareFreeMem);
  VeltrinReleaseString(&r->CanErrText, shareFreeMem);
}

/* ---- condition insight ---- */

/* VeltrinExplain (optional; hosts that know only the ten exports are
   unaffected, and nothing the ten answer depends on it).

   Explains a condition text without preparing it for a run: what every line
   is, the code-to-score table and range as the engine uses them, every
   diagnostic, each condition's exact kept share over all candidates of
   `digits` digits, its hits over past draws, and on request the whole
   setting's kept count.

     conditionText  the condition text, as SetFilterStr takes it (GBK)
     digits         digits of a bet, 1-100; 0: no counts over candidates
     historyText    past draws, oldest first, one per line: "issue digits"
                    or "digits"; blank lines and lines starting with '#'
                    are skipped; null or empty: no history
     lastDraws      the hit rate counts the latest this many draws; 0: all
     flags          VELTRIN_EXPLAIN_* below, or-ed

   Returns a counted string from the shared memory module (reference count
   1, 32-bit length before the first byte) that the host releases:
   ShareFreeMem((char*)result - 8). Null when memory ran out. Cost: the
   distributions take microseconds per condition at 9 digits and grow with
   digits^2; the result and the memory used are a small multiple of the
   input (a run of empty lines is one record). VELTRIN_EXPLAIN_SETTING
   counts exactly when there is one condition (any digits) or when counting
   every candidate costs no more than the sample (10^digits x condition
   blocks of 8 x codes per bet up to 4x10^8 lane operations: about a second
   of one core); otherwise it scores a fixed-seed sample of at most 200,000
   bets and 4x10^8 lane operations (10,000 conditions: about a second at any
   digit count), stopping early once the interval is within 1% of the
   share. */
#define VELTRIN_EXPLAIN_DISTRIBUTIONS 1 /* "dist" records */
#define VELTRIN_EXPLAIN_SETTING 2       /* "setting" and "failures" records */
#define VELTRIN_EXPLAIN_DRAW_SCORES 4   /* "drawscores", "draws", "drawfails" */
#define VELTRIN_EXPLAIN_EXACT 8 /* with _SETTING: count all 10^digits candidates,
                                   digits 1-18, whatever it costs (10^9
                                   candidates of one condition block: seconds) */

/* Resolved by name at run time (GetProcAddress / dlsym): a null address
   means a library without it. VELTRIN_API is the header's calling
   convention (__stdcall in the 32-bit Windows build). */
typedef char*(VELTRIN_API* PFN_VeltrinExplain)(const char* conditionText, int32_t digits,
                                               const char* historyText, int32_t lastDraws,
                                               int32_t flags);

/* The result, format "VELTRIN-EXPLAIN" version 1: GBK text, one record per
   line (LF), fields separated by a tab. A field never holds a tab or a line
   break: a backslash is written "\\", a tab "\t", CR "\r", LF "\n". A reader
   skips records whose tag it does not know; a later version adds records or
   trailing fields and raises the version only when a record changes meaning.
   Lines are numbered from 1 after ';' became line breaks. The text is valid
   GBK whatever the input held: a byte that is no part of a GBK character
   (a lone lead byte, 0x80, 0xFF) is written "\xHH" (two hex digits). A
   share is the shortest decimal that reads back as the double nearest the
   exact ratio (it round-trips through strtod); the exact ratio is the
   count pair beside it.

     VELTRIN-EXPLAIN  1
     text   valid(0|1) digits lines conditions tolerance("lo-hi"|"-") draws
     line   n kind(condition|tolerance|ignored) index("-"|0..) mode("-"|0|1|2)
            lower upper text count modeword
                                  (for a tolerance line: its range; count:
                                   the lines n.. this record stands for, a
                                   run of empty lines being explained once;
                                   modeword: the mode's word, GBK, "-" for
                                   no known mode)
     scores n s0 ... s99          (one field: 100 scores, space-separated:
                                   the score of codes 00..99 as evaluated)
     kept   n kept total share minScore maxScore
                                  (exact counts over the 10^digits candidates;
                                   share: kept/total, round-tripping)
     dist   n "score:count ..."   (every score some candidate reaches)
     hits   n kept draws          (the latest `draws` draws, kept by the range)
     drawscores n "s s ..."       (each considered draw's score, latest first)
     diag   n severity(invalid|warning) field(line|mode|table|range|tolerance)
            code text message     (n 0: the whole text; message: plain words)
     hdiag  historyLine message   (a history line that is no draw)
     history draws kept           (draws considered; kept by the whole setting)
     draws  "issue=digits ..."    (latest first)
     drawfails "f f ..."          (conditions each draw fails, latest first)
     setting exact|estimate kept of share bound seed lo hi level
                                  (exact: kept of all candidates, bound 0,
                                   seed "-", lo = hi = share, level 1;
                                   estimate: kept of a sample of `of`
                                   candidates; the true share lies in lo-hi
                                   with at least `level` (0.99) at every
                                   share: an exact binomial (Clopper-Pearson)
                                   interval; bound: the larger distance of
                                   lo and hi from share, for readers of the
                                   first fields only)
     failures "c0 c1 ..."         (candidates failing 0, 1, ... conditions;
                                   decimal counts of any size)
     end                          (the answer is complete)

   Codes of "diag" (stable): bad-score, bad-code, bad-lower, bad-upper,
   blank-text, no-conditions (invalid: SzcPrepare answers false); mode-unknown,
   mode-group, mode-blanks, no-colon, one-colon, table-empty, group-no-equals,
   score-wraps, code-not-two-digits, code-separator, code-leftover,
   code-outside, code-repeated, range-no-dash, range-reversed,
   range-keeps-nothing, range-keeps-all, line-blanks, empty-line,
   sup-tolerance-line, tolerance-not-first, tolerance-unread,
   tolerance-left-on, tolerance-separator, tolerance-long-upper,
   tolerance-above-count, tolerance-keeps-nothing, full-width (warnings).
   full-width names a character a Chinese input method types in place of
   the ASCII one (full-width comma, colon, space, digit, bar, semicolon,
   minus, equals sign). */
/* ---- end of condition insight ---- */

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* VELTRIN_H */
