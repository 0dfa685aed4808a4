// Windows only: binds the shared memory module at load (see
// sharemem_binding.cpp).
#pragma once

#include <windows.h>

namespace veltrin {

// Finds the module (already loaded, or beside `self`) and binds its three
// functions; false when there is none, and allocations then fail cleanly.
bool BindShareMem(HINSTANCE self) noexcept;

}  // namespace veltrin
