#include "forms/code_grade_form.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "common/com_ref.h"
#include "common/counted.h"
#include "common/lottery.h"
#include "common/text.h"
#include "common/texts.h"
#include "filter/condition_mode.h"
#include "filter/pro_grade.h"
#include "forms/share_func.h"
#include "ui/services.h"

namespace veltrin {

using ui::TDesc;
using ui::TKind;

namespace {

constexpr char kCaption[] = "Veltrin";
// The bounds selected at each showing, where the lists reach them.
constexpr int32_t kDefaultLow = 2;
constexpr int32_t kDefaultHigh = 48;

// The range field of a condition line: everything after the second ":".
std::string_view RangeField(std::string_view line) { return TextAfter(TextAfter(line, ':'), ':'); }

}  // namespace

// The IScoreCallback the host calls during a history check. It lives inside
// the dialog, so counting its references cannot keep the dialog alive.
class TCodeGradeFrm::TScoreCallback final : public IScoreCallback {
 public:
  explicit TScoreCallback(TCodeGradeFrm& dialog) : dialog_(dialog) {}

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    return AnswerQueryInterface(this, iid, out, {IID_IScoreCallback, IID_IUnknown});
  }
  uint32_t VELTRIN_API AddRef() override { return 1; }
  uint32_t VELTRIN_API Release() override { return 1; }
  int32_t VELTRIN_API ScoreBet(const char* bet, int32_t* score) override {
    return dialog_.ScoreBet(bet, score);
  }

 private:
  TCodeGradeFrm& dialog_;
};

ui::TDescTable TCodeGradeFrm::Description() {
  using namespace ui;
  return {
      // The range row along the bottom of the page, under its heading.
      TDesc(TKind::Label, "Label8", "tabFilter", kTxtConditionHeading).At(8, 320, 100, 14),
      TDesc(TKind::Label, "Label20", "tabFilter", kTxtScoreSumLabel)
          .At(132, 345, 112, 14)
          .Set(kTextCenter),
      TDesc(TKind::Label, "Label9", "tabFilter", kTxtKeepRangeLabel).At(8, 345, 60, 14),
      TDesc(TKind::ComboBox, "cbxMax", "tabFilter", "")
          .At(246, 341, 62, 20)
          .Set(kDropDownList)
          .Colors(clDefault, clPurple),
      TDesc(TKind::ComboBox, "cbxMin", "tabFilter", "")
          .At(68, 341, 62, 20)
          .Set(kDropDownList)
          .Colors(clDefault, clPurple),
      // Over the grid's top left, between its score-0 box and its labels.
      TDesc(TKind::ComboBox, "FilterType", "tabFilter", kTxtModeStraight).At(10, 43, 145, 20),
      TDesc(TKind::Button, "RzButton3", "tabFilter", kTxtGenerate).At(254, 232, 62, 22),

      // The distribution page, after the simulated run's: the picture, the
      // figures under it, the draws on request.
      TDesc(TKind::TabSheet, "tabPicture", "pageFlt", kTxtTabPicture),
      TDesc(TKind::Chart, "chtScores", "tabPicture", "").At(6, 6, 518, 250),
      TDesc(TKind::Label, "lblPicKept", "tabPicture", "").At(6, 264, 518, 14),
      TDesc(TKind::Label, "lblPicScores", "tabPicture", "").At(6, 282, 518, 14),
      TDesc(TKind::Label, "lblPicWarnings", "tabPicture", "")
          .At(6, 300, 518, 14)
          .Set(kShowHint)
          .Colors(clDefault, clMaroon),
      TDesc(TKind::Button, "btnPicDraws", "tabPicture", kTxtPicDraws).At(6, 322, 96, 23),
      TDesc(TKind::Label, "lblPicHits", "tabPicture", "")
          .At(108, 327, 416, 14)
          .Colors(clDefault, clNavy),
  };
}

TCodeGradeFrm::TCodeGradeFrm() : TfrmSupFltBase("CodeGradeFrm") {
  SetCaption(kCaption);
  SetClientSize(544, 433);
  // Built before the grid: a window made later lies under the ones before
  // it, and the mode box must stay in front of the grid it stands on.
  Build(Description());
  TwoGradeFrame1 = std::make_unique<TTwoGradeFrame>(*this, "TwoGradeFrame1", "tabFilter", 8, 13);

  Bind(Label8, "Label8");
  Bind(Label20, "Label20");
  Bind(Label9, "Label9");
  Bind(cbxMax, "cbxMax");
  Bind(cbxMin, "cbxMin");
  Bind(FilterType, "FilterType");
  Bind(RzButton3, "RzButton3").OnClick = ui::Handler(this, &TCodeGradeFrm::RzButton3Click);
  // The mode table says which words the dialog offers.
  for (const TConditionMode* m : Modes())
    if (m->Offered) FilterType->AddItem(m->Word);
  Bind(tabPicture, "tabPicture");
  Bind(chtScores, "chtScores");
  Bind(lblPicKept, "lblPicKept");
  Bind(lblPicScores, "lblPicScores");
  Bind(lblPicWarnings, "lblPicWarnings");
  Bind(btnPicDraws, "btnPicDraws").OnClick = ui::Handler(this, &TCodeGradeFrm::btnPicDrawsClick);
  Bind(lblPicHits, "lblPicHits");
  cbxMin->OnChange = ui::Handler(this, &TCodeGradeFrm::EditorChange);
  cbxMax->OnChange = ui::Handler(this, &TCodeGradeFrm::EditorChange);
  FilterType->OnChange = ui::Handler(this, &TCodeGradeFrm::EditorChange);
  TwoGradeFrame1->OnGradeChange = [this] { EditorChange(); };
  // The list's hint says what the current line keeps and warns of.
  lstFilter->SetShowHint(true);

  // What this dialog changes of the condition list dialog.
  lblInfo->SetVisible(false);
  btnHisFlt->SetVisible(true);
  RzButton2->SetVisible(true);
  btnHelp->SetHelpContext(kHelpNumber);

  btnHisFlt->OnClick = ui::Handler(this, &TCodeGradeFrm::btnHisFltClick);

  callback_ = std::make_unique<TScoreCallback>(*this);
  SetActiveControl(TwoGradeFrame1->edtCode0);
}

TCodeGradeFrm::~TCodeGradeFrm() = default;

IScoreCallback* TCodeGradeFrm::ScoreCallback() { return callback_.get(); }

TFilter* TCodeGradeFrm::CreateFilter() { return TProGradeFilter::New(); }

// ---- the editor --------------------------------------------------------------------

void TCodeGradeFrm::FillRangeLists() {
  // In 64 bits and within the digits a bet may have, so that no digit count
  // the host reports can overflow the highest sum or flood the lists.
  const int64_t digits = std::clamp<int64_t>(ChipDigitCount, 0, kMaxDigitCount);
  const int64_t highest = (digits - 1) * 100;
  cbxMin->ClearItems();
  cbxMax->ClearItems();
  for (int64_t sum = 0; sum <= highest; ++sum) {
    const std::string item = std::to_string(sum);
    cbxMin->AddItem(item);
    cbxMax->AddItem(item);
  }
  cbxMin->SetItemIndex(kDefaultLow < cbxMin->Count() ? kDefaultLow : -1);
  cbxMax->SetItemIndex(kDefaultHigh < cbxMax->Count() ? kDefaultHigh : -1);
}

void TCodeGradeFrm::FormShow() {
  TfrmSupFltBase::FormShow();
  FillRangeLists();
  TwoGradeFrame1->InitLabels();
  EditorChange();
}

std::string TCodeGradeFrm::BuildCondition() {
  return FilterType->Text() + ":" + TwoGradeFrame1->GetGradeText() + ":" + cbxMin->Text() + "-" +
         cbxMax->Text();
}

void TCodeGradeFrm::ShowCondition(const std::string& line) {
  // The line itself is pictured, also when the editor cannot take all of it.
  ShowPicture(line);
  loadingLine_ = true;
  struct TDone {
    bool& flag;
    ~TDone() { flag = false; }
  } done{loadingLine_};
  // -1 (not listed) leaves the box without a selection and with no text.
  FilterType->SetItemIndex(FilterType->IndexOf(TextBefore(line, ':')));
  TwoGradeFrame1->SetGradeText(TextBefore(TextAfter(line, ':'), ':'));
  const std::string_view range = RangeField(line);
  cbxMin->SetItemIndex(cbxMin->IndexOf(TextBefore(range, '-')));
  cbxMax->SetItemIndex(cbxMax->IndexOf(TextAfter(range, '-')));
}

// ---- the distribution page -----------------------------------------------------------

void TCodeGradeFrm::EditorChange() {
  if (!loadingLine_) ShowPicture(BuildCondition());
}

void TCodeGradeFrm::ShowPicture(const std::string& line) {
  picture_ = ComputeScorePicture(line, ChipDigitCount);
  if (drawsFetched_) MarkDraws(picture_, draws_);
  chtScores->SetState(ChartOf(picture_));
  lblPicKept->SetCaption(KeptText(picture_));
  lblPicScores->SetCaption(ScoresText(picture_));
  std::string warnings;
  for (const std::string& w : picture_.Warnings) warnings += (warnings.empty() ? "" : "  ") + w;
  lblPicWarnings->SetCaption(warnings);
  lblPicWarnings->SetHint(warnings);
  lblPicHits->SetCaption(drawsFetched_ ? HitsText(picture_) : std::string());
}

void TCodeGradeFrm::btnPicDrawsClick() {
  // Only on this click: the host may open a window of its own to answer.
  if (!FHost) return;
  drawsFetched_ = true;
  if (!FetchSampleBets(draws_)) draws_.clear();
  MarkDraws(picture_, draws_);
  chtScores->SetState(ChartOf(picture_));
  lblPicHits->SetCaption(HitsText(picture_));
}

std::string TCodeGradeFrm::ConditionLineLabel(int32_t index) const {
  const std::string line = TfrmSupFltBase::ConditionLineLabel(index);
  return veltrin::ConditionLineLabel(line, ConditionLineNote(line, ChipDigitCount));
}

std::string TCodeGradeFrm::ConditionLineInfo(int32_t index) const {
  // The kept share and the warnings first, then the whole line in rows.
  const std::string line = TfrmSupFltBase::ConditionLineInfo(index);
  return ConditionLineHint(line, ConditionLineNote(line, ChipDigitCount));
}

// ---- the host's aides -----------------------------------------------------------------

void TCodeGradeFrm::RzButton3Click() {
  if (!FHost) return;
  const std::string text = GetSettingsText();
  char* table = nullptr;
  const int32_t status = FHost->GetPairScoreTable(&table);
  // The text is ours to release, whatever the status said.
  const std::string tableText(CountedStrView(table));
  CountedStrRelease(table);
  if (!Succeeded(status)) {
    // Nothing was generated; the setting stays as it is.
    TShareFunc::ShowError(kTxtScoreTableFailed);
    return;
  }
  // Reloading the whole setting makes the new line the last condition and
  // keeps the tolerance as it was; the grid is not touched.
  LoadSettingsText(text + FilterType->Text() + ":" + tableText + ":" + cbxMin->Text() + "-" +
                   cbxMax->Text());
}

void TCodeGradeFrm::btnHisFltClick() {
  const std::string condition = CurrentCondition();
  if (condition.empty()) {
    TShareFunc::ShowWarning(kTxtSelectCondition);
    return;
  }
  if (!FHost) return;
  const std::string caption = Caption();
  // The host reports what it found, or why it could not look, itself. The
  // scores it asks for meanwhile follow the current condition at each call.
  FHost->ShowHistoryFilter(ScoreCallback(), caption.c_str(), condition.c_str());
}

int32_t TCodeGradeFrm::ScoreBet(const char* bet, int32_t* score) noexcept {
  if (!score) return kE_POINTER;
  *score = 0;
  try {
    TFilterCodeGrade parsed;
    // The bounds take no part in the score, but a line whose range does not
    // convert is no condition to score under.
    if (!TProGradeFilter::ParseCondition(CurrentCondition(), parsed)) return kE_FAIL;
    int64_t sum = 0;
    if (!TProGradeFilter::ScoreBet(bet ? bet : "", parsed, sum)) return kE_FAIL;
    if (sum > INT32_MAX) return kE_FAIL;
    *score = int32_t(sum);
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

void ShowCodeGradeSettings(TProGradeFilter& filter) {
  auto dialog = std::make_unique<TCodeGradeFrm>();
  dialog->LoadSettingsText(filter.FilterStr);
  dialog->SetHost(filter.IIWrapper.Get());
  dialog->ShowModal();
  if (!dialog->FCancelled) filter.FilterStr = dialog->GetSettingsText();
}

}  // namespace veltrin
