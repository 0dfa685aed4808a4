// The one way out: every file a command writes (filter's --out and
// --removed, report's page, the settings batch and open save) and its
// standard output go through Output, which
//  - refuses a path that is the same file as any input of the run (device
//    and inode, links followed), except the one file a command rewrites on
//    purpose (a setting saved back into its settings file);
//  - writes a file beside its target and renames it over the target only
//    when the run completed (port::ReplacingFile), so that a failed or
//    interrupted run leaves any earlier file as it was;
//  - names the system's reason when writing fails, standard output too.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "host/options.h"
#include "port/port.h"

namespace veltrin::host {

struct NamedPath {
  std::string Option;  // "--history", "the bundled example setting", ...
  std::string Path;
};
// The files the run reads: --settings, --history, --bets, --library, and
// the bundled example files it falls back on.
std::vector<NamedPath> RunInputs(const Options& o);

// False with `error` set when `path` is the same file as an input of the
// run other than `rewrites`. Commands ask before they work, so that a
// refused output costs nothing (exit status 2).
bool OutputAllowed(const Options& o, const std::string& option, const std::string& path,
                   const std::string& rewrites, std::string& error);

class Output {
 public:
  Output() = default;
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  // Standard output, in binary mode.
  void OpenStandard();
  // The file at `path`; `option` names it in messages ("--out"). `rewrites`
  // is the input this output replaces on purpose, or empty. False with
  // `error` set.
  bool Open(const Options& o, const std::string& option, const std::string& path,
            std::string& error, const std::string& rewrites = {});
  std::FILE* Stream() const { return f_; }
  // "standard output" or the path.
  const std::string& Name() const { return name_; }
  // How a list's lines end: a file is a text file of the system (CR LF on
  // Windows); standard output keeps LF, which pipes and terminals expect.
  std::string_view LineEnd() const { return standard_ ? "\n" : port::kLineEnd; }
  // Flushes and puts the file in place; false with `error` ("cannot write
  // NAME: reason") set, an earlier file left as it was.
  bool Commit(std::string& error);
  // Drops what was written; an earlier file stays as it was.
  void Discard() { file_.Discard(); }

 private:
  port::ReplacingFile file_;
  std::FILE* f_ = nullptr;
  std::string name_;
  bool standard_ = false;
};

// Opens `path` (empty: standard output), writes `content` and commits;
// false with the reason reported on standard error.
bool WriteOutput(const Options& o, const std::string& option, const std::string& path,
                 const std::string& content, const std::string& rewrites = {});
// Commits standard output after a command printed to it; false with the
// reason reported.
bool FinishStandardOutput();

using port::CatchInterruptions;
using port::Interruption;
using port::SignalName;
// The exit status of a run ended by `signal`: 128 + its number.
inline int InterruptedStatus(int signal) { return 128 + signal; }

}  // namespace veltrin::host
