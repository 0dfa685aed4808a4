// Output files that are whole or absent, and the interruption of a run.
//
// A regular file is written under a temporary name beside its target and
// renamed over the target only when the run completed: an interrupted or
// failed run leaves any earlier file at that path as it was. Anything else
// (a terminal, /dev/null, a pipe) is written directly.
#pragma once

#include <cstdio>
#include <string>

namespace veltrin::host {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile() { Discard(); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Opens the temporary file (or the target itself, see above); false with
  // `error` set.
  bool Open(const std::string& target, std::string& error);
  std::FILE* Stream() const { return f_; }
  const std::string& Target() const { return target_; }
  // Closes the stream and puts the file in place; false with `error` (the
  // system's reason) set, the temporary file then removed.
  bool Commit(std::string& error);
  // Closes and removes the temporary file; the target stays as it was.
  void Discard();

 private:
  std::FILE* f_ = nullptr;
  std::string target_;
  std::string temp_;  // empty when writing the target directly
};

// True when both paths name one existing file (the same device and inode,
// or volume and file index), whatever the names.
bool SameFile(const std::string& a, const std::string& b);

// Makes SIGINT and SIGTERM (Ctrl-C, Ctrl-Break on Windows) set a flag that
// the long loops poll, instead of ending the process mid-write. A blocking
// read or write they interrupt fails, so that the loops come round to the
// flag.
void CatchInterruptions();
// The signal number caught, or 0.
int Interruption();
// The exit status of a run ended by `signal`: 128 + its number.
int InterruptedStatus(int signal);
// "SIGINT", "SIGTERM" or "signal N".
std::string SignalName(int signal);

}  // namespace veltrin::host
