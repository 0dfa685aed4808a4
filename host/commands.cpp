#include "host/commands.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "common/counted.h"
#include "common/inifile.h"
#include "common/records.h"
#include "common/text.h"
#include "common/texts.h"
#include "host/call_wrapper.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/insight.h"
#include "host/io.h"
#include "host/plugin_library.h"

namespace veltrin::host {
namespace {

// The key of the filter's value in section [过滤] of a settings file.
constexpr char kSettingsKey[] = "Veltrin";
// Bundled defaults, copied beside the program at build time.
constexpr char kExampleSettings[] = "examples/veltrin-example.flt";
constexpr char kExampleHistory[] = "examples/history.txt";

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
  try {
    TExtIniFile ini(iniPath);
    text = ini.ReadString(kTxtFltSection, kSettingsKey, "");
  } catch (const std::exception& e) {
    Error("cannot read settings file " + path + ": " + e.what());
    return false;
  }
  if (IsBlank(text)) {
    Error("settings file " + path + " has no " + kSettingsKey +
          " value in section [\xE8\xBF\x87\xE6\xBB\xA4]");
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
    if (!LoadHistory(o.HistoryFile, o.Digits, settings.History, error)) {
      Error("history " + error);
      return false;
    }
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

 private:
  PluginLibrary library_;
  HostCallWrapper* wrapper_ = nullptr;
  std::string path_;
};

// Sets and prepares the condition text; false (reported) when the library
// rejects it.
bool PrepareSetting(const Session& s, const std::string& text, const std::string& source) {
  s.Api().SetFilterStr(text.c_str());
  const bool prepared = s.Api().SzcPrepare();
  // Warnings before the run; an invalid setting is named by line and field.
  PrintSettingDiagnostics(s.Api(), text, source, prepared);
  return prepared;
}

// Blanks and tabs around a bet line are no part of the bet.
std::string_view TrimLine(const std::string& line) {
  size_t b = 0, e = line.size();
  while (b < e && (line[b] == ' ' || line[b] == '\t')) ++b;
  while (e > b && (line[e - 1] == ' ' || line[e - 1] == '\t')) --e;
  return std::string_view(line).substr(b, e - b);
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

constexpr int kInvalidReportLimit = 5;

}  // namespace

int RunFilter(const Options& o) {
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  const PFN_SzcExecute execute = session.Api().SzcExecute;

  std::FILE* out = stdout;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> outFile(nullptr, std::fclose);
  if (!o.OutFile.empty()) {
    outFile.reset(OpenFile(o.OutFile, "wb"));
    if (!outFile) {
      Error("cannot create " + o.OutFile + ": " + LastErrorText());
      return kExitFailed;
    }
    out = outFile.get();
  } else {
    SetBinaryMode(stdout);
  }
  OutputBuffer output(out);
  Progress progress(!o.Quiet && IsTerminal(stderr));
  Tally tally;
  const auto start = std::chrono::steady_clock::now();

  if (o.BetsFile.empty()) {
    // Every bet of the lottery, in order: a decimal odometer of N digits.
    char bet[16];
    const int n = o.Digits < 1 ? 1 : o.Digits > 9 ? 9 : o.Digits;
    uint64_t total = 1;
    for (int i = 0; i < n; ++i) total *= 10;
    std::memset(bet, '0', sizeof bet);
    bet[n] = '\0';
    for (uint64_t k = 0; k < total; ++k) {
      const int32_t verdict = execute(bet);
      tally.Count(verdict);
      if (verdict == 0) output.Line(bet, size_t(n));
      for (int d = n - 1; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
      progress.Update(k, total);
    }
  } else {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) return kExitFailed;
    LineReader reader(in);
    std::string line, bet;
    int reported = 0;
    while (reader.Next(line)) {
      std::string_view trimmed = TrimLine(line);
      if (trimmed.empty()) continue;
      bet.assign(trimmed);
      const int32_t verdict = execute(bet.c_str());
      tally.Count(verdict);
      if (verdict == 0) {
        output.Line(bet.data(), bet.size());
      } else if (verdict < 0 && !o.Quiet && reported++ < kInvalidReportLimit) {
        // Shown as UTF-8 so that a stray byte is visible rather than garbled.
        std::fprintf(stderr, "veltrin-host: line %llu: '%s' cannot be evaluated (not 0-9)\n",
                     (unsigned long long)reader.LineNumber(), GbkToUtf8(bet).c_str());
      }
      progress.Update(tally.Candidates, 0);
    }
    const bool readFailed = reader.Failed();
    if (owned) std::fclose(in);
    if (readFailed) {
      progress.Finish();
      Error("cannot read bets from " + o.BetsFile);
      return kExitFailed;
    }
  }
  const bool written = output.Flush();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  progress.Finish();
  bool closed = true;
  if (outFile) closed = std::fclose(outFile.release()) == 0;
  if (!written || !closed) {
    Error("cannot write the kept bets to " +
          (o.OutFile.empty() ? std::string("standard output") : o.OutFile));
    return kExitFailed;
  }

  if (!o.Quiet) {
    const double share =
        tally.Candidates ? 100.0 * double(tally.Kept) / double(tally.Candidates) : 0.0;
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
  return kExitOk;
}

namespace {

void PrintDebugRecord(std::FILE* out, const std::string& bet, const TDebugResult& r) {
  std::fprintf(out, "bet %s\n", GbkToUtf8(bet).c_str());
  if (r.Verdict == -1) {
    std::fprintf(out,
                 "  verdict: cannot be evaluated (-1): the bet holds a character other "
                 "than 0-9\n");
    return;
  }
  std::fprintf(out, "  filter: %s\n", GbkToUtf8(CountedStrView(r.FilterName)).c_str());
  const int32_t n = DynArrayLength(r.DebugLines);
  for (int32_t i = 0; i < n; ++i) {
    const TOneDebugResult& line = r.DebugLines[i];
    std::fprintf(out, "  %s value %s: %s\n", line.Failed ? "FAIL" : "pass",
                 GbkToUtf8(CountedStrView(line.Value)).c_str(),
                 GbkToUtf8(CountedStrView(line.Condition)).c_str());
  }
  std::fprintf(out, "  failed conditions: %d\n", int(r.ErrCount));
  const char* word = r.Verdict == 0 ? "keep" : r.Verdict == 1 ? "remove" : "other";
  std::fprintf(out, "  verdict: %s (%d)\n", word, int(r.Verdict));
  std::fprintf(out, "  tolerance: %s\n", GbkToUtf8(CountedStrView(r.CanErrText)).c_str());
  if (CountedStrLength(r.AuxText) > 0)
    std::fprintf(out, "  note: %s\n", GbkToUtf8(CountedStrView(r.AuxText)).c_str());
}

}  // namespace

int RunDebug(const Options& o) {
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  SetBinaryMode(stdout);

  // One record for all bets: the library releases what it held before each
  // fill, the host releases the last fill.
  TDebugResult record{};
  auto explain = [&](const std::string& bet) {
    session.Api().SzcFltDebug(&record, bet.c_str(), !o.OnlyFailed);
    PrintDebugRecord(stdout, bet, record);
  };
  int status = kExitOk;
  for (const std::string& bet : o.Bets) explain(bet);
  if (!o.BetsFile.empty()) {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) {
      status = kExitFailed;
    } else {
      LineReader reader(in);
      std::string line;
      while (reader.Next(line)) {
        std::string_view trimmed = TrimLine(line);
        if (!trimmed.empty()) explain(std::string(trimmed));
      }
      if (reader.Failed()) {
        Error("cannot read bets from " + o.BetsFile);
        status = kExitFailed;
      }
      if (owned) std::fclose(in);
    }
  }
  ReleaseDebugResult(record);
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
  std::string iniPath;
  try {
    if (!IniPath(o.SettingsFile, iniPath)) throw std::runtime_error("unusable file name");
    // The file's other keys and sections stay as they are.
    TExtIniFile ini(iniPath);
    ini.WriteString(kTxtFltSection, kSettingsKey, value);
  } catch (const std::exception& e) {
    Error("cannot save the setting to " + o.SettingsFile + ": " + e.what());
    return kExitFailed;
  }
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

}  // namespace veltrin::host
