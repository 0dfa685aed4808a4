#include "host/output.h"

#include <cerrno>

#include "host/files.h"
#include "host/setting.h"

namespace veltrin::host {

std::vector<NamedPath> RunInputs(const Options& o) {
  std::vector<NamedPath> inputs;
  if (!o.SettingsFile.empty()) inputs.push_back({"--settings", o.SettingsFile});
  if (o.SettingsFile.empty() && !o.HasCondition)
    inputs.push_back({"the bundled example setting", BundledSettingsPath()});
  if (!o.HistoryFile.empty())
    inputs.push_back({"--history", o.HistoryFile});
  else
    inputs.push_back({"the bundled example history", BundledHistoryPath()});
  if (!o.BetsFile.empty() && o.BetsFile != "-") inputs.push_back({"--bets", o.BetsFile});
  if (!o.LibraryPath.empty()) inputs.push_back({"--library", o.LibraryPath});
  return inputs;
}

void Output::OpenStandard() {
  file_.Discard();
  SetBinaryMode(stdout);
  f_ = stdout;
  name_ = "standard output";
  standard_ = true;
}

bool OutputAllowed(const Options& o, const std::string& option, const std::string& path,
                   const std::string& rewrites, std::string& error) {
  for (const NamedPath& input : RunInputs(o)) {
    if (!rewrites.empty() && input.Path == rewrites) continue;
    if (!port::SameFile(path, input.Path)) continue;
    error = option + " " + path + " is the same file as " + input.Option + " " + input.Path +
            ": refused, it would be overwritten";
    return false;
  }
  return true;
}

bool Output::Open(const Options& o, const std::string& option, const std::string& path,
                  std::string& error, const std::string& rewrites) {
  standard_ = false;
  f_ = nullptr;
  name_ = path;
  if (!OutputAllowed(o, option, path, rewrites, error)) return false;
  if (!file_.Open(path, error)) return false;
  f_ = file_.Stream();
  return true;
}

bool Output::Commit(std::string& error) {
  if (!standard_) {
    f_ = nullptr;
    return file_.Commit(error);
  }
  errno = 0;
  const bool ok = std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (ok) return true;
  error = "cannot write to standard output: " + (errno ? port::ErrnoText(errno) : "write error");
  return false;
}

bool WriteOutput(const Options& o, const std::string& option, const std::string& path,
                 const std::string& content, const std::string& rewrites) {
  Output out;
  std::string error;
  if (path.empty())
    out.OpenStandard();
  else if (!out.Open(o, option, path, error, rewrites)) {
    Error(error);
    return false;
  }
  std::fwrite(content.data(), 1, content.size(), out.Stream());
  if (!out.Commit(error)) {
    Error(error + (path.empty() ? "" : " (an earlier file of that name is left as it was)"));
    return false;
  }
  return true;
}

bool FinishStandardOutput() {
  Output out;
  out.OpenStandard();
  std::string error;
  if (out.Commit(error)) return true;
  Error(error);
  return false;
}

}  // namespace veltrin::host
