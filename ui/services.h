// The services the dialogs use besides their controls: message boxes, file
// dialogs, the clipboard, the hourglass pointer, starting a program and
// opening a document. Each
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
// The text on the clipboard, which `owner`'s window (else the active one)
// opens; false when the clipboard could not take it.
bool SetClipboardText(std::string_view text, TForm* owner = nullptr);
std::string ClipboardText();
void RunProgram(std::string_view commandLine);
// Opens a document (a GBK path: a help page, ...) with the program the
// system has for its kind; false when it could not be opened.
bool OpenDocument(std::string_view path);
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

}  // namespace veltrin::ui
