// The dialogs' shared helpers that show things: the four message boxes, all
// captioned with the system's caption, the help viewer, and the report of an
// error that escaped an event handler. Never instantiated.
#pragma once

#include <string>
#include <string_view>

#include "ui/controls.h"

namespace veltrin {

class TShareFunc {
 public:
  TShareFunc() = delete;
  static void ShowError(std::string_view message);
  static void ShowInfo(std::string_view message);
  static void ShowWarning(std::string_view message);
  // The pressed button (mrYes or mrNo for the Yes/No set). `owner` places
  // the box over that window; `defaultNo` makes No the default button.
  static ui::TModalResult AskQuestion(std::string_view message,
                                      ui::TMsgButtons buttons = ui::TMsgButtons::YesNo,
                                      ui::TForm* owner = nullptr, bool defaultNo = false);
  // Starts the help viewer on a topic; topics below 100 open 101. A missing
  // viewer or help file is not reported.
  static void ShowHelp(std::string_view chm, int topic);
  // "hh.exe " + chm + "::/" + topic + ".htm", the command ShowHelp starts.
  static std::string HelpCommand(std::string_view chm, int topic);
  // Help a player can read: the host's help file `chm` on `topic` where it
  // exists and its viewer starts, otherwise the page `page` the package
  // ships, in the system's program for pages; when neither opens, an error
  // names what was looked for. True
  // when something was started.
  static bool OpenHelp(std::string_view chm, int topic, std::string_view page);
  // Makes the control layer report handler errors with ShowError; an error
  // without a message reads "未知错误". Every dialog installs it.
  static void InstallErrorReporter();
};

}  // namespace veltrin
