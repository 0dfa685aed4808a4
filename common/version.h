// The library's version, as the project() call of the top CMakeLists.txt
// gives it (GetVersion answers it).
#pragma once

#ifndef VELTRIN_VERSION_TEXT
#error "VELTRIN_VERSION_TEXT comes from the build: link veltrin_common"
#endif

namespace veltrin {

inline constexpr char kVersionText[] = VELTRIN_VERSION_TEXT;

}  // namespace veltrin
