#include "forms/share_func.h"

#include "common/texts.h"
#include "forms/form_texts.h"
#include "ui/services.h"

namespace veltrin {

void TShareFunc::ShowError(std::string_view message) {
  ui::MessageDlg(nullptr, ui::TMsgKind::Error, message, kTxtSysCaption, ui::TMsgButtons::Ok, false);
}

void TShareFunc::ShowInfo(std::string_view message) {
  ui::MessageDlg(nullptr, ui::TMsgKind::Info, message, kTxtSysCaption, ui::TMsgButtons::Ok, false);
}

void TShareFunc::ShowWarning(std::string_view message) {
  ui::MessageDlg(nullptr, ui::TMsgKind::Warning, message, kTxtSysCaption, ui::TMsgButtons::Ok,
                 false);
}

ui::TModalResult TShareFunc::AskQuestion(std::string_view message, ui::TMsgButtons buttons,
                                         ui::TForm* owner, bool defaultNo) {
  return ui::MessageDlg(owner, ui::TMsgKind::Question, message, kTxtSysCaption, buttons, defaultNo);
}

std::string TShareFunc::HelpCommand(std::string_view chm, int topic) {
  if (topic < 100) topic = 101;
  return "hh.exe " + std::string(chm) + "::/" + std::to_string(topic) + ".htm";
}

void TShareFunc::ShowHelp(std::string_view chm, int topic) {
  try {
    ui::RunProgram(HelpCommand(chm, topic));
  } catch (...) {
    // A viewer that cannot be started is not reported.
  }
}

bool TShareFunc::OpenHelp(std::string_view chm, int topic, std::string_view page) {
  auto start = [](const std::string& command) {
    try {
      ui::RunProgram(command);
      return true;
    } catch (...) {
      return false;
    }
  };
  const bool haveChm = !chm.empty() && ui::FileExists(chm);
  if (haveChm && start(HelpCommand(chm, topic))) return true;
  const bool havePage = !page.empty() && ui::FileExists(page);
  // The player's own program for pages (the shell's answer for its kind).
  if (havePage && ui::OpenDocument(page)) return true;
  if (haveChm || havePage) {
    ShowError(std::string(kTxtHelpOpenFailed) + "\r\n" + std::string(havePage ? page : chm));
    return false;
  }
  ShowError(std::string(kTxtHelpMissing) + "\r\n" + std::string(chm) + "\r\n" + std::string(page));
  return false;
}

void TShareFunc::InstallErrorReporter() {
  ui::SetErrorReporter([](std::string_view message) {
    ShowError(message.empty() ? std::string_view(kTxtUnknownError) : message);
  });
}

}  // namespace veltrin
