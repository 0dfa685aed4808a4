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

// "veltrin-host: message" on standard error.
void Error(const std::string& message);

// The condition text (GBK) from --condition, --settings (GBK or UTF-8) or
// the bundled example; `source` says where it came from.
bool LoadSetting(const Options& o, std::string& text, std::string& source);
// Saves `value` (GBK) as the setting of the settings file at `path`; its
// other keys and sections stay, and a UTF-8 file stays UTF-8.
bool SaveSetting(const std::string& path, const std::string& value);
// The history from --history, or the bundled one when its digits match.
bool LoadHostSettings(const Options& o, HostSettings& settings);
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
// Opens --bets (or standard input); null with a message on failure.
std::FILE* OpenBets(const std::string& path, bool& owned);

}  // namespace veltrin::host
