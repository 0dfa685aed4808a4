#include "ui/services.h"

#include <string>

#include "common/texts.h"
#include "ui/controls.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace veltrin::ui {
namespace {

TBackend* g_backend = nullptr;
TUiHook* g_hook = nullptr;

TBackend& DefaultBackend() {
  if (TBackend* win32 = Win32Backend()) return *win32;
  return HeadlessBackend();
}

}  // namespace

TBackend& CurrentBackend() { return g_backend ? *g_backend : DefaultBackend(); }
void SetCurrentBackend(TBackend* backend) { g_backend = backend; }
TUiHook* Hook() { return g_hook; }
void SetHook(TUiHook* hook) { g_hook = hook; }

namespace {
// The backend that answers for `owner`: the one its form was built on.
TServices& ServicesFor(TForm* owner) {
  return owner ? owner->Backend().Services() : CurrentBackend().Services();
}
}  // namespace

TModalResult MessageDlg(TForm* owner, TMsgKind kind, std::string_view text,
                        std::string_view caption, TMsgButtons buttons, bool defaultSecond) {
  if (g_hook)
    return g_hook->MessageDlg(kind, std::string(text), std::string(caption), buttons,
                              defaultSecond);
  return ServicesFor(owner).MessageDlg(owner, kind, std::string(text), std::string(caption),
                                       buttons, defaultSecond);
}

bool RunFileDialog(TForm* owner, TFileDialogState& state) {
  if (g_hook) return g_hook->FileDialog(state);
  return ServicesFor(owner).FileDialog(owner, state);
}

void SetClipboardText(std::string_view text) {
  CurrentBackend().Services().SetClipboardText(std::string(text));
}

std::string ClipboardText() { return CurrentBackend().Services().ClipboardText(); }

void RunProgram(std::string_view commandLine) {
  if (g_hook)
    g_hook->RunProgram(std::string(commandLine));
  else
    CurrentBackend().Services().RunProgram(std::string(commandLine));
}

bool FileExists(std::string_view path) {
  if (path.empty()) return false;
#if defined(_WIN32)
  // Paths are GBK like every text of the system.
  int n = MultiByteToWideChar(936, 0, path.data(), int(path.size()), nullptr, 0);
  if (n <= 0) return false;
  std::wstring wide(size_t(n), L'\0');
  MultiByteToWideChar(936, 0, path.data(), int(path.size()), wide.data(), n);
  DWORD attrs = GetFileAttributesW(wide.c_str());
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
#else
  struct stat st {};
  return stat(std::string(path).c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
#endif
}

TWaitCursor::TWaitCursor() { CurrentBackend().Services().BeginWait(); }
TWaitCursor::~TWaitCursor() { CurrentBackend().Services().EndWait(); }

// ---- TShareFunc ---------------------------------------------------------------

void TShareFunc::ShowError(std::string_view message) {
  MessageDlg(nullptr, TMsgKind::Error, message, kTxtSysCaption, TMsgButtons::Ok, false);
}

void TShareFunc::ShowInfo(std::string_view message) {
  MessageDlg(nullptr, TMsgKind::Info, message, kTxtSysCaption, TMsgButtons::Ok, false);
}

void TShareFunc::ShowWarning(std::string_view message) {
  MessageDlg(nullptr, TMsgKind::Warning, message, kTxtSysCaption, TMsgButtons::Ok, false);
}

TModalResult TShareFunc::AskQuestion(std::string_view message, TMsgButtons buttons, TForm* owner,
                                     bool defaultNo) {
  return MessageDlg(owner, TMsgKind::Question, message, kTxtSysCaption, buttons, defaultNo);
}

std::string TShareFunc::HelpCommand(std::string_view chm, int topic) {
  if (topic < 100) topic = 101;
  return "hh.exe " + std::string(chm) + "::/" + std::to_string(topic) + ".htm";
}

void TShareFunc::ShowHelp(std::string_view chm, int topic) {
  try {
    RunProgram(HelpCommand(chm, topic));
  } catch (...) {
    // A viewer that cannot be started is not reported.
  }
}

}  // namespace veltrin::ui
