// The commands of veltrin-host, in one table that option parsing, --help
// and dispatch all read: a command added to it gets its options checked,
// its help written and its run called by construction. Each command lives
// in a file of its own and returns the process exit status.
#pragma once

#include <string_view>
#include <vector>

#include "host/options.h"

namespace veltrin::host {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;  // reported on standard error
inline constexpr int kExitUsage = 2;   // a usage error, or an output refused

struct CommandSpec {
  const char* Name;
  Command Cmd;
  // The --help description, lines joined by '\n', without indentation.
  const char* Help;
  // The options it takes; any other is refused.
  std::vector<std::string_view> Takes;
  int (*Run)(const Options&);
};

// Every command, in the order --help lists them.
const std::vector<CommandSpec>& CommandTable();
// The entry for a name or a command; null when there is none.
const CommandSpec* FindCommand(std::string_view name);
const CommandSpec* FindCommand(Command cmd);

int RunFilter(const Options& options);
int RunDebug(const Options& options);
int RunOpen(const Options& options);
int RunTable(const Options& options);
int RunBatch(const Options& options);
int RunTolerance(const Options& options);
int RunHistory(const Options& options);
int RunCheck(const Options& options);
int RunReport(const Options& options);

}  // namespace veltrin::host
