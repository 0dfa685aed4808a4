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
         "  filter   run every bet through the filter; kept bets go to standard\n"
         "           output, a summary to standard error\n"
         "  debug    explain the given bets condition by condition\n"
         "  open     open the library's settings dialog over the setting; after OK\n"
         "           print the new condition text and save it back to --settings\n"
         "           (Windows builds; natively the library has no dialog)\n"
         "  table    print the pair-score table the host derives from the history\n"
         "  check    explain every line of the setting: kind, mode, range, exact kept\n"
         "           share of all candidates, hits over --history, diagnostics;\n"
         "           exit status 1 when a line is invalid\n"
         "  report   the same as one self-contained HTML page with charts (--out)\n"
         "\n"
         "options:\n"
         "  --digits N         digits of a bet of the lottery, 1-9 (default 5)\n"
         "  --settings FILE    filter settings file (.flt): section [\xE8\xBF\x87\xE6\xBB\xA4], "
         "key Veltrin\n"
         "  --condition TEXT   the condition text itself; lines separated by ';'\n"
         "                     (UTF-8 is converted to GBK)\n"
         "  --bets FILE        bets to use, one per line ('-': standard input);\n"
         "                     filter default: every bet of the lottery\n"
         "  --out FILE         write the kept bets to FILE instead of standard output\n"
         "  --history FILE     draw history: lines 'issue digits', '#' starts a comment\n"
         "  --keep-share N     share of the history that the batch aide and the\n"
         "                     proposed tolerance range keep, in 1/10000\n"
         "                     (0-10000, default 9000)\n"
         "  --library PATH     the filter library (default: beside this program)\n"
         "  --only-failed      debug: list only the failing conditions\n"
         "  --last K           check, report: count the latest K draws (default all)\n"
         "  --format json      check: one JSON document instead of the table\n"
         "  --quiet            no summary and no progress display\n"
         "  --quiet-aides      open: the history check and the tolerance aide\n"
         "                     report on standard error instead of in a message box\n"
         "  --help             this text\n"
         "\n"
         "Without --settings or --condition the bundled example setting is used,\n"
         "without --history the bundled example history (when their digits match).\n"
         "Exit status: 0 done, 1 failed (bad setting, unreadable file, library),\n"
         "2 usage error.\n";
}

bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
  o = Options{};
  size_t i = 0;
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
        if (a == "filter")
          o.Cmd = Command::Filter;
        else if (a == "debug")
          o.Cmd = Command::Debug;
        else if (a == "open")
          o.Cmd = Command::Open;
        else if (a == "table")
          o.Cmd = Command::Table;
        else if (a == "check")
          o.Cmd = Command::Check;
        else if (a == "report")
          o.Cmd = Command::Report;
        else if (a == "help")
          o.Cmd = Command::Help;
        else {
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
    if (a == "--") {
      onlyBets = true;
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
    } else if (a == "--format") {
      if (!value(a, o.Format)) return false;
      if (o.Format != "json" && o.Format != "text") {
        error = "--format takes json or text";
        return false;
      }
    } else if (a == "--only-failed") {
      o.OnlyFailed = true;
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
  return true;
}

}  // namespace veltrin::host
