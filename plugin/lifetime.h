// The library's load and unload: the one filter object that every export
// drives is created at load and destroyed at unload.
#pragma once

namespace veltrin {

// Creates the filter object; false when there is no memory for it.
bool CreateFilterObject() noexcept;
// Destroys it, releasing its texts, tables and the host interface; while
// the process is ending the host interface is left unreleased, since the
// host's code may already be gone.
void DestroyFilterObject(bool processEnding) noexcept;
// Called when the host hands over its interface: from then on the unload
// must tell a process exit from an unload by the host. The entry point of
// each platform (dllmain.cpp, somain.cpp) defines it.
void WatchProcessExit() noexcept;

}  // namespace veltrin
