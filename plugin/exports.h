// The entry points of the library: the whole of what a host calls, as the
// export list (plugin/export_list.h) states them. Every export is
// extern "C", VELTRIN_API (__stdcall in the 32-bit Windows build) and
// exported under its plain name. A bool is one byte, 0 or 1; text is
// zero-terminated GBK; a null text pointer is the empty text. No C++
// exception leaves an export. include/veltrin.h documents each one.
//
// Hosts include this header for the function types (PFN_<name>) and names
// only; they load the library at run time (plugin/loader.h) and never link
// against it.
#pragma once

#include <cstdint>

#include "common/interfaces.h"
#include "common/platform.h"
#include "common/records.h"
#include "plugin/export_list.h"
#include "port/port.h"

#if defined(VELTRIN_BUILDING_PLUGIN)
#define VELTRIN_PLUGIN_API VELTRIN_EXPORT
#else
#define VELTRIN_PLUGIN_API
#endif

extern "C" {

#define VELTRIN_EXPORT_TYPE(name, kind, bytes, result, params) \
  typedef result(VELTRIN_API* PFN_##name) params;
VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_TYPE)
#undef VELTRIN_EXPORT_TYPE

#if defined(VELTRIN_BUILDING_PLUGIN)
// A definition that differs from its entry in the list does not compile.
#define VELTRIN_EXPORT_DECLARATION(name, kind, bytes, result, params) \
  VELTRIN_PLUGIN_API result VELTRIN_API name params;
VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_DECLARATION)
#undef VELTRIN_EXPORT_DECLARATION
#endif
}

namespace veltrin {

namespace export_list_detail {

// The bytes a 32-bit __stdcall call pushes for these parameters: each is
// widened to a multiple of four.
template <class F>
struct TStdcallBytes;
template <class... A>
struct TStdcallBytes<void(A...)> {
  static constexpr int value = (0 + ... + int((sizeof(A) + 3) / 4 * 4));
};

#define VELTRIN_EXPORT_NAME_Required(name) #name,
#define VELTRIN_EXPORT_NAME_Optional(name)
#define VELTRIN_EXPORT_REQUIRED_NAME(name, kind, bytes, result, params) \
  VELTRIN_EXPORT_NAME_##kind(name)
inline constexpr const char* kRequiredNames[] = {VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_REQUIRED_NAME)};
#undef VELTRIN_EXPORT_REQUIRED_NAME
#undef VELTRIN_EXPORT_NAME_Required
#undef VELTRIN_EXPORT_NAME_Optional

}  // namespace export_list_detail

#if defined(__i386__) || defined(_M_IX86)
// The .def file names each export by its decorated symbol, "name@bytes":
// the list's byte count must be the one the compiler decorates with.
#define VELTRIN_EXPORT_CHECK_BYTES(name, kind, bytes, result, params)           \
  static_assert(export_list_detail::TStdcallBytes<void params>::value == bytes, \
                #name ": its decoration in the export list is wrong");
VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_CHECK_BYTES)
#undef VELTRIN_EXPORT_CHECK_BYTES
#endif

// Whether a host may find an export missing.
enum class TExportKind { Required, Optional };

struct TExportEntry {
  const char* Name;
  TExportKind Kind;
};

// Every export, in list order.
inline constexpr TExportEntry kExports[] = {
#define VELTRIN_EXPORT_ENTRY(name, kind, bytes, result, params) {#name, TExportKind::kind},
    VELTRIN_EXPORT_LIST(VELTRIN_EXPORT_ENTRY)
#undef VELTRIN_EXPORT_ENTRY
};

// The ten every host resolves, in list order.
inline constexpr auto& kExportNames = export_list_detail::kRequiredNames;
inline constexpr int kExportCount = int(sizeof kExportNames / sizeof kExportNames[0]);

// The library's file name as hosts look for it beside themselves.
inline constexpr char kLibraryFileName[] = "veltrin" VELTRIN_LIBRARY_SUFFIX;
inline constexpr char kShareMemFileName[] = "veltrin_sharemem" VELTRIN_LIBRARY_SUFFIX;

}  // namespace veltrin
