#include "forms/base_form.h"

#include "common/texts.h"
#include "forms/share_func.h"

namespace veltrin {

namespace {
constexpr int32_t kGb2312Charset = 134;
}

TfrmBase::TfrmBase(std::string name) : ui::TForm(std::move(name)) {
  TShareFunc::InstallErrorReporter();
  SetFont(ui::TFontSpec{kTxtFontName, 12, kGb2312Charset});
  SetCaption("frmBase");
}

}  // namespace veltrin
