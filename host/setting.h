// What every command starts from: the setting (a settings file, a typed
// condition or the bundled example), the draw history, and the library
// loaded with the host's call interface. Failures are reported on standard
// error as they are found.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "common/com_ref.h"
#include "host/call_wrapper.h"
#include "host/options.h"
#include "host/plugin_library.h"

namespace veltrin::host {

// "veltrin-host: message" on standard error: the host's one way of saying
// what failed. Commands report through it and return an exit status.
void Error(const std::string& message);

// The bundled example setting and history, beside the program.
std::string BundledSettingsPath();
std::string BundledHistoryPath();

// The one settings loader. The condition text (GBK) from --condition,
// --settings or the bundled example; `source` says where it came from.
// A settings file may be GBK or UTF-8 (with or without a byte order mark)
// or UTF-16, with LF or CR LF line ends; "Veltrin = ..." with blanks around
// "=" is read as "Veltrin=...". When the section or the key is missing the
// message names the sections and keys that are there.
bool LoadSetting(const Options& o, std::string& text, std::string& source);
// Saves `value` (GBK) as the setting in the settings file at `path`
// (written through the one output path; `option` names it in messages):
// its other keys and sections, its encoding, byte order mark and line ends
// stay.
bool SaveSetting(const Options& o, const std::string& option, const std::string& path,
                 const std::string& value);
// The history from --history (its draws give the digit count unless
// --digits does), or the bundled one when its digits match. `maxDigits`:
// the longest draw the command can use.
bool LoadHostSettings(const Options& o, HostSettings& settings, int32_t maxDigits = kMaxDrawDigits);
// Whether a settings file's lines are UTF-8 rather than GBK.
bool IsUtf8File(const std::vector<std::string>& lines);

// The library, loaded and handed the host's call interface; unloaded (which
// releases the library's reference) before the host drops its own.
class Session {
 public:
  Session() = default;
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;
  bool Start(const Options& o);
  const PluginExports& Api() const { return library_.Exports(); }
  const std::string& Path() const { return path_; }
  HostCallWrapper& Host() const { return *wrapper_.Get(); }

 private:
  PluginLibrary library_;
  TComRef<HostCallWrapper> wrapper_;
  std::string path_;
};

// Sets and prepares the condition text; false (reported) when the library
// rejects it.
bool PrepareSetting(const Session& s, const std::string& text, const std::string& source);
// Opens --bets (or standard input); null with a message on failure. Read
// it with a LineReader (host/io.h), which recognises UTF-16.
std::FILE* OpenBets(const std::string& path, bool& owned);

}  // namespace veltrin::host
