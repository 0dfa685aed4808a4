#include "host/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "common/counted.h"
#include "common/inifile.h"
#include "common/records.h"
#include "common/text.h"
#include "common/texts.h"
#include "host/call_wrapper.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/history.h"
#include "host/io.h"
#include "host/output.h"
#include "host/plugin_library.h"
#include "host/string_list.h"

namespace veltrin::host {
namespace {

// The key of the filter's value in section [过滤] of a settings file.
constexpr char kSettingsKey[] = "Veltrin";
// Bundled defaults, copied beside the program at build time.
constexpr char kExampleSettings[] = "examples/veltrin-example.flt";
constexpr char kExampleHistory[] = "examples/history.txt";
// The bundled example is fitted to 5-digit draws (examples/make_examples.py).
constexpr int32_t kExampleDigits = 5;

void Error(const std::string& message) {
  std::fprintf(stderr, "veltrin-host: %s\n", message.c_str());
}

std::string BundledFile(const char* relative) {
  std::string path = JoinPath(ExecutableDir(), relative);
#if defined(_WIN32)
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

// A settings-file path as TExtIniFile takes it: GBK on Windows, where it
// widens names with code page 936; bytes as they are natively.
bool IniPath(const std::string& utf8Path, std::string& out) {
#if defined(_WIN32)
  return Utf8ToGbk(utf8Path, out);
#else
  out = utf8Path;
  return true;
#endif
}

// What a settings file holds under the dialect's rules: a section runs from
// its header ("[name]", ASCII case folded) to the first empty line or next
// header; an entry is "key=value".
struct IniScan {
  bool HasSection = false;
  bool HasKey = false;
  std::string Value;
  std::vector<std::string> Sections;  // every header, as written
  std::vector<std::string> Keys;      // the keys of the wanted section
};

IniScan ScanIni(const std::vector<std::string>& lines, std::string_view section,
                std::string_view key) {
  IniScan scan;
  const std::string header = AsciiUpper("[" + std::string(section) + "]");
  bool inside = false, done = false;
  for (const std::string& line : lines) {
    if (!line.empty() && line[0] == '[') {
      scan.Sections.push_back(line);
      inside = !done && AsciiUpper(line) == header;
      if (inside) scan.HasSection = done = true;
      continue;
    }
    if (line.empty()) inside = false;
    if (!inside) continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    scan.Keys.push_back(line.substr(0, eq));
    if (!scan.HasKey && std::string_view(line).substr(0, eq) == key) {
      scan.HasKey = true;
      scan.Value = line.substr(eq + 1);
    }
  }
  return scan;
}

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& name : names) out += (out.empty() ? "" : ", ") + GbkToUtf8(name);
  return out;
}

// Whether a settings file is UTF-8 (what a Linux editor writes) rather than
// the GBK the system's files are in: it holds text beyond ASCII, all of it
// well-formed UTF-8, which GBK Chinese almost never is.
bool IsUtf8File(const std::vector<std::string>& lines) {
  bool beyondAscii = false;
  for (const std::string& line : lines) {
    if (IsAscii(line)) continue;
    if (!IsUtf8(line)) return false;
    beyondAscii = true;
  }
  return beyondAscii;
}

// The condition text (GBK) from --condition, --settings or the bundled
// example; `source` says where it came from.
bool LoadSetting(const Options& o, std::string& text, std::string& source) {
  if (o.HasCondition) {
    text = TypedTextToGbk(o.Condition, TerminalIsGbk());
    source = "--condition";
    return true;
  }
  std::string path = o.SettingsFile;
  source = path;
  if (path.empty()) {
    // The example is made for its own lottery; other bets get no setting
    // rather than one that means nothing for them.
    if (o.DigitsGiven && o.Digits != kExampleDigits) {
      Error("the bundled example setting is made for " + std::to_string(kExampleDigits) +
            "-digit bets, and there is none for " + std::to_string(o.Digits) +
            " digits: give --settings FILE.flt or --condition TEXT");
      return false;
    }
    path = BundledFile(kExampleSettings);
    if (!FileExists(path)) {
      Error("no filter setting: give --settings FILE.flt or --condition TEXT");
      return false;
    }
    source = path + " (bundled example)";
  }
  if (!FileExists(path)) {
    Error("settings file " + path + " not found");
    return false;
  }
  std::string iniPath;
  if (!IniPath(path, iniPath)) {
    Error("settings file name " + path + " cannot be opened");
    return false;
  }
  std::vector<std::string> lines;
  try {
    lines = TExtIniFile(iniPath).Lines();
  } catch (const std::exception& e) {
    Error("cannot read settings file " + path + ": " + e.what());
    return false;
  }
  if (!lines.empty()) lines[0] = std::string(WithoutBom(lines[0]));
  const bool utf8 = IsUtf8File(lines);
  const std::string section = utf8 ? GbkToUtf8(kTxtFltSection) : std::string(kTxtFltSection);
  const IniScan scan = ScanIni(lines, section, kSettingsKey);
  const std::string sectionName = "[\xE8\xBF\x87\xE6\xBB\xA4]";  // [过滤]
  if (!scan.HasSection) {
    Error("settings file " + path + " has no section " + sectionName +
          (scan.Sections.empty() ? std::string(" (it has no sections at all)")
                                 : " (its sections: " + JoinNames(scan.Sections) + ")") +
          (utf8 ? "" : "; the file must be GBK text, as the settings dialog saves it"));
    return false;
  }
  if (!scan.HasKey || IsBlank(scan.Value)) {
    Error("settings file " + path + " has no " + kSettingsKey + " value in section " + sectionName +
          (scan.Keys.empty() ? std::string(" (the section is empty)")
                             : " (its keys: " + JoinNames(scan.Keys) + ")"));
    return false;
  }
  text = scan.Value;
  if (utf8 && !Utf8ToGbk(scan.Value, text)) {
    Error("settings file " + path +
          " is UTF-8 text holding characters that GBK has not: "
          "a settings file must be GBK text");
    return false;
  }
  return true;
}

// Saves `value` (GBK) as the setting of the settings file at `path`; its
// other keys and sections stay, and a UTF-8 file stays UTF-8.
bool SaveSetting(const std::string& path, const std::string& value) {
  std::string iniPath;
  try {
    if (!IniPath(path, iniPath)) throw std::runtime_error("unusable file name");
    TExtIniFile ini(iniPath);
    if (!IsUtf8File(ini.Lines())) {
      ini.WriteString(kTxtFltSection, kSettingsKey, value);
      return true;
    }
    if (!ini.Lines().empty() && WithoutBom(ini.Lines()[0]) != ini.Lines()[0])
      throw std::runtime_error("it begins with a byte order mark, which hides its first line");
    ini.WriteString(GbkToUtf8(kTxtFltSection), kSettingsKey, GbkToUtf8(value));
  } catch (const std::exception& e) {
    Error("cannot save the setting to " + path + ": " + e.what());
    return false;
  }
  return true;
}

// The history from --history, or the bundled one when its digits match.
bool LoadHostSettings(const Options& o, HostSettings& settings) {
  settings.DigitCount = o.Digits;
  settings.KeepShare = o.KeepShare;
  if (o.QuietAides) settings.Reporter = PrintAideReport;
  std::string error;
  if (!o.HistoryFile.empty()) {
    // Without --digits the history's draws say how many digits a bet has.
    if (!LoadHistory(o.HistoryFile, o.DigitsGiven ? o.Digits : 0, settings.History, error)) {
      Error("history " + error);
      return false;
    }
    settings.DigitCount = settings.History.DigitCount;
    settings.HasHistory = true;
    return true;
  }
  const std::string bundled = BundledFile(kExampleHistory);
  if (FileExists(bundled) && LoadHistory(bundled, o.Digits, settings.History, error))
    settings.HasHistory = true;
  return true;
}

// The library, loaded and handed the host's call interface; unloaded (which
// releases the library's reference) before the host drops its own.
class Session {
 public:
  ~Session() {
    library_.Unload();
    if (wrapper_) wrapper_->Release();
  }
  bool Start(const Options& o) {
    HostSettings settings;
    if (!LoadHostSettings(o, settings)) return false;
    path_ = o.LibraryPath.empty() ? DefaultLibraryPath() : o.LibraryPath;
    std::string error;
    if (!library_.Load(path_, error)) {
      Error(error);
      return false;
    }
    wrapper_ = HostCallWrapper::Create(std::move(settings));
    library_.Exports().SetIIWrapper(wrapper_);
    return true;
  }
  const PluginExports& Api() const { return library_.Exports(); }
  const std::string& Path() const { return path_; }
  HostCallWrapper& Host() const { return *wrapper_; }

 private:
  PluginLibrary library_;
  HostCallWrapper* wrapper_ = nullptr;
  std::string path_;
};

// Sets and prepares the condition text; false (reported) when the library
// rejects it.
bool PrepareSetting(const Session& s, const std::string& text, const std::string& source) {
  s.Api().SetFilterStr(text.c_str());
  if (!s.Api().SzcPrepare()) {
    Error("the filter setting from " + source +
          " is not valid: the library could not prepare it (SzcPrepare answered false)");
    return false;
  }
  return true;
}

// Opens --bets (or standard input); null with a message on failure.
std::FILE* OpenBets(const std::string& path, bool& owned) {
  owned = false;
  if (path == "-") {
    SetBinaryMode(stdin);
    return stdin;
  }
  std::FILE* f = OpenFile(path, "rb");
  if (!f) Error("cannot open bets file " + path + ": " + LastErrorText());
  owned = f != nullptr;
  return f;
}

struct Tally {
  uint64_t Candidates = 0, Kept = 0, Removed = 0, Invalid = 0;
  // Lines of a bets file that were no bet, and bets of another length than
  // the lottery's: counted, never scored.
  uint64_t Unreadable = 0, OtherLength = 0;
  void Count(int32_t verdict) {
    ++Candidates;
    if (verdict == 0)
      ++Kept;
    else if (verdict < 0)
      ++Invalid;
    else
      ++Removed;
  }
};

// Reports the first few problem lines of an input and counts the rest.
class Problems {
 public:
  explicit Problems(bool quiet) : quiet_(quiet) {}
  void Report(uint64_t lineNo, const std::string& message) {
    if (++count_ > kLimit || quiet_) return;
    std::fprintf(stderr, "veltrin-host: line %llu: %s\n", (unsigned long long)lineNo,
                 message.c_str());
  }
  void Finish() const {
    if (!quiet_ && count_ > kLimit)
      std::fprintf(stderr, "veltrin-host: ... and %llu more such lines\n",
                   (unsigned long long)(count_ - kLimit));
  }

 private:
  static constexpr uint64_t kLimit = 5;
  bool quiet_;
  uint64_t count_ = 0;
};

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// A text as a JSON string (UTF-8 in, quotes and control characters escaped).
std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\u%04x", unsigned(c));
      out += buf;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

// A text as a CSV field: quoted when it holds a separator or a quote.
std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

// Writes every bet with its verdict, its failed count and each condition's
// score, from the library's debug record of the bet.
class ScoredWriter {
 public:
  ScoredWriter(Format format, const PluginExports& api, OutputBuffer& out)
      : format_(format), api_(api), out_(out) {
    // The number of conditions, from any bet that can be evaluated.
    api_.SzcFltDebug(&record_, "0", true);
    conditions_ = DynArrayLength(record_.DebugLines);
    std::string head = "[";
    if (format_ == Format::Csv) {
      head = "bet,verdict,failed";
      for (int32_t i = 0; i < conditions_; ++i) head += ",score" + std::to_string(i + 1);
    }
    head += "\n";
    out_.Write(head.data(), head.size());
  }
  ~ScoredWriter() { ReleaseDebugResult(record_); }
  ScoredWriter(const ScoredWriter&) = delete;
  ScoredWriter& operator=(const ScoredWriter&) = delete;

  // Evaluates and writes one bet; its verdict (-1: cannot be evaluated).
  int32_t Take(const std::string& bet) {
    api_.SzcFltDebug(&record_, bet.c_str(), true);
    const int32_t verdict = record_.Verdict < 0 ? -1 : record_.Verdict == 0 ? 0 : 1;
    const int32_t n = DynArrayLength(record_.DebugLines);
    const char* word = verdict == 0 ? "keep" : verdict > 0 ? "remove" : "invalid";
    std::string row;
    if (format_ == Format::Csv) {
      row = CsvField(GbkToUtf8(bet)) + "," + word + ",";
      if (verdict >= 0) row += std::to_string(record_.ErrCount);
      for (int32_t i = 0; i < conditions_; ++i)
        row += "," + (i < n ? std::string(CountedStrView(record_.DebugLines[i].Value)) : "");
      row += "\n";
    } else {
      row = rows_++ ? ",\n" : "";
      row += "{\"bet\":" + JsonString(GbkToUtf8(bet)) + ",\"verdict\":\"" + word + "\"";
      row += ",\"failed\":" + (verdict >= 0 ? std::to_string(record_.ErrCount) : "null");
      row += ",\"scores\":[";
      for (int32_t i = 0; i < n; ++i)
        row += (i ? "," : "") + std::string(CountedStrView(record_.DebugLines[i].Value));
      row += "]}";
    }
    out_.Write(row.data(), row.size());
    return verdict;
  }
  void Finish() {
    if (format_ != Format::Json) return;
    const std::string end = rows_ ? "\n]\n" : "]\n";
    out_.Write(end.data(), end.size());
  }

 private:
  Format format_;
  const PluginExports& api_;
  OutputBuffer& out_;
  TDebugResult record_{};
  int32_t conditions_ = 0;
  uint64_t rows_ = 0;
};

}  // namespace

namespace {

// Refuses an output that is one of the run's inputs, whatever the names: it
// would be emptied before it is read.
bool OutputsAreNotInputs(const Options& o) {
  const std::pair<const char*, const std::string*> inputs[] = {
      {"--bets", &o.BetsFile}, {"--settings", &o.SettingsFile}, {"--history", &o.HistoryFile}};
  const std::pair<const char*, const std::string*> outputs[] = {{"--out", &o.OutFile},
                                                                {"--removed", &o.RemovedFile}};
  for (const auto& [outName, out] : outputs) {
    if (out->empty()) continue;
    for (const auto& [inName, in] : inputs) {
      if (in->empty() || *in == "-" || !SameFile(*out, *in)) continue;
      Error(std::string(outName) + " " + *out + " is the same file as " + inName + " " + *in +
            ": refused, it would be overwritten before it is read");
      return false;
    }
  }
  if (!o.OutFile.empty() && !o.RemovedFile.empty() &&
      (o.OutFile == o.RemovedFile || SameFile(o.OutFile, o.RemovedFile))) {
    Error("--out and --removed name the same file");
    return false;
  }
  return true;
}

void PrintSummary(const Session& session, const std::string& source, const Tally& tally,
                  double seconds, int signal) {
  const double share =
      tally.Candidates ? 100.0 * double(tally.Kept) / double(tally.Candidates) : 0.0;
  if (signal)
    std::fprintf(stderr, "interrupted by %s: the summary so far\n", SignalName(signal).c_str());
  std::fprintf(stderr, "library: %s (%s %s)\n", session.Path().c_str(),
               session.Api().GetFilterName(), session.Api().GetVersion());
  std::fprintf(stderr, "setting: %s\n", source.c_str());
  std::fprintf(stderr, "candidates: %llu\n", (unsigned long long)tally.Candidates);
  std::fprintf(stderr, "kept: %llu (%.2f%%)\n", (unsigned long long)tally.Kept, share);
  std::fprintf(stderr, "removed: %llu\n", (unsigned long long)tally.Removed);
  std::fprintf(stderr, "could not be evaluated: %llu\n", (unsigned long long)tally.Invalid);
  std::fprintf(stderr, "time: %.3f s\n", seconds);
  std::fprintf(stderr, "speed: %.0f bets/s\n",
               seconds > 0 ? double(tally.Candidates) / seconds : 0.0);
}

}  // namespace

int RunFilter(const Options& o) {
  if (!OutputsAreNotInputs(o)) return kExitUsage;
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  const PFN_SzcExecute execute = session.Api().SzcExecute;

  std::string error;
  std::FILE* out = stdout;
  OutputFile outFile, removedFile;
  if (!o.OutFile.empty()) {
    if (!outFile.Open(o.OutFile, error)) {
      Error(error);
      return kExitFailed;
    }
    out = outFile.Stream();
  } else {
    SetBinaryMode(stdout);
  }
  if (!o.RemovedFile.empty() && !removedFile.Open(o.RemovedFile, error)) {
    Error(error);
    return kExitFailed;
  }
  CatchInterruptions();
  OutputBuffer output(out);
  std::optional<OutputBuffer> removedOutput;
  if (removedFile.Stream()) removedOutput.emplace(removedFile.Stream());
  std::optional<ScoredWriter> scored;
  if (o.OutFormat != Format::Bets) scored.emplace(o.OutFormat, session.Api(), output);
  // Any bet by the slower road that writes more than the kept bets.
  auto take = [&](const std::string& bet) {
    const int32_t verdict = scored ? scored->Take(bet) : execute(bet.c_str());
    if (!scored && verdict == 0) output.Line(bet.data(), bet.size());
    if (removedOutput && verdict > 0) removedOutput->Line(bet.data(), bet.size());
    return verdict;
  };
  Progress progress(!o.Quiet && IsTerminal(stderr));
  Tally tally;
  Problems problems(o.Quiet);
  size_t digits = o.DigitsGiven ? size_t(o.Digits) : 0;
  const auto start = std::chrono::steady_clock::now();
  bool readFailed = false;

  if (o.BetsFile.empty()) {
    // Every bet of the lottery, in order: a decimal odometer of N digits.
    char bet[16];
    const int n = o.Digits < 1 ? 1 : o.Digits > 9 ? 9 : o.Digits;
    digits = size_t(n);
    uint64_t total = 1;
    for (int i = 0; i < n; ++i) total *= 10;
    std::memset(bet, '0', sizeof bet);
    bet[n] = '\0';
    if (!scored && !removedOutput) {
      // The plain run: kept bets only, nothing allocated per bet.
      for (uint64_t k = 0; k < total; ++k) {
        const int32_t verdict = execute(bet);
        tally.Count(verdict);
        if (verdict == 0) output.Line(bet, size_t(n));
        for (int d = n - 1; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
        if ((k & 0xFFF) == 0 && Interruption()) break;
        progress.Update(k, total);
      }
    } else {
      std::string current;
      for (uint64_t k = 0; k < total; ++k) {
        current.assign(bet, size_t(n));
        tally.Count(take(current));
        for (int d = n - 1; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
        if ((k & 0xFFF) == 0 && Interruption()) break;
        progress.Update(k, total);
      }
    }
  } else {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) return kExitFailed;
    uint64_t size = 0;
    if (owned && std::fseek(in, 0, SEEK_END) == 0) {
      const long end = std::ftell(in);
      size = end > 0 ? uint64_t(end) : 0;
      std::rewind(in);
    }
    LineReader reader(in);
    std::string line, issue, bet, why;
    uint64_t bytes = 0;
    while (!Interruption() && reader.Next(line)) {
      bytes += line.size() + 1;
      std::string_view view = line;
      if (reader.LineNumber() == 1) view = WithoutBom(view);
      const LineKind kind = ReadDrawLine(view, issue, bet, why);
      if (kind == LineKind::Blank) continue;
      if (kind == LineKind::Malformed) {
        ++tally.Unreadable;
        problems.Report(reader.LineNumber(), "'" + GbkToUtf8(view) + "': " + why);
        continue;
      }
      const bool digitText = AllDigits(bet);
      // The first bet sets the length unless --digits did.
      if (digits == 0 && digitText) digits = bet.size();
      if (digitText && bet.size() != digits) {
        ++tally.OtherLength;
        problems.Report(reader.LineNumber(), "'" + bet + "' has " + std::to_string(bet.size()) +
                                                 " digits, not " + std::to_string(digits) +
                                                 ": not scored");
        continue;
      }
      const int32_t verdict = take(bet);
      tally.Count(verdict);
      // Shown as UTF-8 so that a stray byte is visible rather than garbled.
      if (verdict < 0)
        problems.Report(reader.LineNumber(),
                        "'" + GbkToUtf8(bet) + "' cannot be evaluated (not 0-9)");
      progress.UpdateBytes(tally.Candidates, bytes, size);
    }
    readFailed = reader.Failed();
    if (owned) std::fclose(in);
  }
  if (scored) scored->Finish();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  progress.Finish();
  problems.Finish();
  const auto printSummary = [&](int signal) {
    if (!o.Quiet || signal) {
      PrintSummary(session, source, tally, seconds, signal);
    } else if (tally.Invalid || tally.OtherLength || tally.Unreadable) {
      // Quiet hides the lines, never the counts.
      std::fprintf(stderr,
                   "veltrin-host: could not be evaluated: %llu, other length: %llu, not a "
                   "bet: %llu\n",
                   (unsigned long long)tally.Invalid, (unsigned long long)tally.OtherLength,
                   (unsigned long long)tally.Unreadable);
    }
    if (tally.OtherLength && (!o.Quiet || signal))
      std::fprintf(stderr, "other length: %llu (bets of %zu digits were scored)\n",
                   (unsigned long long)tally.OtherLength, digits);
    if (tally.Unreadable && (!o.Quiet || signal))
      std::fprintf(stderr, "not a bet: %llu\n", (unsigned long long)tally.Unreadable);
  };
  if (const int signal = Interruption()) {
    // Nothing half-written stays behind; an earlier file keeps its place.
    outFile.Discard();
    removedFile.Discard();
    if (!o.OutFile.empty() || !o.RemovedFile.empty())
      Error("interrupted: nothing was written to " + (o.OutFile.empty() ? o.RemovedFile
                                                      : o.RemovedFile.empty()
                                                          ? o.OutFile
                                                          : o.OutFile + " or " + o.RemovedFile));
    else
      output.Flush();
    printSummary(signal);
    return InterruptedStatus(signal);
  }
  const std::string kept = " (an earlier file of that name is left as it was)";
  if (readFailed) {
    Error("cannot read bets from " + o.BetsFile + ": " + LastErrorText() +
          (o.OutFile.empty() ? "" : "; " + o.OutFile + " was not written"));
    return kExitFailed;
  }
  if (!output.Flush()) {
    Error("cannot write the kept bets to " +
          (o.OutFile.empty() ? std::string("standard output") : o.OutFile) + ": " +
          output.ErrorText() + (o.OutFile.empty() ? "" : kept));
    return kExitFailed;
  }
  if (removedOutput && !removedOutput->Flush()) {
    Error("cannot write the removed bets to " + o.RemovedFile + ": " + removedOutput->ErrorText() +
          kept);
    return kExitFailed;
  }
  // The removed bets are put in place only once the kept ones are.
  if (!outFile.Commit(error) || !removedFile.Commit(error)) {
    Error("cannot write the bets: " + error + kept);
    return kExitFailed;
  }
  printSummary(0);
  return kExitOk;
}

namespace {

// A text of the library's with its markup as plain text: a line break tag
// becomes "; ", any other tag goes.
std::string PlainText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '<') {
      out += text[i];
      continue;
    }
    const size_t close = text.find('>', i);
    if (close == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    if (AsciiUpper(text.substr(i, close - i + 1)).rfind("<BR", 0) == 0) out += "; ";
    i = close;
  }
  return out;
}

// Explains bets as a compact table: per condition its number, the bet's
// score, the range, pass or FAIL and the bet's codes with their scores.
class DebugTable {
 public:
  DebugTable(const PluginExports& api, bool showAll, bool fullText)
      : api_(api), showAll_(showAll), fullText_(fullText) {}
  ~DebugTable() {
    ReleaseDebugResult(record_);
    ReleaseDebugResult(codeRecord_);
  }
  DebugTable(const DebugTable&) = delete;
  DebugTable& operator=(const DebugTable&) = delete;

  void Print(std::FILE* out, const std::string& bet) {
    api_.SzcFltDebug(&record_, bet.c_str(), showAll_);
    const TDebugResult& r = record_;
    if (r.Verdict == -1) {
      std::fprintf(out, "bet %s: cannot be evaluated (-1): it holds a character other than 0-9\n",
                   GbkToUtf8(bet).c_str());
      return;
    }
    const char* word = r.Verdict == 0 ? "keep" : r.Verdict == 1 ? "remove" : "other";
    std::fprintf(out, "bet %s: %s (%d), %d failed; tolerance %s\n", bet.c_str(), word,
                 int(r.Verdict), int(r.ErrCount),
                 GbkToUtf8(PlainText(CountedStrView(r.CanErrText))).c_str());
    if (CountedStrLength(r.AuxText) > 0)
      std::fprintf(out, "  note: %s\n", GbkToUtf8(PlainText(CountedStrView(r.AuxText))).c_str());
    const int32_t n = DynArrayLength(r.DebugLines);
    if (n == 0) return;
    if (conditions_.empty()) {
      // Every condition's text, in order, from a bet that can be evaluated.
      api_.SzcFltDebug(&codeRecord_, "0", true);
      for (int32_t i = 0; i < DynArrayLength(codeRecord_.DebugLines); ++i)
        conditions_.emplace_back(CountedStrView(codeRecord_.DebugLines[i].Condition));
    }
    const std::vector<std::vector<std::string>> codeScores = CodeScores(bet);
    std::fprintf(out, "    #   score  range       result  codes (code:score)\n");
    int32_t index = 0;
    for (int32_t i = 0; i < n; ++i) {
      const TOneDebugResult& line = r.DebugLines[i];
      const std::string_view condition = CountedStrView(line.Condition);
      // Lines name their condition by text; with --only-failed the number
      // is found by it.
      index = ConditionIndex(condition, index);
      std::string codes;
      for (size_t k = 0; k + 1 < bet.size(); ++k) {
        codes += (k ? " " : "") + bet.substr(k, 2) + ":";
        codes += size_t(index) < codeScores[k].size() ? codeScores[k][size_t(index)] : "?";
      }
      const std::optional<ScoreRange> range = ConditionRange(condition);
      const std::string rangeText =
          range ? std::to_string(range->Lower) + "-" + std::to_string(range->Upper) : "?";
      std::fprintf(out, "  %3d  %6s  %-10s  %-6s  %s\n", int(index + 1),
                   std::string(CountedStrView(line.Value)).c_str(), rangeText.c_str(),
                   line.Failed ? "FAIL" : "pass", codes.c_str());
      if (fullText_) std::fprintf(out, "       %s\n", GbkToUtf8(condition).c_str());
      ++index;
    }
  }

 private:
  // For each code of the bet, its score under every condition: the score
  // of the two-digit bet that is just that code.
  std::vector<std::vector<std::string>> CodeScores(const std::string& bet) {
    std::vector<std::vector<std::string>> out(bet.size() > 1 ? bet.size() - 1 : 0);
    for (size_t k = 0; k + 1 < bet.size(); ++k) {
      api_.SzcFltDebug(&codeRecord_, bet.substr(k, 2).c_str(), true);
      const int32_t n = DynArrayLength(codeRecord_.DebugLines);
      for (int32_t i = 0; i < n; ++i)
        out[k].emplace_back(CountedStrView(codeRecord_.DebugLines[i].Value));
    }
    return out;
  }
  int32_t ConditionIndex(std::string_view condition, int32_t from) const {
    for (size_t i = size_t(from); i < conditions_.size(); ++i)
      if (conditions_[i] == condition) return int32_t(i);
    return from;
  }

  const PluginExports& api_;
  bool showAll_, fullText_;
  TDebugResult record_{}, codeRecord_{};
  std::vector<std::string> conditions_;
};

}  // namespace

int RunDebug(const Options& o) {
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  SetBinaryMode(stdout);

  DebugTable table(session.Api(), !o.OnlyFailed, o.FullText);
  const auto explain = [&](const std::string& bet) {
    if (o.DigitsGiven && AllDigits(bet) && bet.size() != size_t(o.Digits))
      std::fprintf(stdout, "bet %s: has %zu digits, not %d: not scored\n", bet.c_str(), bet.size(),
                   int(o.Digits));
    else
      table.Print(stdout, bet);
  };
  int status = kExitOk;
  for (const std::string& bet : o.Bets) explain(TypedTextToGbk(bet, TerminalIsGbk()));
  if (!o.BetsFile.empty()) {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) {
      status = kExitFailed;
    } else {
      LineReader reader(in);
      std::string line, issue, bet, why;
      while (reader.Next(line)) {
        std::string_view view = line;
        if (reader.LineNumber() == 1) view = WithoutBom(view);
        const LineKind kind = ReadDrawLine(view, issue, bet, why);
        if (kind == LineKind::Draw) explain(bet);
        if (kind == LineKind::Malformed)
          std::fprintf(stdout, "line %llu: %s\n", (unsigned long long)reader.LineNumber(),
                       why.c_str());
      }
      if (reader.Failed()) {
        Error("cannot read bets from " + o.BetsFile);
        status = kExitFailed;
      }
      if (owned) std::fclose(in);
    }
  }
  if (std::fflush(stdout) != 0) status = kExitFailed;
  return status;
}

namespace {

// The condition text on one line, ";" for every line end (CR LF first so
// that it gives one ";"): the form that settings files hold and --condition
// takes.
std::string OneLine(std::string_view text) {
  return ReplaceChar(ReplaceChar(ReplaceAll(text, "\r\n", ";"), '\r', ';'), '\n', ';');
}

}  // namespace

int RunOpen(const Options& o) {
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  // The dialog edits the text as it stands; nothing needs preparing first.
  session.Api().SetFilterStr(text.c_str());
  if (!session.Api().SzcOpen(0)) Error("the library's SzcOpen answered false");
  const char* current = session.Api().GetFilterStr();
  const std::string after = current ? current : "";
  // A dialog hands back CR LF where the file held ";": the same setting.
  const std::string value = OneLine(after);
  if (value == OneLine(text)) {
#if defined(_WIN32)
    std::fprintf(stderr, "veltrin-host: the setting is unchanged\n");
#else
    std::fprintf(stderr,
                 "veltrin-host: this build has no settings dialog (the library's SzcOpen "
                 "changes nothing); the setting is unchanged\n");
#endif
    return kExitOk;
  }
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", GbkToUtf8(value).c_str());
  if (std::fflush(stdout) != 0) {
    Error("cannot write the new setting to standard output");
    return kExitFailed;
  }
  if (o.HasCondition) return kExitOk;
  if (o.SettingsFile.empty()) {
    std::fprintf(stderr,
                 "veltrin-host: not saved: the setting came from the bundled example "
                 "(--settings FILE saves)\n");
    return kExitOk;
  }
  if (!SaveSetting(o.SettingsFile, value)) return kExitFailed;
  std::fprintf(stderr, "veltrin-host: saved to %s\n", o.SettingsFile.c_str());
  return kExitOk;
}

int RunTable(const Options& o) {
  HostSettings settings;
  if (!LoadHostSettings(o, settings)) return kExitFailed;
  if (!settings.HasHistory) {
    Error("no draw history: give --history FILE");
    return kExitFailed;
  }
  std::fprintf(stdout, "%s\n", PairScoreTableText(settings.History).c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

// ---- the aides without a window -------------------------------------------------------

namespace {

// A setting split as the condition list dialog loads it: a tolerance line
// ("E|lo-hi") on top and a super tolerance line ("S|lo-hi") after it go to
// the dialog's boxes; every other line is a list line.
struct SettingLines {
  std::vector<std::string> Tolerance;
  std::vector<std::string> Conditions;
};

bool IsErrLine(std::string_view line, char letter) {
  const size_t dash = line.find('-');
  if (dash == std::string_view::npos || line.empty()) return false;
  if ((line[0] | 0x20) != letter) return false;
  return dash > 2 && IntText(line.substr(2, dash - 2)) && IntText(line.substr(dash + 1, 9));
}

SettingLines SplitSetting(std::string_view text) {
  SettingLines out;
  std::vector<std::string> lines;
  SplitLines(ReplaceChar(text, ';', '\r'),
             [&](std::string_view line) { lines.emplace_back(line); });
  size_t first = 0;
  if (first < lines.size() && IsErrLine(lines[first], 'e')) out.Tolerance.push_back(lines[first++]);
  if (first < lines.size() && IsErrLine(lines[first], 's')) out.Tolerance.push_back(lines[first++]);
  out.Conditions.assign(lines.begin() + std::ptrdiff_t(first), lines.end());
  return out;
}

// The lines in the one-line form of settings files, each closed by ";".
std::string JoinSetting(const SettingLines& lines) {
  std::string value;
  for (const auto* part : {&lines.Tolerance, &lines.Conditions})
    for (const std::string& line : *part) value += line + ";";
  return value;
}

// A filter object of the library's class, released with its own Free slot.
class FilterHandle {
 public:
  explicit FilterHandle(const PluginExports& api)
      : object_(api.VeltrinCreateFilter ? static_cast<FilterObject*>(api.VeltrinCreateFilter())
                                        : nullptr) {}
  ~FilterHandle() {
    if (object_) object_->Slots->Free(object_);
  }
  FilterHandle(const FilterHandle&) = delete;
  FilterHandle& operator=(const FilterHandle&) = delete;
  FilterObject* get() const { return object_; }
  const FilterSlots& Slots() const { return *object_->Slots; }

 private:
  FilterObject* object_;
};

// The common start of the aides: the setting, the history and the library.
bool StartAide(const Options& o, const char* command, Session& session, std::string& text,
               std::string& source) {
  if (!LoadSetting(o, text, source)) return false;
  if (o.HistoryFile.empty()) {
    Error(std::string(command) + " works over a draw history: give --history FILE");
    return false;
  }
  return session.Start(o);
}

bool NeedFilterObjects(const Session& session) {
  if (session.Api().VeltrinCreateFilter) return true;
  Error(session.Path() +
        " offers no VeltrinCreateFilter: this aide needs the library's filter "
        "objects");
  return false;
}

std::string RangeOf(std::string_view line) {
  const std::optional<ScoreRange> range = ConditionRange(line);
  return range ? std::to_string(range->Lower) + "-" + std::to_string(range->Upper) : "?";
}

}  // namespace

int RunBatch(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "batch", session, text, source) || !NeedFilterObjects(session))
    return kExitFailed;
  SettingLines lines = SplitSetting(text);
  if (lines.Conditions.empty()) {
    Error("the setting from " + source + " has no condition lines");
    return kExitFailed;
  }
  // The sample comes from the host's own answer to the library, exactly as
  // the dialog's batch button gets it.
  TBatFltSet request{}, sample{};
  if (!Succeeded(session.Host().GetBatchAideData(&request, &sample))) {
    Error("the host could not hand over the draw history");
    return kExitFailed;
  }
  HostStringList* list = HostStringList::Create(true);
  for (const std::string& line : lines.Conditions) list->Append(line);
  int32_t updated = 0;
  {
    FilterHandle filter(session.Api());
    if (filter.get()) updated = filter.Slots().BatchAide(filter.get(), list, &sample);
  }
  ReleaseBatFltSet(sample);
  const std::vector<std::string> before = lines.Conditions;
  lines.Conditions = list->Lines();
  list->Release();
  if (updated <= 0) {
    Error(
        "the batch aide updated no condition: every condition line must be valid, one "
        "condition to a line");
    return kExitFailed;
  }
  if (!o.Quiet) {
    const size_t draws = session.Host().Settings().History.Draws.size();
    std::fprintf(stderr, "batch aide over %zu draws, keeping %.4g%% of them per condition:\n",
                 draws, double(o.KeepShare) / 100.0);
    for (size_t i = 0; i < before.size(); ++i) {
      const bool changed = before[i] != lines.Conditions[i];
      std::fprintf(stderr, "  condition %zu: %s %s\n", i + 1, RangeOf(before[i]).c_str(),
                   changed ? ("-> " + RangeOf(lines.Conditions[i])).c_str() : "(unchanged)");
    }
    std::fprintf(stderr, "%d condition(s) updated\n", int(updated));
  }
  const std::string value = JoinSetting(lines);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", GbkToUtf8(value).c_str());
  if (std::fflush(stdout) != 0) {
    Error("cannot write the new setting to standard output");
    return kExitFailed;
  }
  const std::string target = !o.OutFile.empty() ? o.OutFile : o.SettingsFile;
  if (target.empty()) return kExitOk;  // --condition: printed only
  if (!SaveSetting(target, value)) return kExitFailed;
  if (!o.Quiet) std::fprintf(stderr, "veltrin-host: saved to %s\n", target.c_str());
  return kExitOk;
}

int RunTolerance(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "tolerance", session, text, source) || !NeedFilterObjects(session))
    return kExitFailed;
  // The condition lines alone, as the dialog hands its object over: the
  // aide proposes the tolerance itself.
  SettingLines lines = SplitSetting(text);
  lines.Tolerance.clear();
  session.Api().SetFilterStr(JoinSetting(lines).c_str());
  FilterHandle filter(session.Api());
  if (!filter.get() || !filter.Slots().Prepare(filter.get())) {
    Error("the filter setting from " + source + " is not valid: the library could not prepare it");
    return kExitFailed;
  }
  const HostSettings& host = session.Host().Settings();
  const ToleranceCheck check = RunToleranceCheck(*filter.get(), host.History, host.KeepShare);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n",
               GbkToUtf8(ToleranceReport(check, host.KeepShare, Delivery::Printed, "")).c_str());
  if (check.Proposal) std::fprintf(stdout, "E|%s\n", check.Proposal->Text().c_str());
  if (std::fflush(stdout) != 0) return kExitFailed;
  return check.Proposal ? kExitOk : kExitFailed;
}

namespace {

// Scores draws under one condition of the prepared setting, from the
// library's own debug records (all conditions of a draw at once, kept).
class DebugScores final : public IScoreCallback {
 public:
  DebugScores(const PluginExports& api, const std::vector<Draw>& draws) {
    TDebugResult record{};
    for (const Draw& draw : draws) {
      api.SzcFltDebug(&record, draw.Digits.c_str(), true);
      std::vector<int32_t>& scores = scores_[draw.Digits];
      scores.clear();
      const int32_t n = DynArrayLength(record.DebugLines);
      for (int32_t i = 0; i < n; ++i) {
        const std::optional<int32_t> v = IntText(CountedStrView(record.DebugLines[i].Value));
        scores.push_back(v ? *v : 0);
        if (conditions_.size() < size_t(n))
          conditions_.emplace_back(CountedStrView(record.DebugLines[i].Condition));
      }
    }
    ReleaseDebugResult(record);
  }
  const std::vector<std::string>& Conditions() const { return conditions_; }
  void Select(size_t condition) { condition_ = condition; }

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    if (!out) return kE_POINTER;
    *out = nullptr;
    if (!iid || !(*iid == IID_IUnknown || *iid == IID_IScoreCallback)) return kE_NOINTERFACE;
    *out = static_cast<IScoreCallback*>(this);
    return kS_OK;
  }
  // Lives on the stack for the whole check.
  uint32_t VELTRIN_API AddRef() override { return 1; }
  uint32_t VELTRIN_API Release() override { return 1; }
  int32_t VELTRIN_API ScoreBet(const char* bet, int32_t* score) override {
    if (!score) return kE_POINTER;
    *score = 0;
    const auto it = scores_.find(bet ? bet : "");
    if (it == scores_.end() || condition_ >= it->second.size()) return kE_FAIL;
    *score = it->second[condition_];
    return kS_OK;
  }

 private:
  std::map<std::string, std::vector<int32_t>> scores_;
  std::vector<std::string> conditions_;
  size_t condition_ = 0;
};

}  // namespace

int RunHistory(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "history", session, text, source)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  const std::vector<Draw>& draws = session.Host().Settings().History.Draws;
  SetBinaryMode(stdout);
  // Each condition as the dialog's history check reports it.
  DebugScores scores(session.Api(), draws);
  for (size_t i = 0; i < scores.Conditions().size(); ++i) {
    scores.Select(i);
    const HistoryCheck check =
        RunHistoryCheck(scores, session.Host().Settings().History, scores.Conditions()[i]);
    std::fprintf(stdout, "condition %zu: %s\n\n", i + 1,
                 GbkToUtf8(HistoryCheckReport(check, scores.Conditions()[i])).c_str());
  }
  // Then the whole setting's verdicts, tolerance included.
  uint64_t kept = 0, removed = 0, invalid = 0;
  std::string lastRemoved;
  for (const Draw& draw : draws) {
    const int32_t verdict = session.Api().SzcExecute(draw.Digits.c_str());
    if (verdict == 0) {
      ++kept;
    } else if (verdict < 0) {
      ++invalid;
    } else {
      ++removed;
      lastRemoved = draw.Issue.empty() ? draw.Digits : draw.Issue + " " + draw.Digits;
    }
  }
  std::fprintf(stdout, "The setting keeps %llu of %zu draws (%.1f%%), removes %llu",
               (unsigned long long)kept, draws.size(),
               draws.empty() ? 0.0 : 100.0 * double(kept) / double(draws.size()),
               (unsigned long long)removed);
  if (invalid) std::fprintf(stdout, ", cannot evaluate %llu", (unsigned long long)invalid);
  std::fprintf(stdout, ".\n");
  if (!lastRemoved.empty()) std::fprintf(stdout, "Last draw removed: %s\n", lastRemoved.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

}  // namespace veltrin::host
