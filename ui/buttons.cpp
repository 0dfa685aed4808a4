// Buttons and check boxes.
#include "ui/controls.h"

namespace veltrin::ui {

void TButton::Click() {
  // The toolkit sets the form's modal result before the click handler runs.
  if (modalResult_ != mrNone && owner_) owner_->SetModalResult(modalResult_);
  TControl::Click();
}

bool TCheckBox::Checked() const { return CheckPeer().Checked(); }

void TCheckBox::SetChecked(bool checked) {
  if (Checked() == checked) return;
  CheckPeer().SetChecked(checked);
  Click();
}

}  // namespace veltrin::ui
