// The ten entry points of the library: the whole of what a host calls.
// Every export is extern "C", VELTRIN_API (__stdcall in the 32-bit Windows
// build) and exported under its plain name. A bool is one byte, 0 or 1; text
// is zero-terminated GBK; a null text pointer is the empty text. No C++
// exception leaves an export.
//
// Hosts include this header for the function types and names only; they
// load the library at run time and never link against it.
#pragma once

#include <cstdint>

#include "common/interfaces.h"
#include "common/platform.h"
#include "common/records.h"

#if defined(VELTRIN_BUILDING_PLUGIN)
#define VELTRIN_PLUGIN_API VELTRIN_EXPORT
#else
#define VELTRIN_PLUGIN_API
#endif

extern "C" {

// Stores the host call interface (one counted reference); null is ignored.
typedef void(VELTRIN_API* PFN_SetIIWrapper)(veltrin::ICallWrapper* wrapper);
// The filter's display name; valid while the library is loaded.
typedef const char*(VELTRIN_API* PFN_GetFilterName)();
// The version, "major.minor.patch".
typedef const char*(VELTRIN_API* PFN_GetVersion)();
// A fixed author string.
typedef const char*(VELTRIN_API* PFN_GetAuthor)();
// The condition text, never null; valid until the text next changes.
typedef const char*(VELTRIN_API* PFN_GetFilterStr)();
// Replaces the condition text with a copy (null: empty). Parses nothing.
typedef void(VELTRIN_API* PFN_SetFilterStr)(const char* text);
// Parses the condition text for a run; false when it is invalid.
typedef bool(VELTRIN_API* PFN_SzcPrepare)();
// 0 keep, 1 remove, -1 the bet cannot be evaluated (not a digit text).
typedef int32_t(VELTRIN_API* PFN_SzcExecute)(const char* bet);
// Explains one bet in the host's record; a null record is ignored.
typedef void(VELTRIN_API* PFN_SzcFltDebug)(veltrin::TDebugResult* result, const char* bet,
                                           bool showAll);
// Shows the settings dialog; always true. The argument is not used.
typedef bool(VELTRIN_API* PFN_SzcOpen)(int32_t unused);
// Optional, beyond the ten: explains a condition text (include/veltrin.h).
typedef char*(VELTRIN_API* PFN_VeltrinExplain)(const char* conditionText, int32_t digits,
                                               const char* historyText, int32_t lastDraws,
                                               int32_t flags);

// Optional, beyond the ten: a new filter object of the library's class, as
// the tolerance aide hands one to a host (the filter-object slot table),
// holding a copy of the condition text last given to SetFilterStr and not
// yet prepared (its Prepare slot parses the text). The caller releases it
// with its Free slot. Null when there is no memory for it.
typedef void*(VELTRIN_API* PFN_VeltrinCreateFilter)();

#if defined(VELTRIN_BUILDING_PLUGIN)
VELTRIN_PLUGIN_API void VELTRIN_API SetIIWrapper(veltrin::ICallWrapper* wrapper);
VELTRIN_PLUGIN_API const char* VELTRIN_API GetFilterName();
VELTRIN_PLUGIN_API const char* VELTRIN_API GetVersion();
VELTRIN_PLUGIN_API const char* VELTRIN_API GetAuthor();
VELTRIN_PLUGIN_API const char* VELTRIN_API GetFilterStr();
VELTRIN_PLUGIN_API void VELTRIN_API SetFilterStr(const char* text);
VELTRIN_PLUGIN_API bool VELTRIN_API SzcPrepare();
VELTRIN_PLUGIN_API int32_t VELTRIN_API SzcExecute(const char* bet);
VELTRIN_PLUGIN_API void VELTRIN_API SzcFltDebug(veltrin::TDebugResult* result, const char* bet,
                                                bool showAll);
VELTRIN_PLUGIN_API bool VELTRIN_API SzcOpen(int32_t unused);
VELTRIN_PLUGIN_API void* VELTRIN_API VeltrinCreateFilter();
VELTRIN_PLUGIN_API char* VELTRIN_API VeltrinExplain(const char* conditionText, int32_t digits,
                                                    const char* historyText, int32_t lastDraws,
                                                    int32_t flags);
#endif
}

namespace veltrin {

// The export names, in the order of the table above.
inline constexpr const char* kExportNames[] = {
    "SetIIWrapper", "GetFilterName", "GetVersion", "GetAuthor",   "GetFilterStr",
    "SetFilterStr", "SzcPrepare",    "SzcExecute", "SzcFltDebug", "SzcOpen",
};
inline constexpr int kExportCount = 10;
// The optional export that explains a condition text.
inline constexpr char kExplainExportName[] = "VeltrinExplain";

// The library's file name as hosts look for it beside themselves.
#if defined(_WIN32)
inline constexpr char kLibraryFileName[] = "veltrin.dll";
inline constexpr char kShareMemFileName[] = "veltrin_sharemem.dll";
#else
inline constexpr char kLibraryFileName[] = "veltrin.so";
inline constexpr char kShareMemFileName[] = "veltrin_sharemem.so";
#endif

}  // namespace veltrin
