#include "ui/services.h"

#include <string>

#include "port/port.h"
#include "ui/controls.h"

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

bool SetClipboardText(std::string_view text, TForm* owner) {
  return ServicesFor(owner).SetClipboardText(owner, std::string(text));
}

std::string ClipboardText() { return CurrentBackend().Services().ClipboardText(); }

void RunProgram(std::string_view commandLine) {
  if (g_hook)
    g_hook->RunProgram(std::string(commandLine));
  else
    CurrentBackend().Services().RunProgram(std::string(commandLine));
}

bool OpenDocument(std::string_view path) {
  if (g_hook) return g_hook->OpenDocument(std::string(path));
  return CurrentBackend().Services().OpenDocument(std::string(path));
}

bool FileExists(std::string_view path) {
  std::string native;
  if (path.empty() || !port::PathFromGbk(path, native)) return false;
  return port::KindOf(native) == port::PathKind::File;
}

TWaitCursor::TWaitCursor() { CurrentBackend().Services().BeginWait(); }
TWaitCursor::~TWaitCursor() { CurrentBackend().Services().EndWait(); }

}  // namespace veltrin::ui
