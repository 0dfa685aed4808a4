// The services the dialogs use besides their controls: message boxes, file
// dialogs, the clipboard, the hourglass pointer and starting a program. Each
// goes to the test's hook when one is installed, otherwise to the current
// backend (real dialogs on Win32; on the headless backend a recorded
// answer, see ui/headless/headless.h).
#pragma once

#include <string>
#include <string_view>

#include "ui/peer.h"
#include "ui/types.h"

namespace veltrin::ui {

TModalResult MessageDlg(TForm* owner, TMsgKind kind, std::string_view text,
                        std::string_view caption, TMsgButtons buttons, bool defaultSecond);
bool RunFileDialog(TForm* owner, TFileDialogState& state);
void SetClipboardText(std::string_view text);
std::string ClipboardText();
void RunProgram(std::string_view commandLine);
// True when a file (not a folder) of that GBK path exists.
bool FileExists(std::string_view path);

// The hourglass pointer while an object of this class lives.
class TWaitCursor {
 public:
  TWaitCursor();
  ~TWaitCursor();
  TWaitCursor(const TWaitCursor&) = delete;
  TWaitCursor& operator=(const TWaitCursor&) = delete;
};

// The plug-in's shared helpers that show things: the four message boxes,
// all captioned "系统提示", and the help viewer. Never instantiated.
class TShareFunc {
 public:
  TShareFunc() = delete;
  static void ShowError(std::string_view message);
  static void ShowInfo(std::string_view message);
  static void ShowWarning(std::string_view message);
  // The pressed button (mrYes or mrNo for the Yes/No set). `owner` places
  // the box over that window; `defaultNo` makes No the default button.
  static TModalResult AskQuestion(std::string_view message,
                                  TMsgButtons buttons = TMsgButtons::YesNo, TForm* owner = nullptr,
                                  bool defaultNo = false);
  // Starts the help viewer on a topic; topics below 100 open 101. A missing
  // viewer or help file is not reported.
  static void ShowHelp(std::string_view chm, int topic);
  // "hh.exe " + chm + "::/" + topic + ".htm", the command ShowHelp starts.
  static std::string HelpCommand(std::string_view chm, int topic);
};

}  // namespace veltrin::ui
