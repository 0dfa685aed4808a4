// The shared memory manager: one allocator that host and plug-in both link,
// so that a counted string or dynamic array allocated on one side can be
// released on the other.
#pragma once

#include <cstddef>

#include "common/platform.h"

// Callers declare the functions without dllimport: hosts reach them through
// the import library's thunks, the Windows plug-in through its own
// definitions that forward to the module bound at load.
#if defined(VELTRIN_BUILDING_SHAREMEM)
#define VELTRIN_SHAREMEM_API VELTRIN_EXPORT
#else
#define VELTRIN_SHAREMEM_API
#endif

extern "C" {
// A block of at least `size` bytes (a zero size still gives a distinct
// block), or null when memory is exhausted.
VELTRIN_SHAREMEM_API void* VELTRIN_API ShareGetMem(size_t size);
// Releases a block from ShareGetMem/ShareReallocMem; null is ignored.
VELTRIN_SHAREMEM_API void VELTRIN_API ShareFreeMem(void* p);
// Resizes a block, keeping its content; null `p` allocates. On failure the
// old block stays valid and null is returned.
VELTRIN_SHAREMEM_API void* VELTRIN_API ShareReallocMem(void* p, size_t size);

// For the plug-in only, natively (the Windows module does not define them):
// whether the process is ending. The
// plug-in arms the watch while the program runs (when it takes the host's
// interface) and asks at unload, so that it calls nothing of the host's
// once exit has begun. Windows tells a DLL the same through DllMain.
VELTRIN_SHAREMEM_API void VELTRIN_API VeltrinShareWatchExit(void);
VELTRIN_SHAREMEM_API int VELTRIN_API VeltrinShareProcessExiting(void);
}
