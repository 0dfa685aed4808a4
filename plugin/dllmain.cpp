// Process attach and detach of the DLL. Kept apart from the exports because
// <windows.h> declares a GetVersion of its own.
#include <windows.h>

#include "plugin/lifetime.h"
#include "plugin/sharemem_binding.h"

// DllMain's reserved argument tells a process exit from an unload.
void veltrin::WatchProcessExit() noexcept {}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  switch (reason) {
    case DLL_PROCESS_ATTACH:
      // No thread notifications: the library starts no threads and keeps no
      // per-thread state.
      DisableThreadLibraryCalls(instance);
      // Without the shared memory module the library still loads: its
      // exports answer as they do when memory runs out.
      veltrin::BindShareMem(instance);
      return veltrin::CreateFilterObject() ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
      // Unloaded by the host (FreeLibrary): destroy the object, which
      // releases the host interface. When the whole process is ending
      // (reserved non-null) the host's runtime may already be torn down, so
      // nothing calls back into it; the system reclaims the memory.
      if (!reserved) veltrin::DestroyFilterObject(false);
      return TRUE;
    default:
      return TRUE;
  }
}
