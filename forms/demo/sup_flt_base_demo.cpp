#include "forms/demo/sup_flt_base_demo.h"

#include <string>

#include "common/texts.h"
#include "filter/pro_grade.h"

namespace veltrin::demo {
namespace {

// The editor is the whole line in one box: enough to show where a derived
// dialog's editor goes.
class TDemoSupFltForm final : public TfrmSupFltBase {
 public:
  TDemoSupFltForm() : TfrmSupFltBase("frmDemoSupFlt") {
    SetCaption("Veltrin");
    Build({
        ui::TDesc(ui::TKind::Edit, "edtCondition", "tabFilter", "").At(8, 13, 236, 21),
    });
    edtCondition = Get<ui::TEdit>("edtCondition");
  }
  TFilter* CreateFilter() override { return TProGradeFilter::New(); }
  void ShowCondition(const std::string& line) override { edtCondition->SetText(line); }
  std::string BuildCondition() override { return edtCondition->Text(); }

 private:
  ui::TEdit* edtCondition = nullptr;
};

}  // namespace

std::unique_ptr<TfrmSupFltBase> NewSupFltBaseDemo() {
  auto form = std::make_unique<TDemoSupFltForm>();
  form->btnHisFlt->SetVisible(true);
  form->RzButton2->SetVisible(true);
  const std::string straight = kTxtModeStraight;
  form->LoadSettingsText("E|0-1\r\n" + straight + ":1=12 21,2=33:0-2\r\n" + straight +
                         ":5=01 02 03:0-10\r\n" + straight + ":0=00 01 02,1=12 21,2=:2-48\r\n" +
                         straight + ":3=45 54:3-6\r\n");
  form->lstFilter->SetSelected(1, true);
  form->lstFilter->SetSelected(2, true);
  form->RefreshList(2);
  form->lstFilterClick();
  return form;
}

}  // namespace veltrin::demo
