#include "host/setting.h"

#include <stdexcept>

#include "common/inifile.h"
#include "common/text.h"
#include "common/texts.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/history.h"
#include "host/insight.h"

namespace veltrin::host {
namespace {

// The key of the filter's value in section [过滤] of a settings file.
constexpr char kSettingsKey[] = "Veltrin";
// Bundled defaults, copied beside the program at build time.
constexpr char kExampleSettings[] = "examples/veltrin-example.flt";
constexpr char kExampleHistory[] = "examples/history.txt";
// The bundled example is fitted to 5-digit draws (examples/make_examples.py).
constexpr int32_t kExampleDigits = 5;

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

}  // namespace

void Error(const std::string& message) {
  std::fprintf(stderr, "veltrin-host: %s\n", message.c_str());
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
