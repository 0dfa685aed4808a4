// TfrmFileBase: a window with a file-open and a file-save dialog and the two
// operations that run them with the plug-in's rules for extensions and for
// overwriting.
#pragma once

#include <string>
#include <string_view>

#include "forms/base_form.h"

namespace veltrin {

class TfrmFileBase : public TfrmBase {
 public:
  explicit TfrmFileBase(std::string name = "frmFileBase");

  // The chosen file's full path; empty when the user cancels. The initial
  // folder is set only when one is given.
  std::string PickOpenFile(std::string_view filter, std::string_view initialDir);
  // The path to save to; empty when the user cancels or declines to
  // overwrite an existing file. A path without any "." gets "." and the
  // default extension.
  std::string PickSaveFile(std::string_view filter, std::string_view initialDir,
                           std::string_view fileName, std::string_view defaultExt);

  ui::TOpenDialog* fdlgOpen = nullptr;
  ui::TSaveDialog* fdlgSave = nullptr;
};

}  // namespace veltrin
