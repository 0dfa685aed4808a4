#include "sharemem/sharemem.h"

#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <atomic>
#include <mutex>
#endif

// This module is never unloaded once it is in a process: a host may free a
// debug record's texts after it has unloaded the plug-in, and the plug-in's
// exit-time check below must outlive every load of the plug-in. Natively the
// module is linked with -z nodelete (sharemem/CMakeLists.txt); on Windows it
// pins itself when it is attached.

extern "C" {

VELTRIN_SHAREMEM_API void* VELTRIN_API ShareGetMem(size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

VELTRIN_SHAREMEM_API void VELTRIN_API ShareFreeMem(void* p) { std::free(p); }

VELTRIN_SHAREMEM_API void* VELTRIN_API ShareReallocMem(void* p, size_t size) {
  return std::realloc(p, size == 0 ? 1 : size);
}

#if defined(_WIN32)

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&ShareFreeMem), &self);
  }
  return TRUE;
}

#else

namespace {
std::atomic<bool> g_exiting{false};
std::once_flag g_watching;
void MarkExiting() { g_exiting.store(true); }
}  // namespace

// glibc runs a shared object's destructors both at dlclose and at exit. exit
// first runs the atexit handlers, newest first, and only then the loader's
// destructor pass; a handler registered while the program runs (the loader's
// own one was registered before main) therefore runs before any library
// destructor at exit, and never at a dlclose of the plug-in, because it
// belongs to this module, which is never unloaded.
VELTRIN_SHAREMEM_API void VELTRIN_API VeltrinShareWatchExit(void) {
  std::call_once(g_watching, [] { std::atexit(MarkExiting); });
}

VELTRIN_SHAREMEM_API int VELTRIN_API VeltrinShareProcessExiting(void) {
  return g_exiting.load() ? 1 : 0;
}

#endif
}
