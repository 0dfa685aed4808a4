#include "tests/support/ui_fixture.h"

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "forms/share_func.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace veltrin::test {

std::vector<std::string> TScriptedResponder::Texts(ui::TMsgKind kind) const {
  std::vector<std::string> out;
  for (const TMessage& m : Messages)
    if (m.Kind == kind) out.push_back(m.Text);
  return out;
}

ui::TModalResult TScriptedResponder::MessageDlg(ui::TMsgKind kind, const std::string& text,
                                                const std::string& caption, ui::TMsgButtons buttons,
                                                bool defaultSecond) {
  Messages.push_back({kind, text, caption, buttons, defaultSecond});
  if (!answers_.empty()) {
    ui::TModalResult r = answers_.front();
    answers_.pop_front();
    return r;
  }
  if (buttons == ui::TMsgButtons::Ok) return ui::mrOk;
  return defaultSecond ? ui::mrNo : ui::mrYes;
}

bool TScriptedResponder::FileDialog(ui::TFileDialogState& state) {
  FileDialogs.push_back(state);
  if (files_.empty()) return false;
  std::optional<std::string> choice = files_.front();
  files_.pop_front();
  if (!choice) return false;
  state.FileName = *choice;
  return true;
}

void TScriptedResponder::Modal(ui::TForm& form) {
  ModalForms.push_back(form.Name());
  if (modals_.empty()) return;
  auto action = std::move(modals_.front());
  modals_.pop_front();
  action(form);
}

std::vector<std::string> UiBackendNames() {
  std::vector<std::string> names{"headless"};
  if (ui::Win32Backend()) names.push_back("win32");
  return names;
}

namespace {
// Wine creates windows only with an X display (xvfb-run in CI).
bool CanCreateWindows() {
#if defined(_WIN32)
  static const bool can = [] {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe) DestroyWindow(probe);
    return probe != nullptr;
  }();
  return can;
#else
  return false;
#endif
}
}  // namespace

void UiBackendTest::SetUp() {
  if (GetParam() == "win32" && !CanCreateWindows())
    GTEST_FAIL() << "no windows can be created here: run the Windows tests under xvfb-run";
  ui::SetCurrentBackend(GetParam() == "win32" ? ui::Win32Backend() : &ui::HeadlessBackend());
  ui::SetHook(&Responder);
  // Handler errors are reported the way the dialogs report them.
  TShareFunc::InstallErrorReporter();
}

void UiBackendTest::TearDown() {
  ui::SetErrorReporter(nullptr);
  ui::SetHook(nullptr);
  ui::SetCurrentBackend(nullptr);
}

TUiTempDir::TUiTempDir() {
  namespace fs = std::filesystem;
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  fs::path dir = fs::temp_directory_path() /
                 ("veltrin-ui-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  fs::create_directories(dir);
  path_ = dir.string();
}

TUiTempDir::~TUiTempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TUiTempDir::File(const std::string& name) const {
  return (std::filesystem::path(path_) / name).string();
}

std::string UiReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void UiWriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace veltrin::test
