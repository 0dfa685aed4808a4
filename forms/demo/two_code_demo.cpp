#include "forms/demo/two_code_demo.h"

#include <string>

#include "forms/base_form.h"
#include "forms/two_code_frame.h"

namespace veltrin::demo {
namespace {

// Codes given to scores 1, 2, 5, 10 and 12; the rest stay with score 0.
constexpr char kAssigned[] = "1=12 21,2=33,5=01 02 03,10=45 54 67 76,12=98 99";

// A window that holds the grid where the pair-score dialog places it.
class TDemoGridForm final : public TfrmBase {
 public:
  TDemoGridForm() : TfrmBase("frmDemoGrid") {
    SetCaption("Veltrin");
    SetClientSize(258, 322);
    grid_ = std::make_unique<TTwoGradeFrame>(*this, "TwoGradeFrame1", "", 8, 13);
    grid_->InitLabels();
    grid_->SetGradeText(kAssigned);
    // Score 0 keeps what no other score holds, as after picking.
    grid_->edtCode0->SetText(CodesMinus(CodeRangeText(0, 99), grid_->GetAssignedCodes()));
  }

 private:
  std::unique_ptr<TTwoGradeFrame> grid_;
};

}  // namespace

std::unique_ptr<ui::TForm> NewTwoGradeFrameDemo() { return std::make_unique<TDemoGridForm>(); }

std::unique_ptr<TfrmSelectTwo> NewSelectTwoDemo() {
  // Score 5 of the grid above: its own codes marked, the codes of the other
  // scores not on offer.
  auto picker = std::make_unique<TfrmSelectTwo>();
  picker->InitLabels();
  const std::string others = "12 21 33 45 54 67 76 98 99";
  picker->SetAvailable(CodesMinus(CodeRangeText(0, 99), others), true);
  picker->SetSelected("01 02 03");
  return picker;
}

}  // namespace veltrin::demo
