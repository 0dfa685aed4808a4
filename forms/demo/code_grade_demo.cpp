#include "forms/demo/code_grade_demo.h"

#include <string>

#include "common/lottery.h"
#include "common/texts.h"

namespace veltrin::demo {

std::unique_ptr<TCodeGradeFrm> NewCodeGradeDemo() {
  ChipDigitCount = 5;
  auto dialog = std::make_unique<TCodeGradeFrm>();
  const std::string straight = kTxtModeStraight;
  dialog->LoadSettingsText("E|0-1\r\n" + straight + ":0=00 01 02,1=12 21,2=33:0-6\r\n" + straight +
                           ":5=01 02 03,10=45 54 67 76,12=98 99:5-40\r\n" + straight +
                           ":3=45 54:3-6\r\n");
  return dialog;
}

void ShowCodeGradeDemoCondition(TCodeGradeFrm& dialog) {
  dialog.lstFilter->SetSelected(1, true);
  dialog.RefreshList(1);
  dialog.lstFilterClick();
  // Score 0 keeps what no other score holds, as after picking.
  TTwoGradeFrame& grid = *dialog.TwoGradeFrame1;
  grid.edtCode0->SetText(CodesMinus(CodeRangeText(0, 99), grid.GetAssignedCodes()));
}

}  // namespace veltrin::demo
