// The command line of veltrin-host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin::host {

enum class Command { None, Filter, Debug, Open, Table, Help, Check, Report };

struct Options {
  Command Cmd = Command::None;
  int32_t Digits = 5;
  std::string SettingsFile;  // --settings
  std::string Condition;     // --condition, as typed (UTF-8 or GBK)
  bool HasCondition = false;
  std::string BetsFile;           // --bets; "-" is standard input
  std::string OutFile;            // --out
  std::string HistoryFile;        // --history
  std::string LibraryPath;        // --library
  int64_t KeepShare = 9000;       // --keep-share
  bool OnlyFailed = false;        // --only-failed (debug)
  bool Quiet = false;             // --quiet
  bool QuietAides = false;        // --quiet-aides
  std::vector<std::string> Bets;  // bets given as arguments (debug)
  int32_t Last = 0;               // --last: latest draws counted (0: all)
  std::string Format = "text";    // --format: text or json (check)
};

// Parses the arguments after the program name. False with `error` set on a
// usage error.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);
// The --help text.
const char* UsageText();

}  // namespace veltrin::host
