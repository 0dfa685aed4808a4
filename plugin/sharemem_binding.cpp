// The Windows library's link to the shared memory module, bound at load
// rather than imported: Windows looks for a DLL's imports beside the host's
// executable, not beside the DLL, so a host that loads plugins\veltrin.dll
// by its full path would fail with error 126 unless veltrin_sharemem.dll
// stood beside the host. Every counted string must come from the module the
// host itself uses, so the one already in the process wins; otherwise the one
// beside this library is loaded. The module pins itself, so the reference
// taken here is never given back.
#include <windows.h>

#include <atomic>

#include "plugin/sharemem_binding.h"
#include "sharemem/sharemem.h"

namespace veltrin {
namespace {

using GetMemFn = void*(VELTRIN_API*)(size_t);
using FreeMemFn = void(VELTRIN_API*)(void*);
using ReallocMemFn = void*(VELTRIN_API*)(void*, size_t);

std::atomic<GetMemFn> g_getMem{nullptr};
std::atomic<FreeMemFn> g_freeMem{nullptr};
std::atomic<ReallocMemFn> g_reallocMem{nullptr};

constexpr wchar_t kShareMemName[] = L"veltrin_sharemem.dll";

HMODULE LoadBesideThisLibrary(HMODULE self) {
  // Long enough for any path; static, not on the stack of whatever thread
  // loads the library (DllMain runs one at a time under the loader lock).
  static wchar_t path[32768];
  DWORD n = GetModuleFileNameW(self, path, DWORD(sizeof path / sizeof path[0]));
  if (n == 0 || n >= sizeof path / sizeof path[0]) return nullptr;
  while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
  constexpr DWORD kNameLength = sizeof kShareMemName / sizeof kShareMemName[0];
  if (n + kNameLength > sizeof path / sizeof path[0]) return nullptr;
  for (DWORD i = 0; i < kNameLength; ++i) path[n + i] = kShareMemName[i];
  // The module's own imports are system DLLs only; the altered search path
  // keeps the lookup to this folder and the system's.
  return LoadLibraryExW(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// An export as its real type; void(*)() is the neutral function type that
// converts to any other without a warning.
template <class Fn>
Fn Export(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

bool BindShareMem(HINSTANCE self) noexcept {
  // Called from DllMain. Loading a DLL under the loader lock is safe here:
  // the shared memory module starts no threads and waits for nothing when
  // it is attached.
  HMODULE module = GetModuleHandleW(kShareMemName);
  if (!module) module = LoadBesideThisLibrary(self);
  if (!module) return false;
  auto getFn = Export<GetMemFn>(module, "ShareGetMem");
  auto freeFn = Export<FreeMemFn>(module, "ShareFreeMem");
  auto reallocFn = Export<ReallocMemFn>(module, "ShareReallocMem");
  if (!getFn || !freeFn || !reallocFn) return false;
  g_getMem = getFn;
  g_freeMem = freeFn;
  g_reallocMem = reallocFn;
  return true;
}

}  // namespace veltrin

// The three functions the library's own code calls. Without a module they
// answer as an exhausted allocator: callers then fail cleanly (no text, no
// record lines), and nothing was handed out that would need freeing.
extern "C" {

void* VELTRIN_API ShareGetMem(size_t size) {
  auto fn = veltrin::g_getMem.load();
  return fn ? fn(size) : nullptr;
}

void VELTRIN_API ShareFreeMem(void* p) {
  auto fn = veltrin::g_freeMem.load();
  if (fn && p) fn(p);
}

void* VELTRIN_API ShareReallocMem(void* p, size_t size) {
  auto fn = veltrin::g_reallocMem.load();
  return fn ? fn(p, size) : nullptr;
}
}
