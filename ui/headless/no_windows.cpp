// Builds without a window system (CMake picks this file instead of
// ui/win32/): the headless backend is the only one.
#include "ui/peer.h"

namespace veltrin::ui {

TBackend* Win32Backend() { return nullptr; }

}  // namespace veltrin::ui
