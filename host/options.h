// The command line of veltrin-host.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace veltrin::host {

enum class Command {
  None,
  Filter,
  Debug,
  Open,
  Table,
  Batch,
  Tolerance,
  History,
  Check,
  Report,
  Help
};

// --format: filter's per-bet rows (csv, json) instead of the kept bets;
// check's JSON document instead of the table.
enum class Format { Default, Csv, Json };

struct Options {
  Command Cmd = Command::None;
  int32_t Digits = 5;
  bool DigitsGiven = false;  // --digits given: otherwise a history may tell
  std::string SettingsFile;  // --settings
  std::string Condition;     // --condition, as typed (UTF-8 or GBK)
  bool HasCondition = false;
  std::string BetsFile;                // --bets; "-" is standard input
  std::string OutFile;                 // --out
  std::string RemovedFile;             // --removed
  std::string HistoryFile;             // --history
  std::string LibraryPath;             // --library
  int64_t KeepShare = 9000;            // --keep-share
  bool OnlyFailed = false;             // --only-failed (debug)
  bool FullText = false;               // --full (debug): whole condition texts
  Format OutFormat = Format::Default;  // --format
  bool LastGiven = false;              // --last given
  bool Quiet = false;                  // --quiet
  bool Exact = false;                  // --exact (check, report)
  bool QuietAides = false;             // --quiet-aides
  std::vector<std::string> Bets;       // bets given as arguments (debug)
  int32_t Last = 0;                    // --last: latest draws counted (0: all)
};

// Parses the arguments after the program name. False with `error` set on a
// usage error.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);
// The --help text, from the command table and the option table.
std::string UsageText();

}  // namespace veltrin::host
