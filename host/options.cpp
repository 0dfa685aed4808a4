#include "host/options.h"

#include "host/commands.h"
#include "host/history.h"
#include "port/port.h"

namespace veltrin::host {
namespace {

// Every option with its value's name and its --help text; which commands
// take it is the command table's to say.
struct OptionSpec {
  const char* Name;
  const char* Value;  // "" for a flag
  const char* Help;
};
const OptionSpec kOptionTable[] = {
    {"--digits", "N",
     "digits of a bet of the lottery: 1-9 (check, report: 1-100). Default: the "
     "digits of the --history draws, else of filter's first --bets bet, else 5"},
    {"--settings", "FILE",
     "filter settings file (.flt): section [\xE8\xBF\x87\xE6\xBB\xA4], key Veltrin; GBK, UTF-8 "
     "or UTF-16, with or without a byte order mark, LF or CR LF line ends"},
    {"--condition", "TEXT",
     "the condition text itself; lines separated by ';' (UTF-8 is converted to GBK)"},
    {"--bets", "FILE",
     "bets, one per line ('-': standard input); digits may stand apart "
     "(\"1 2 3\", \"1,2,3\"), a draw history reads as its draws' digits; a "
     "UTF-16 file is read as its text; a line holding a NUL byte is never "
     "scored. filter's default: every bet of the lottery"},
    {"--out", "FILE",
     "filter: the kept bets (or the --format rows); batch: the settings file "
     "to save the new setting in (default: back into --settings); report: "
     "the HTML page (required). Written beside FILE and renamed: a failed or "
     "interrupted run leaves an earlier FILE as it was. A FILE that is one "
     "of the run's inputs is refused"},
    {"--removed", "FILE", "the removed bets go to FILE (written as --out is)"},
    {"--format", "csv|json",
     "filter: every bet with its verdict, failed count and each condition's "
     "score instead of the kept bets; check: json (one document) instead of "
     "the table"},
    {"--history", "FILE",
     "draw history: one draw per line, digits with or without an issue "
     "number before them, apart or together; '#' comments; UTF-8, GBK or "
     "UTF-16. Draws of another length are skipped and counted"},
    {"--keep-share", "N",
     "share of the history that the batch aide and the proposed tolerance "
     "range keep, in 1/10000 (0-10000, default 9000)"},
    {"--library", "PATH", "the filter library (default: beside this program)"},
    {"--only-failed", "", "list only the failing conditions"},
    {"--full", "", "each condition's whole text under its line"},
    {"--exact", "",
     "count every candidate of the whole setting (at most 9 digits) instead of "
     "estimating it from a sample"},
    {"--quiet", "",
     "no per-bet messages, summary or progress; the counts of bad lines are still given"},
    {"--last", "K", "count only the latest K draws of --history (default all)"},
    {"--quiet-aides", "",
     "the history check and the tolerance aide report on standard error "
     "instead of in a message box"},
};

const OptionSpec* FindOption(std::string_view name) {
  for (const OptionSpec& o : kOptionTable)
    if (name == o.Name) return &o;
  return nullptr;
}

bool Takes(const CommandSpec& c, std::string_view option) {
  for (std::string_view o : c.Takes)
    if (o == option) return true;
  return false;
}

// `text` as words wrapped to 79 columns, every line indented by `indent`
// blanks, the first one after `first` (padded to that width). A line break
// in `text` starts a new line.
std::string Indented(const std::string& first, const std::string& text, size_t indent) {
  constexpr size_t kWidth = 79;
  std::string out = first;
  if (out.size() < indent)
    out += std::string(indent - out.size(), ' ');
  else
    out += "\n" + std::string(indent, ' ');
  size_t column = indent;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == '\n') {
      out += "\n" + std::string(indent, ' ');
      column = indent;
      ++pos;
      continue;
    }
    if (text[pos] == ' ') {
      ++pos;
      continue;
    }
    size_t end = text.find_first_of(" \n", pos);
    if (end == std::string::npos) end = text.size();
    // Columns, not bytes: a UTF-8 character counts once.
    size_t width = 0;
    for (size_t i = pos; i < end; ++i)
      width += (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (column > indent && column + 1 + width > kWidth) {
      out += "\n" + std::string(indent, ' ');
      column = indent;
    } else if (column > indent) {
      out += ' ';
      ++column;
    }
    out.append(text, pos, end - pos);
    column += width;
    pos = end;
  }
  return out + "\n";
}

bool ParseNumber(const std::string& name, const std::string& text, int64_t lo, int64_t hi,
                 int64_t& out, std::string& error) {
  const port::IntStatus status = port::ParseInt(text, lo, hi, out);
  if (status == port::IntStatus::Ok && !text.empty() && text[0] != ' ') return true;
  error = port::IntProblem(status == port::IntStatus::Ok ? port::IntStatus::NotInteger : status,
                           name, text, lo, hi);
  return false;
}

}  // namespace

std::string UsageText() {
  std::string s =
      "usage: veltrin-host <command> [options] [bets...]\n"
      "\n"
      "Loads the Veltrin pair-score filter library and drives it through its\n"
      "exports, as a lottery host program does.\n"
      "\n"
      "commands:\n";
  for (const CommandSpec& c : CommandTable()) {
    s += Indented(std::string("  ") + c.Name, c.Help, 13);
    std::string takes;
    for (std::string_view o : c.Takes) takes += (takes.empty() ? "" : " ") + std::string(o);
    s += Indented("", "options: " + (takes.empty() ? std::string("none") : takes), 13);
  }
  s += "\noptions (a command refuses any option it does not list):\n";
  for (const OptionSpec& o : kOptionTable) {
    std::string name = std::string("  ") + o.Name + (*o.Value ? std::string(" ") + o.Value : "");
    std::string users;
    for (const CommandSpec& c : CommandTable())
      if (Takes(c, o.Name)) users += (users.empty() ? "" : ", ") + std::string(c.Name);
    s += Indented(name, std::string(o.Help) + "\n[" + users + "]", 21);
  }
  s += "  --help             this text\n"
       "\n"
       "Without --settings or --condition the bundled example setting is used\n"
       "(for 5-digit bets only); without --history the bundled example history\n"
       "(when its digits match) where the library asks the host for draws.\n"
       "Exit status: 0 done; 1 failed (bad setting, unreadable file, library,\n"
       "a write that failed, check/report: an invalid line); 2 usage error or an\n"
       "output refused because it is one of the inputs; 130/143 interrupted\n"
       "(SIGINT/SIGTERM).\n";
  return s;
}

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
        if (a == "help") o.Cmd = Command::Help;
        if (const CommandSpec* c = FindCommand(a)) o.Cmd = c->Cmd;
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
      if (!ParseNumber(a, v, 1, 100, n, error)) return false;
      o.Digits = int32_t(n);
      o.DigitsGiven = true;
    } else if (a == "--keep-share") {
      if (!value(a, v)) return false;
      if (!ParseNumber(a, v, 0, 10000, n, error)) return false;
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
      if (!ParseNumber(a, v, 1, 1000000000, n, error)) return false;
      o.Last = int32_t(n);
      o.LastGiven = true;
    } else if (a == "--only-failed") {
      o.OnlyFailed = true;
    } else if (a == "--full") {
      o.FullText = true;
    } else if (a == "--quiet" || a == "-q") {
      o.Quiet = true;
    } else if (a == "--exact") {
      o.Exact = true;
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
  if (o.Cmd == Command::Help) return true;
  const CommandSpec& command = *FindCommand(o.Cmd);
  for (const std::string& name : given) {
    if (FindOption(name) && !Takes(command, name)) {
      error = name + " does not apply to " + command.Name + " (veltrin-host --help)";
      return false;
    }
  }
  if (o.Digits > kMaxDrawDigits && o.Cmd != Command::Check && o.Cmd != Command::Report) {
    error = port::IntProblem(port::IntStatus::OutOfRange, "--digits", std::to_string(o.Digits), 1,
                             kMaxDrawDigits) +
            " (check and report take up to 100)";
    return false;
  }
  if (o.LastGiven && o.HistoryFile.empty()) {
    error = "--last counts draws of --history: give --history FILE";
    return false;
  }
  if (o.Cmd == Command::Report && o.OutFile.empty()) {
    error = "report needs --out FILE.html";
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
  if (!o.OutFile.empty() && !o.RemovedFile.empty() &&
      (o.OutFile == o.RemovedFile || port::SameFile(o.OutFile, o.RemovedFile))) {
    error = "--out and --removed name the same file";
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
