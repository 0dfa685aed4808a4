// The dialogs' one way to whole files by path: reading a file the user
// picked and writing one the user named. Paths are GBK like every text of
// the system, turned into the platform's names by the platform layer.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

namespace veltrin {

// The file opened for reading ("rb") or for writing from empty ("wb");
// null when it cannot be opened.
std::FILE* OpenPath(const std::string& path, bool write);
// The whole file, or nothing when it is missing or cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);
// True when the whole text was written and the file closed cleanly.
bool WriteWholeFile(const std::string& path, const std::string& data);

}  // namespace veltrin
