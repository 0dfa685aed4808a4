#include "forms/file_base_form.h"

#include "common/texts.h"
#include "forms/share_func.h"
#include "ui/services.h"

namespace veltrin {

using ui::TDesc;
using ui::TKind;

TfrmFileBase::TfrmFileBase(std::string name) : TfrmBase(std::move(name)) {
  Build({
      TDesc(TKind::OpenDialog, "fdlgOpen", "", ""),
      TDesc(TKind::SaveDialog, "fdlgSave", "", ""),
  });
  Bind(fdlgOpen, "fdlgOpen");
  Bind(fdlgSave, "fdlgSave");
}

std::string TfrmFileBase::PickOpenFile(std::string_view filter, std::string_view initialDir) {
  fdlgOpen->Filter = filter;
  if (!initialDir.empty()) fdlgOpen->InitialDir = initialDir;
  return fdlgOpen->Execute() ? fdlgOpen->FileName : std::string();
}

std::string TfrmFileBase::PickSaveFile(std::string_view filter, std::string_view initialDir,
                                       std::string_view fileName, std::string_view defaultExt) {
  fdlgSave->Filter = filter;
  fdlgSave->FileName = fileName;
  fdlgSave->DefaultExt = defaultExt;
  fdlgSave->InitialDir = initialDir;
  if (!fdlgSave->Execute()) return {};
  std::string path = fdlgSave->FileName;
  if (path.find('.') == std::string::npos && !defaultExt.empty())
    path += "." + std::string(defaultExt);
  if (ui::FileExists(path)) {
    std::string question = std::string(kTxtOverwriteAsk) + "\r\n" + path;
    if (TShareFunc::AskQuestion(question, ui::TMsgButtons::YesNo, this, true) != ui::mrYes)
      path.clear();
  }
  return path;
}

}  // namespace veltrin
