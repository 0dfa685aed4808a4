// veltrin-host open: the library's settings dialog over the setting.
#include "host/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/counted.h"
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
#include "host/setting.h"

namespace veltrin::host {

namespace {

// The condition text on one line, ";" for every line end (CR LF first so
// that it gives one ";"): the form that settings files hold and --condition
// takes.
std::string OneLine(std::string_view text) {
  return ReplaceChar(ReplaceChar(ReplaceAll(text, "\r\n", ";"), '\r', ';'), '\n', ';');
}

}  // namespace

int RunOpen(const Options& o) {
  std::string error;
  if (!o.SettingsFile.empty() &&
      !OutputAllowed(o, "--settings", o.SettingsFile, o.SettingsFile, error)) {
    Error(error);
    return kExitUsage;
  }
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
    if (port::HasWindows())
      std::fprintf(stderr, "veltrin-host: the setting is unchanged\n");
    else
      std::fprintf(stderr,
                   "veltrin-host: this build has no settings dialog (the library's SzcOpen "
                   "changes nothing); the setting is unchanged\n");
    return kExitOk;
  }
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", GbkToUtf8(value).c_str());
  if (!FinishStandardOutput()) return kExitFailed;
  if (o.HasCondition) return kExitOk;
  if (o.SettingsFile.empty()) {
    std::fprintf(stderr,
                 "veltrin-host: not saved: the setting came from the bundled example "
                 "(--settings FILE saves)\n");
    return kExitOk;
  }
  if (!SaveSetting(o, "--settings", o.SettingsFile, value)) return kExitFailed;
  std::fprintf(stderr, "veltrin-host: saved to %s\n", o.SettingsFile.c_str());
  return kExitOk;
}

}  // namespace veltrin::host
