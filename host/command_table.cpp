#include "host/commands.h"

namespace veltrin::host {

const std::vector<CommandSpec>& CommandTable() {
  using C = Command;
  static const std::vector<CommandSpec> table = {
      {"filter",
       C::Filter,
       "run every bet through the filter; kept bets go to standard output "
       "(or --out), a summary to standard error",
       {"--digits", "--settings", "--condition", "--bets", "--out", "--removed", "--format",
        "--library", "--quiet"},
       &RunFilter},
      {"debug",
       C::Debug,
       "explain the bets given as arguments or in --bets: per condition its "
       "number, the bet's score, the range, pass or FAIL and each code's score",
       {"--digits", "--settings", "--condition", "--bets", "--library", "--only-failed", "--full"},
       &RunDebug},
      {"open",
       C::Open,
       "open the library's settings dialog over the setting; after OK print "
       "the new condition text and save it back into --settings (Windows "
       "builds; natively the library has no dialog)",
       {"--digits", "--settings", "--condition", "--history", "--keep-share", "--library",
        "--quiet-aides"},
       &RunOpen},
      {"table",
       C::Table,
       "print the pair-score table the host derives from the history",
       {"--digits", "--history"},
       &RunTable},
      {"batch",
       C::Batch,
       "fit every condition's range to the history with the library's batch "
       "assistant; print the new setting and save it to --out or back into "
       "--settings (other keys, sections and line ends kept)",
       {"--digits", "--settings", "--condition", "--history", "--out", "--keep-share", "--library",
        "--quiet"},
       &RunBatch},
      {"tolerance",
       C::Tolerance,
       "count the conditions each draw of the history fails and propose a "
       "tolerance line E|0-high (a lower bound above 0 would remove the bets that pass every "
       "condition), with how many of all candidates the setting then keeps",
       {"--digits", "--settings", "--condition", "--history", "--keep-share", "--library"},
       &RunTolerance},
      {"history",
       C::History,
       "check every condition and the whole setting against the history: "
       "draws inside each range, scores, draws kept",
       {"--digits", "--settings", "--condition", "--history", "--library"},
       &RunHistory},
      {"check",
       C::Check,
       "explain every line of the setting: kind, mode, range, exact kept "
       "share of all candidates, hits over --history, diagnostics; exit "
       "status 1 when a line is invalid",
       {"--digits", "--settings", "--condition", "--history", "--last", "--format", "--exact",
        "--library"},
       &RunCheck},
      {"report",
       C::Report,
       "what check says, as one self-contained HTML page with charts (--out); "
       "exit status 1 when a line is invalid",
       {"--digits", "--settings", "--condition", "--history", "--last", "--out", "--exact",
        "--library"},
       &RunReport},
  };
  return table;
}

const CommandSpec* FindCommand(std::string_view name) {
  for (const CommandSpec& c : CommandTable())
    if (name == c.Name) return &c;
  return nullptr;
}

const CommandSpec* FindCommand(Command cmd) {
  for (const CommandSpec& c : CommandTable())
    if (cmd == c.Cmd) return &c;
  return nullptr;
}

}  // namespace veltrin::host
