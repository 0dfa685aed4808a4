// Load and unload of the shared object (the native counterpart of
// dllmain.cpp). The loader's constructor and destructor hooks stand in for
// the process attach and detach of a DLL. The destructor hook runs before
// the library's static objects are torn down, both at dlclose and at exit;
// the shared memory module tells the two apart.
#include "plugin/lifetime.h"
#include "sharemem/sharemem.h"

namespace veltrin {

void WatchProcessExit() noexcept { VeltrinShareWatchExit(); }

namespace {
__attribute__((constructor)) void LibraryLoad() { CreateFilterObject(); }
__attribute__((destructor)) void LibraryUnload() {
  DestroyFilterObject(VeltrinShareProcessExiting() != 0);
}
}  // namespace

}  // namespace veltrin
