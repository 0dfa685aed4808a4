#include "forms/demo/code_grade_demo.h"

#include <string>

#include "common/lottery.h"
#include "common/records.h"
#include "common/string_list.h"
#include "common/texts.h"
#include "ui/automation.h"

namespace veltrin::demo {
namespace {

// A host that answers the draws request with a fixed history and nothing
// else; it lives as long as the program.
class TDemoHost final : public ICallWrapper {
 public:
  int32_t VELTRIN_API QueryInterface(const VGuid*, void** out) override {
    if (out) *out = nullptr;
    return kE_NOTIMPL;
  }
  uint32_t VELTRIN_API AddRef() override { return 2; }
  uint32_t VELTRIN_API Release() override { return 1; }
  int32_t VELTRIN_API ShowToleranceAide(TFilter*, const char*, int32_t) override {
    return kE_NOTIMPL;
  }
  int32_t VELTRIN_API GetBatchAideData(TBatFltSet*, TBatFltSet* result) override {
    if (!result) return kE_POINTER;
    draws_->Lines() = {"45678", "01234", "98765", "54321", "67890", "12345", "99887",
                       "45454", "30125", "76767", "02468", "13579", "55555", "98989"};
    result->BetTexts = draws_;
    return kS_OK;
  }
  int32_t VELTRIN_API Reserved3() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API ShowHistoryFilter(IScoreCallback*, const char*, const char*) override {
    return kE_NOTIMPL;
  }
  int32_t VELTRIN_API Reserved5() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API SelectDrawNumber(const char**) override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved7() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API GetLotteryInfo(TLotteryInfo*) override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved9() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved10() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API Reserved11() override { return kE_NOTIMPL; }
  int32_t VELTRIN_API GetPairScoreTable(char**) override { return kE_NOTIMPL; }

 private:
  TStringList* draws_ = TStringList::Create();
};

}  // namespace

std::unique_ptr<TCodeGradeFrm> NewCodeGradeDemo() {
  ChipDigitCount = 5;
  auto dialog = std::make_unique<TCodeGradeFrm>();
  const std::string straight = kTxtModeStraight;
  // The last line as the grid writes one: every score's group, mostly
  // empty, one long unbroken run.
  std::string grid = "0=00 01 02 03 04 05 06 07 08 09 10 11 13 14 15 16 17 18 19 20";
  for (int score = 1; score <= 100; ++score)
    grid += "," + std::to_string(score) + "=" + (score == 7 ? "12 21" : "");
  dialog->LoadSettingsText("E|0-1\r\n" + straight + ":0=00 01 02,1=12 21,2=33:0-6\r\n" + straight +
                           ":5=01 02 03,10=45 54 67 76,12=98 99:5-40\r\n" + straight +
                           ":3=45 54:3-6\r\n" + straight + ":" + grid + ":7-14\r\n");
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

void ShowCodeGradeDemoPicture(TCodeGradeFrm& dialog) {
  static TDemoHost host;
  dialog.SetHost(&host);
  ShowCodeGradeDemoCondition(dialog);
  ui::SelectPage(*dialog.pageFlt, 2);
  ui::Click(*dialog.btnPicDraws);
}

}  // namespace veltrin::demo
