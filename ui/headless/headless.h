// The headless backend: every control as state only, for native builds and
// tests. Its controls keep what the Win32 controls keep (text, checked,
// enabled, items, selection, current item, colours, hint) and report user
// actions through the same events in the same order. Without a test hook it
// answers what a person would be asked with the safe choice (message boxes
// their default button, file dialogs and modal windows Cancel) and records
// everything it was asked to show or start.
#pragma once

#include <string>
#include <vector>

#include "ui/peer.h"

namespace veltrin::ui {

struct THeadlessRecord {
  enum class What { Message, FileDialog, Modal, Program, Document } Kind;
  std::string Text;     // message, dialog filter, form caption, command line or path
  std::string Caption;  // message caption
  TMsgKind MsgKind = TMsgKind::Info;
};

class THeadlessBackend final : public TBackend, public TServices {
 public:
  const char* Name() const override { return "headless"; }
  std::unique_ptr<TPeer> CreatePeer(TComponent& front) override;
  TServices& Services() override { return *this; }

  TModalResult MessageDlg(TForm* owner, TMsgKind kind, const std::string& text,
                          const std::string& caption, TMsgButtons buttons,
                          bool defaultSecond) override;
  bool FileDialog(TForm* owner, TFileDialogState& state) override;
  bool SetClipboardText(TForm*, const std::string& text) override {
    if (!clipboardAvailable_) return false;
    clipboard_ = text;
    return true;
  }
  // Another program holding the clipboard makes it unavailable.
  void SetClipboardAvailable(bool available) { clipboardAvailable_ = available; }
  std::string ClipboardText() override { return clipboard_; }
  void BeginWait() override { ++waitDepth_; }
  void EndWait() override {
    if (waitDepth_ > 0) --waitDepth_;
  }
  void RunProgram(const std::string& commandLine) override;
  bool OpenDocument(const std::string& path) override;
  // A system without a program for the document makes opening it fail.
  void SetDocumentsOpen(bool open) { documentsOpen_ = open; }

  void RecordModal(const std::string& caption);
  const std::vector<THeadlessRecord>& Records() const { return records_; }
  void ClearRecords() { records_.clear(); }
  // How many hourglass pointers are shown now (0: the normal pointer).
  int WaitDepth() const { return waitDepth_; }

 private:
  std::vector<THeadlessRecord> records_;
  std::string clipboard_;
  bool clipboardAvailable_ = true;
  bool documentsOpen_ = true;
  int waitDepth_ = 0;
};

THeadlessBackend& TheHeadlessBackend();

}  // namespace veltrin::ui
