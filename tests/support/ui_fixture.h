// Fixtures for tests of the control layer and the dialogs. A test written
// once on UiBackendTest runs on every backend of the build: headless always,
// Win32 in the Windows build (under Wine). A scripted responder stands in
// for the person: it answers message boxes, file dialogs and modal windows
// from the test's script and records what was shown.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/peer.h"

namespace veltrin::test {

class TScriptedResponder final : public ui::TUiHook {
 public:
  struct TMessage {
    ui::TMsgKind Kind;
    std::string Text;
    std::string Caption;
    ui::TMsgButtons Buttons;
    bool DefaultSecond;
  };

  // ---- the script: answers in the order they will be asked for ----
  // The next message box's answer; without one, its default button.
  void Answer(ui::TModalResult result) { answers_.push_back(result); }
  // The next file dialog chooses `path`; without one, it is cancelled.
  void ChooseFile(std::string path) { files_.emplace_back(std::move(path)); }
  void CancelFile() { files_.emplace_back(std::nullopt); }
  // What happens inside the next modal window; without it, it is cancelled.
  void OnModal(std::function<void(ui::TForm&)> action) { modals_.push_back(std::move(action)); }

  // ---- what was shown ----
  std::vector<TMessage> Messages;
  std::vector<ui::TFileDialogState> FileDialogs;
  std::vector<std::string> Programs;
  std::vector<std::string> Documents;
  // Whether documents open (false: the system has no program for them).
  bool DocumentsOpen = true;
  std::vector<std::string> ModalForms;  // names of the forms run modally

  // Texts of the messages of one kind.
  std::vector<std::string> Texts(ui::TMsgKind kind) const;
  bool ScriptUsedUp() const { return answers_.empty() && files_.empty() && modals_.empty(); }

  ui::TModalResult MessageDlg(ui::TMsgKind kind, const std::string& text,
                              const std::string& caption, ui::TMsgButtons buttons,
                              bool defaultSecond) override;
  bool FileDialog(ui::TFileDialogState& state) override;
  void Modal(ui::TForm& form) override;
  void RunProgram(const std::string& commandLine) override { Programs.push_back(commandLine); }
  bool OpenDocument(const std::string& path) override {
    Documents.push_back(path);
    return DocumentsOpen;
  }

 private:
  std::deque<ui::TModalResult> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::function<void(ui::TForm&)>> modals_;
};

// The backends of this build by name: "headless", and "win32" on Windows.
std::vector<std::string> UiBackendNames();

class UiBackendTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override;
  void TearDown() override;
  bool OnWin32() const { return GetParam() == "win32"; }

  TScriptedResponder Responder;
};

// A folder of its own for a test's files, removed afterwards. Paths are
// ASCII, so they mean the same to every file function.
class TUiTempDir {
 public:
  TUiTempDir();
  ~TUiTempDir();
  const std::string& Path() const { return path_; }
  // `name` inside the folder, with the platform's separator.
  std::string File(const std::string& name) const;

 private:
  std::string path_;
};

std::string UiReadFile(const std::string& path);
void UiWriteFile(const std::string& path, const std::string& bytes);

}  // namespace veltrin::test

#define VELTRIN_ON_UI_BACKENDS(Suite)                                          \
  INSTANTIATE_TEST_SUITE_P(                                                    \
      Backends, Suite, ::testing::ValuesIn(::veltrin::test::UiBackendNames()), \
      [](const ::testing::TestParamInfo<std::string>& info) { return info.param; })
