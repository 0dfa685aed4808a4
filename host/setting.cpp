#include "host/setting.h"

#include <stdexcept>

#include "common/text.h"
#include "common/texts.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/history.h"
#include "host/input_text.h"
#include "host/insight.h"
#include "host/output.h"

namespace veltrin::host {
namespace {

// The key of the filter's value in section [过滤] of a settings file.
constexpr char kSettingsKey[] = "Veltrin";
constexpr char kSectionName[] = "[\xE8\xBF\x87\xE6\xBB\xA4]";  // [过滤], UTF-8
// Bundled defaults, copied beside the program at build time.
constexpr char kExampleFolder[] = "examples";
constexpr char kExampleSettings[] = "veltrin-example.flt";
constexpr char kExampleHistory[] = "history.txt";
// The bundled example is fitted to 5-digit draws (examples/make_examples.py).
constexpr int32_t kExampleDigits = 5;

// A settings file as read: its lines (UTF-16 already turned into UTF-8)
// and what a save must keep.
struct SettingsText {
  std::vector<std::string> Lines;
  bool Utf8 = false;  // the lines are UTF-8, not GBK
  bool Bom = false;   // it began with a UTF-8 byte order mark
  InputForm Form = InputForm::Plain;
  std::string LineEnd = "\r\n";  // the first line end found; CR LF as the dialog saves
  bool EndsWithBreak = true;
};

bool ReadSettingsText(const std::string& path, SettingsText& out, std::string& error) {
  std::string bytes;
  if (!port::ReadFile(path, bytes, error)) return false;
  out = SettingsText{};
  out.Bom = WithoutBom(bytes).size() != bytes.size();
  out.Form = DecodeInput(bytes);
  const size_t brk = bytes.find_first_of("\r\n");
  if (brk != std::string::npos)
    out.LineEnd = bytes.compare(brk, 2, "\r\n") == 0 ? "\r\n" : bytes.substr(brk, 1);
  out.EndsWithBreak = bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
  if (bytes.find('\0') != std::string::npos) {
    error = "it holds NUL bytes, which no settings file holds";
    return false;
  }
  SplitLines(bytes, [&](std::string_view line) { out.Lines.emplace_back(line); });
  out.Utf8 = out.Form != InputForm::Plain || out.Bom || IsUtf8File(out.Lines);
  return true;
}

// What a settings file holds under the dialect's rules: a section runs from
// its header ("[name]", ASCII case folded) to the first empty line or next
// header; an entry is "key=value", blanks around "=" allowed.
struct IniScan {
  bool HasSection = false;
  bool HasKey = false;
  std::string Value;
  size_t Header = 0;                  // the section's header line
  size_t KeyLine = 0;                 // the key's line
  size_t BodyEnd = 0;                 // the line after the section's body
  std::vector<std::string> Sections;  // every header, as written
  std::vector<std::string> Keys;      // the keys of the wanted section
};

IniScan ScanIni(const std::vector<std::string>& lines, std::string_view section,
                std::string_view key) {
  IniScan scan;
  const std::string header = AsciiUpper("[" + std::string(section) + "]");
  bool inside = false, done = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view line = TrimBlanks(lines[i]);
    if (!line.empty() && line[0] == '[') {
      scan.Sections.emplace_back(line);
      inside = !done && AsciiUpper(line) == header;
      if (inside) {
        scan.HasSection = done = true;
        scan.Header = i;
        scan.BodyEnd = i + 1;
      }
      continue;
    }
    if (line.empty()) inside = false;
    if (!inside) continue;
    scan.BodyEnd = i + 1;
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) continue;
    const std::string_view name = TrimBlanks(line.substr(0, eq));
    scan.Keys.emplace_back(name);
    if (!scan.HasKey && name == key) {
      scan.HasKey = true;
      scan.KeyLine = i;
      scan.Value = std::string(TrimBlanks(line.substr(eq + 1)));
    }
  }
  return scan;
}

std::string JoinNames(const std::vector<std::string>& names, bool utf8) {
  std::string out;
  for (const std::string& name : names)
    out += (out.empty() ? "" : ", ") + (utf8 ? name : GbkToUtf8(name));
  return out;
}

}  // namespace

void Error(const std::string& message) {
  std::fprintf(stderr, "veltrin-host: %s\n", message.c_str());
}

std::string BundledSettingsPath() {
  return JoinPath(JoinPath(ExecutableDir(), kExampleFolder), kExampleSettings);
}

std::string BundledHistoryPath() {
  return JoinPath(JoinPath(ExecutableDir(), kExampleFolder), kExampleHistory);
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
    path = BundledSettingsPath();
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
  SettingsText file;
  std::string error;
  if (!ReadSettingsText(path, file, error)) {
    Error("cannot read settings file " + path + ": " + error);
    return false;
  }
  const std::string section = file.Utf8 ? GbkToUtf8(kTxtFltSection) : std::string(kTxtFltSection);
  const IniScan scan = ScanIni(file.Lines, section, kSettingsKey);
  if (!scan.HasSection) {
    Error("settings file " + path + " has no section " + kSectionName +
          (scan.Sections.empty() ? std::string(" (it has no sections at all)")
                                 : " (its sections: " + JoinNames(scan.Sections, file.Utf8) + ")"));
    return false;
  }
  if (!scan.HasKey || IsBlank(scan.Value)) {
    Error("settings file " + path + " has no " + kSettingsKey + " value in section " +
          kSectionName +
          (scan.Keys.empty() ? std::string(" (the section is empty)")
                             : " (its keys: " + JoinNames(scan.Keys, file.Utf8) + ")"));
    return false;
  }
  text = scan.Value;
  if (file.Utf8 && !Utf8ToGbk(scan.Value, text)) {
    Error("settings file " + path +
          " holds characters that GBK has not: a setting must be GBK text");
    return false;
  }
  return true;
}

bool SaveSetting(const Options& o, const std::string& option, const std::string& path,
                 const std::string& value) {
  SettingsText file;
  std::string error;
  if (FileExists(path) && !ReadSettingsText(path, file, error)) {
    Error("cannot save the setting to " + path + ": " + error);
    return false;
  }
  if (file.Form != InputForm::Plain) {
    Error("not saved: " + path + " is " + FormName(file.Form) +
          ", which the settings dialog cannot read; save it as GBK or UTF-8 first");
    return false;
  }
  const std::string section = file.Utf8 ? GbkToUtf8(kTxtFltSection) : std::string(kTxtFltSection);
  const std::string shown = file.Utf8 ? GbkToUtf8(value) : value;
  const IniScan scan = ScanIni(file.Lines, section, kSettingsKey);
  std::vector<std::string>& lines = file.Lines;
  if (scan.HasKey) {
    // The key as it was written, blanks after "=" included; the new value.
    std::string& line = lines[scan.KeyLine];
    size_t keep = line.find('=') + 1;
    while (keep < line.size() && line[keep] == ' ') ++keep;
    line = line.substr(0, keep) + shown;
  } else if (scan.HasSection) {
    lines.insert(lines.begin() + std::ptrdiff_t(scan.BodyEnd),
                 std::string(kSettingsKey) + "=" + shown);
  } else {
    lines.push_back("[" + section + "]");
    lines.push_back(std::string(kSettingsKey) + "=" + shown);
  }
  std::string content = file.Bom ? "\xEF\xBB\xBF" : "";
  for (size_t i = 0; i < lines.size(); ++i) {
    content += lines[i];
    if (i + 1 < lines.size() || file.EndsWithBreak) content += file.LineEnd;
  }
  return WriteOutput(o, option, path, content, o.SettingsFile);
}

// The history from --history, or the bundled one when its digits match.
bool LoadHostSettings(const Options& o, HostSettings& settings, int32_t maxDigits) {
  settings.DigitCount = o.Digits;
  settings.KeepShare = o.KeepShare;
  if (o.QuietAides) settings.Reporter = PrintAideReport;
  std::string error;
  if (!o.HistoryFile.empty()) {
    // Without --digits the history's draws say how many digits a bet has.
    if (!LoadHistory(o.HistoryFile, o.DigitsGiven ? o.Digits : 0, settings.History, error,
                     maxDigits)) {
      Error("history " + error);
      return false;
    }
    if (settings.History.Skipped)
      Error("warning: history " + o.HistoryFile + ": " + SkippedText(settings.History));
    settings.DigitCount = settings.History.DigitCount;
    settings.HasHistory = true;
    return true;
  }
  const std::string bundled = BundledHistoryPath();
  if (FileExists(bundled) && LoadHistory(bundled, o.Digits, settings.History, error))
    settings.HasHistory = true;
  return true;
}

Session::~Session() {
  library_.Unload();
  wrapper_.Reset();
}

bool Session::Start(const Options& o) {
  HostSettings settings;
  if (!LoadHostSettings(o, settings)) return false;
  path_ = o.LibraryPath.empty() ? DefaultLibraryPath() : o.LibraryPath;
  std::string error;
  if (!library_.Load(path_, error)) {
    Error(error);
    return false;
  }
  wrapper_ = TComRef<HostCallWrapper>::Adopt(HostCallWrapper::Create(std::move(settings)));
  library_.Exports().SetIIWrapper(wrapper_.Get());
  return true;
}

// Sets and prepares the condition text; false (reported) when the library
// rejects it.
bool PrepareSetting(const Session& s, const std::string& text, const std::string& source) {
  s.Api().SetFilterStr(text.c_str());
  const bool prepared = s.Api().SzcPrepare();
  // Warnings before the run; an invalid setting is named by line and field.
  PrintSettingDiagnostics(s.Api(), text, source, prepared);
  return prepared;
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

}  // namespace veltrin::host
