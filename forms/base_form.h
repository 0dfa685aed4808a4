// TfrmBase: the common look of the plug-in's windows, which every dialog
// inherits: font 宋体 at 12 pixels with the GB2312 character set, centred on
// the screen, caption "frmBase" until a derived window sets its own.
#pragma once

#include <string>

#include "ui/controls.h"

namespace veltrin {

class TfrmBase : public ui::TForm {
 public:
  explicit TfrmBase(std::string name = "frmBase");
};

}  // namespace veltrin
