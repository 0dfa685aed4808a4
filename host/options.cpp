#include "host/options.h"

#include <cerrno>
#include <cstdlib>

namespace veltrin::host {
namespace {

bool ParseInt(const std::string& text, int64_t lo, int64_t hi, int64_t& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || v < lo || v > hi) return false;
  out = v;
  return true;
}

}  // namespace

const char* UsageText() {
  return "usage: veltrin-host <command> [options] [bets...]\n"
         "\n"
         "Loads the Veltrin pair-score filter library and drives it through its\n"
         "exports, as a lottery host program does.\n"
         "\n"
         "commands:\n"
         "  filter     run every bet through the filter; kept bets go to standard\n"
         "             output (or --out), a summary to standard error\n"
         "  debug      explain the given bets: per condition its number, the bet's\n"
         "             score, the range, pass or FAIL and each code's score\n"
         "  open       open the library's settings dialog over the setting; after OK\n"
         "             print the new condition text and save it back to --settings\n"
         "             (Windows builds; natively the library has no dialog)\n"
         "  table      print the pair-score table the host derives from the history\n"
         "  batch      fit every condition's range to the history with the library's\n"
         "             batch assistant; print the new setting and save it to --out\n"
         "             or back into --settings (other sections kept)\n"
         "  tolerance  count the conditions each draw of the history fails and\n"
         "             propose a tolerance line E|low-high\n"
         "  history    check every condition and the whole setting against the\n"
         "             history: draws inside each range, scores, draws kept\n"
         "  check      explain every line of the setting: kind, mode, range, exact\n"
         "             kept share of all candidates, hits over --history,\n"
         "             diagnostics; exit status 1 when a line is invalid\n"
         "  report     the same as one self-contained HTML page with charts (--out)\n"
         "\n"
         "options (each only where it applies; any other command refuses it):\n"
         "  --digits N         digits of a bet of the lottery, 1-9 (default 5; with\n"
         "                     --bets the first bet's, with --history its draws')\n"
         "  --settings FILE    filter settings file (.flt, GBK or UTF-8): section\n"
         "                     [\xE8\xBF\x87\xE6\xBB\xA4], key Veltrin\n"
         "  --condition TEXT   the condition text itself; lines separated by ';'\n"
         "                     (UTF-8 is converted to GBK)\n"
         "  --bets FILE        filter, debug: bets, one per line ('-': standard\n"
         "                     input); digits may stand apart (\"1 2 3\", \"1,2,3\"),\n"
         "                     a draw history reads as its draws' digits;\n"
         "                     filter default: every bet of the lottery\n"
         "  --out FILE         filter: the kept bets (or --format rows) go to FILE;\n"
         "                     batch: the settings file to save the new setting in.\n"
         "                     Written whole: an interrupted or failed run leaves an\n"
         "                     earlier FILE as it was\n"
         "  --removed FILE     filter: the removed bets go to FILE\n"
         "  --format csv|json  filter: every bet with its verdict, failed count and\n"
         "                     each condition's score instead of the kept bets\n"
         "  --history FILE     draw history: one draw per line, digits with or\n"
         "                     without an issue number before them; '#' comments\n"
         "  --keep-share N     open, batch, tolerance: share of the history that the\n"
         "                     batch aide and the proposed tolerance range keep, in\n"
         "                     1/10000 (0-10000, default 9000)\n"
         "  --library PATH     the filter library (default: beside this program)\n"
         "  --only-failed      debug: list only the failing conditions\n"
         "  --full             debug: each condition's whole text under its line\n"
         "  --quiet            filter, batch: no per-bet messages, summary or\n"
         "                     progress; the counts of bad lines are still given\n"
         "  --last K           check, report: count the latest K draws (default all)\n"
         "  --quiet-aides      open: the history check and the tolerance aide\n"
         "                     report on standard error instead of in a message box\n"
         "  --help             this text\n"
         "\n"
         "Without --settings or --condition the bundled example setting is used\n"
         "(for 5-digit bets only), without --history the bundled example history\n"
         "(when its digits match) where the library may ask for one.\n"
         "Exit status: 0 done, 1 failed (bad setting, unreadable file, library),\n"
         "2 usage error, 130/143 interrupted (SIGINT/SIGTERM).\n";
}

namespace {

struct CommandName {
  const char* Name;
  Command Cmd;
};
constexpr CommandName kCommands[] = {
    {"filter", Command::Filter},   {"debug", Command::Debug}, {"open", Command::Open},
    {"table", Command::Table},     {"batch", Command::Batch}, {"tolerance", Command::Tolerance},
    {"history", Command::History}, {"check", Command::Check}, {"report", Command::Report},
    {"help", Command::Help},
};

const char* NameOf(Command cmd) {
  for (const CommandName& c : kCommands)
    if (c.Cmd == cmd) return c.Name;
  return "";
}

// Which commands each option means something to; any other command refuses
// it rather than ignore it.
struct OptionUse {
  const char* Name;
  std::vector<Command> Commands;
};
const std::vector<OptionUse>& OptionUses() {
  using C = Command;
  static const std::vector<OptionUse> uses = {
      {"--digits",
       {C::Filter, C::Debug, C::Open, C::Table, C::Batch, C::Tolerance, C::History, C::Check,
        C::Report}},
      {"--settings",
       {C::Filter, C::Debug, C::Open, C::Batch, C::Tolerance, C::History, C::Check, C::Report}},
      {"--condition",
       {C::Filter, C::Debug, C::Open, C::Batch, C::Tolerance, C::History, C::Check, C::Report}},
      {"--bets", {C::Filter, C::Debug}},
      {"--out", {C::Filter, C::Batch, C::Report}},
      {"--removed", {C::Filter}},
      {"--format", {C::Filter, C::Check}},
      {"--history", {C::Open, C::Table, C::Batch, C::Tolerance, C::History, C::Check, C::Report}},
      {"--last", {C::Check, C::Report}},
      {"--keep-share", {C::Open, C::Batch, C::Tolerance}},
      {"--library",
       {C::Filter, C::Debug, C::Open, C::Batch, C::Tolerance, C::History, C::Check, C::Report}},
      {"--only-failed", {C::Debug}},
      {"--full", {C::Debug}},
      {"--quiet", {C::Filter, C::Batch}},
      {"--quiet-aides", {C::Open}},
  };
  return uses;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  o = Options{};
  size_t i = 0;
  std::vector<std::string> given;
  auto value = [&](const std::string& name, std::string& out) {
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return false;
    }
    out = args[++i];
    return true;
  };
  bool onlyBets = false;  // after "--" everything is a bet
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyBets || a.empty() || a[0] != '-' || a == "-") {
      if (o.Cmd == Command::None && !onlyBets) {
        for (const CommandName& c : kCommands)
          if (a == c.Name) o.Cmd = c.Cmd;
        if (o.Cmd == Command::None) {
          error = "unknown command '" + a + "'";
          return false;
        }
      } else {
        o.Bets.push_back(a);
      }
      continue;
    }
    std::string v;
    int64_t n = 0;
    const std::string name = a == "-q" ? "--quiet" : a;
    given.push_back(name);
    if (a == "--") {
      onlyBets = true;
      given.pop_back();
    } else if (a == "--help" || a == "-h") {
      o.Cmd = Command::Help;
      return true;
    } else if (a == "--digits") {
      if (!value(a, v)) return false;
      // Up to 100 for check and report, which count without enumerating.
      if (!ParseInt(v, 1, 100, n)) {
        error = "--digits takes a number from 1 to 9 (check, report: 1 to 100)";
        return false;
      }
      o.Digits = int32_t(n);
      o.DigitsGiven = true;
    } else if (a == "--keep-share") {
      if (!value(a, v)) return false;
      if (!ParseInt(v, 0, 10000, n)) {
        error = "--keep-share takes a number from 0 to 10000";
        return false;
      }
      o.KeepShare = n;
    } else if (a == "--settings") {
      if (!value(a, o.SettingsFile)) return false;
    } else if (a == "--condition") {
      if (!value(a, o.Condition)) return false;
      o.HasCondition = true;
    } else if (a == "--bets") {
      if (!value(a, o.BetsFile)) return false;
    } else if (a == "--out") {
      if (!value(a, o.OutFile)) return false;
    } else if (a == "--removed") {
      if (!value(a, o.RemovedFile)) return false;
    } else if (a == "--format") {
      if (!value(a, v)) return false;
      if (v == "csv")
        o.OutFormat = Format::Csv;
      else if (v == "json")
        o.OutFormat = Format::Json;
      else {
        error = "--format takes csv or json (check: json)";
        return false;
      }
    } else if (a == "--history") {
      if (!value(a, o.HistoryFile)) return false;
    } else if (a == "--library") {
      if (!value(a, o.LibraryPath)) return false;
    } else if (a == "--last") {
      if (!value(a, v)) return false;
      if (!ParseInt(v, 1, 1000000000, n)) {
        error = "--last takes a number of draws from 1";
        return false;
      }
      o.Last = int32_t(n);
    } else if (a == "--only-failed") {
      o.OnlyFailed = true;
    } else if (a == "--full") {
      o.FullText = true;
    } else if (a == "--quiet" || a == "-q") {
      o.Quiet = true;
    } else if (a == "--quiet-aides") {
      o.QuietAides = true;
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  if (o.Cmd == Command::None) {
    error = "no command given";
    return false;
  }
  for (const std::string& name : given) {
    for (const OptionUse& use : OptionUses()) {
      if (name != use.Name) continue;
      bool applies = false;
      for (Command c : use.Commands) applies = applies || c == o.Cmd;
      if (!applies) {
        error = name + " does not apply to " + NameOf(o.Cmd) + " (veltrin-host --help)";
        return false;
      }
    }
  }
  if (o.Digits > 9 && o.Cmd != Command::Check && o.Cmd != Command::Report) {
    error = "--digits takes a number from 1 to 9 (check, report: 1 to 100)";
    return false;
  }
  if (o.HasCondition && !o.SettingsFile.empty()) {
    error = "give either --settings or --condition, not both";
    return false;
  }
  if (!o.Bets.empty() && o.Cmd != Command::Debug) {
    error = "unexpected argument '" + o.Bets.front() + "' (bets go in a file: --bets)";
    return false;
  }
  if (o.Cmd == Command::Debug && o.Bets.empty() && o.BetsFile.empty()) {
    error = "debug needs bets: as arguments or with --bets";
    return false;
  }
  if (o.Cmd == Command::Check && o.OutFormat == Format::Csv) {
    error = "check writes a table or --format json, not csv";
    return false;
  }
  if (!o.RemovedFile.empty() && o.OutFormat != Format::Default) {
    error = "--removed lists bets; with --format every bet's verdict is in --out already";
    return false;
  }
  return true;
}

}  // namespace veltrin::host
