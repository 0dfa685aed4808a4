// Files, paths and the terminal, the same way on Windows and natively.
// Paths are UTF-8 inside the host.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace veltrin::host {

// fopen with a UTF-8 path (wide on Windows).
std::FILE* OpenFile(const std::string& path, const char* mode);
// True when a regular file (or anything but a folder) exists at `path`.
bool FileExists(const std::string& path);
// The whole file; false with `error` set when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content, std::string& error);
// The folder of the running executable, with a trailing separator.
std::string ExecutableDir();
// `dir` (ending in a separator or empty) joined with `name`.
std::string JoinPath(const std::string& dir, std::string_view name);
// True when the stream is an interactive terminal or console.
bool IsTerminal(std::FILE* stream);
// Binary mode for a standard stream (no CR LF translation on Windows).
void SetBinaryMode(std::FILE* stream);
// The text of the last C library error.
std::string LastErrorText();

}  // namespace veltrin::host
