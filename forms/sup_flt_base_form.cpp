#include "forms/sup_flt_base_form.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/lottery.h"
#include "common/records.h"
#include "common/text.h"
#include "common/texts.h"
#include "filter/filter_sup.h"
#include "forms/file_access.h"
#include "forms/share_func.h"
#include "ui/services.h"

namespace veltrin {

using ui::TDesc;
using ui::TKind;

namespace {

constexpr char kResultExtension[] = "txt";
// The position label is read, not decoration: dark gray (0x555555) keeps
// about 7:1 against the light faces it stands on, where gray kept 3.5:1.
constexpr ui::TColor kCountInfoColor = 0x555555u;

// The two batch records of one request to the host and the list the request
// carries. Whatever the host put into them, and whether or not its call
// succeeded, every text and array of both records goes back exactly once; of
// the list objects only the dialog's own is released, never the one the host
// put into the result.
struct TBatchExchange {
  TStringList* List = TStringList::Create();
  TBatFltSet Request{};
  TBatFltSet Result{};

  TBatchExchange() { Request.BetTexts = List; }
  ~TBatchExchange() {
    ReleaseBatFltSet(Request);
    ReleaseBatFltSet(Result);
    List->Release();
  }
  TBatchExchange(const TBatchExchange&) = delete;
  TBatchExchange& operator=(const TBatchExchange&) = delete;
};

}  // namespace

ui::TDescTable TfrmSupFltBase::Description() {
  using namespace ui;
  return {
      // The column of buttons between the derived dialog's editor (left)
      // and the list (right).
      TDesc(TKind::Button, "btnAdd", "tabFilter", kTxtAdd).At(254, 64, 62, 22),
      TDesc(TKind::Button, "btnReplace", "tabFilter", kTxtReplace)
          .At(254, 88, 62, 22)
          .Set(kDisabled),
      TDesc(TKind::Button, "btnDelete", "tabFilter", kTxtDelete).At(254, 112, 62, 22),
      TDesc(TKind::Button, "btnDeleteAll", "tabFilter", kTxtDeleteAll).At(254, 136, 62, 22),
      TDesc(TKind::Button, "btnHisFlt", "tabFilter", kTxtHistoryAide)
          .At(254, 184, 62, 22)
          .Set(kHidden),
      TDesc(TKind::Button, "RzButton2", "tabFilter", kTxtToleranceAide)
          .At(254, 208, 62, 22)
          .Set(kHidden),

      // The list with its strip underneath; the list takes what the strip
      // leaves. The strip has two rows: the position label needs the whole
      // width for three-digit counts ("999/999") in a SimSun-wide font.
      TDesc(TKind::Panel, "RzPanel4", "tabFilter", "").At(320, 6, 217, 334),
      TDesc(TKind::Panel, "LittlePanel", "RzPanel4", "").At(0, 300, 217, 34).Set(kAlignBottom),
      TDesc(TKind::ListBox, "lstFilter", "RzPanel4", "")
          .At(0, 0, 217, 300)
          .Set(kAlignClient | kBorder | kMultiSelect | kVirtual)
          .Items(12),
      TDesc(TKind::Label, "lblFltCountInfo", "LittlePanel", kTxtCountInfoEmpty)
          .At(2, 2, 213, 13)
          .Colors(clDefault, kCountInfoColor),
      TDesc(TKind::Button, "btnBatFltAide", "LittlePanel", kTxtBatchAide)
          .At(131, 17, 86, 17)
          .Set(kFlat | kHandCursor)
          .Colors(clDefault, clNavy),
      TDesc(TKind::Label, "lblInfo", "tabFilter", kTxtListNote)
          .At(320, 346, 217, 14)
          .Colors(clDefault, clMaroon),

      TDesc(TKind::PopupMenu, "PopFilter", "", ""),
      TDesc(TKind::MenuItem, "A", "PopFilter", kTxtSelectAll),
      TDesc(TKind::MenuItem, "B", "PopFilter", kTxtSelectNone),
      TDesc(TKind::MenuItem, "C", "PopFilter", "-"),
      TDesc(TKind::MenuItem, "D", "PopFilter", kTxtSetRemove),
      TDesc(TKind::MenuItem, "E", "PopFilter", kTxtSetKeep),
      TDesc(TKind::MenuItem, "F", "PopFilter", "-"),
      TDesc(TKind::MenuItem, "G", "PopFilter", kTxtTextImport),
      TDesc(TKind::MenuItem, "H", "PopFilter", "-"),
      TDesc(TKind::MenuItem, "I", "PopFilter", kTxtHistoryAide),
      TDesc(TKind::MenuItem, "J", "PopFilter", kTxtToleranceAide),

      TDesc(TKind::PopupMenu, "popValidateResult", "", ""),
      TDesc(TKind::MenuItem, "mnuCopyResult", "popValidateResult", kTxtCopyResult),
      TDesc(TKind::MenuItem, "mnuSaveResult", "popValidateResult", kTxtSaveResult),
      TDesc(TKind::MenuItem, "N3", "popValidateResult", "-"),
      TDesc(TKind::MenuItem, "mnuClearResult", "popValidateResult", kTxtClearResult),
  };
}

TfrmSupFltBase::TfrmSupFltBase(std::string name) : TfrmFltBase(std::move(name)) {
  // The list needs the room the condition-list dialogs are laid out for
  // (x 320, 217 wide); set before building, so everything sits as described.
  SetClientSize(544, 433);
  Build(Description());

  Bind(btnAdd, "btnAdd").OnClick = ui::Handler(this, &TfrmSupFltBase::btnAddClick);
  Bind(btnReplace, "btnReplace").OnClick = ui::Handler(this, &TfrmSupFltBase::btnReplaceClick);
  Bind(btnDelete, "btnDelete").OnClick = ui::Handler(this, &TfrmSupFltBase::btnDeleteClick);
  Bind(btnDeleteAll, "btnDeleteAll").OnClick =
      ui::Handler(this, &TfrmSupFltBase::btnDeleteAllClick);
  Bind(btnHisFlt, "btnHisFlt");
  Bind(RzButton2, "RzButton2").OnClick = ui::Handler(this, &TfrmSupFltBase::RzButton2Click);
  Bind(RzPanel4, "RzPanel4");
  Bind(lstFilter, "lstFilter").OnClick = ui::Handler(this, &TfrmSupFltBase::lstFilterClick);
  Bind(LittlePanel, "LittlePanel");
  Bind(lblFltCountInfo, "lblFltCountInfo");
  Bind(btnBatFltAide, "btnBatFltAide").OnClick =
      ui::Handler(this, &TfrmSupFltBase::btnBatFltAideClick);
  Bind(lblInfo, "lblInfo");
  Bind(PopFilter, "PopFilter");
  Bind(A, "A").OnClick = ui::Handler(this, &TfrmSupFltBase::AClick);
  Bind(B, "B").OnClick = ui::Handler(this, &TfrmSupFltBase::BClick);
  Bind(C, "C");
  Bind(D, "D").OnClick = ui::Handler(this, &TfrmSupFltBase::DClick);
  Bind(E, "E").OnClick = ui::Handler(this, &TfrmSupFltBase::EClick);
  Bind(F, "F");
  Bind(G, "G").OnClick = ui::Handler(this, &TfrmSupFltBase::GClick);
  Bind(H, "H");
  Bind(I, "I").OnClick = ui::Handler(this, &TfrmSupFltBase::IClick);
  Bind(J, "J").OnClick = ui::Handler(this, &TfrmSupFltBase::JClick);
  Bind(popValidateResult, "popValidateResult");
  Bind(mnuCopyResult, "mnuCopyResult").OnClick =
      ui::Handler(this, &TfrmSupFltBase::mnuCopyResultClick);
  Bind(mnuSaveResult, "mnuSaveResult").OnClick =
      ui::Handler(this, &TfrmSupFltBase::mnuSaveResultClick);
  Bind(N3, "N3");
  Bind(mnuClearResult, "mnuClearResult").OnClick =
      ui::Handler(this, &TfrmSupFltBase::mnuClearResultClick);

  lstFilter->SetPopupMenu(PopFilter);
  SetActiveControl(lstFilter);
  lstFltValidate->SetPopupMenu(popValidateResult);

  lstFilter->OnDblClick = ui::Handler(this, &TfrmSupFltBase::lstFilterDblClick);
  lstFilter->OnData = ui::Handler(this, &TfrmSupFltBase::lstFilterData);
  lstFilter->OnItemHint = [this](ui::TListBox&, int32_t index) { return ConditionLineInfo(index); };
  lstFilter->SetShowHint(true);

  FormCreate();
}

TfrmSupFltBase::~TfrmSupFltBase() { FormDestroy(); }

void TfrmSupFltBase::FormCreate() {
  FConditions = FList.Strings();
  RefreshList(-1);
}

void TfrmSupFltBase::FormDestroy() {
  // The list box may ask for items until the window is gone.
  lstFilter->OnData = nullptr;
  lstFilter->OnItemHint = nullptr;
  FConditions = nullptr;
}

// ---- condition text ---------------------------------------------------------------

std::string TfrmSupFltBase::GetConditionsText() { return FList.Text(); }

void TfrmSupFltBase::SetConditionsText(std::string_view text) {
  FList.SetText(text);
  // New lines: nothing of the old selection or position applies to them.
  ClearSelection();
  lstFilter->SetItemIndex(-1);
  RefreshList(-1);
  btnReplace->SetEnabled(false);
}

// ---- list display -----------------------------------------------------------------

void TfrmSupFltBase::RefreshList(int32_t index) {
  const int32_t count = LineCount();
  lstFilter->SetCount(count);
  if (count == 0)
    lstFilter->SetItemIndex(-1);
  else if (index >= 0 && index < count)
    lstFilter->SetItemIndex(index);
  lstFilter->Repaint();
  UpdateCountInfo();
}

void TfrmSupFltBase::UpdateCountInfo() {
  const int32_t current = lstFilter->ItemIndex();
  char text[96];
  std::snprintf(text, sizeof text, kTxtCountInfoFmt, current >= 0 ? current + 1 : 0, LineCount());
  lblFltCountInfo->SetCaption(text);
}

void TfrmSupFltBase::ClearSelection() {
  for (int32_t i = 0, n = lstFilter->Count(); i < n; ++i) lstFilter->SetSelected(i, false);
}

std::vector<int32_t> TfrmSupFltBase::SelectedItems() const {
  std::vector<int32_t> selected;
  for (int32_t i = 0, n = lstFilter->Count(); i < n; ++i)
    if (lstFilter->Selected(i)) selected.push_back(i);
  return selected;
}

std::string TfrmSupFltBase::lstFilterData(int32_t index) const {
  if (!FConditions) return {};
  return ConditionLineLabel(index);
}

std::string TfrmSupFltBase::ConditionLineLabel(int32_t index) const { return FList.Line(index); }

std::string TfrmSupFltBase::ConditionLineInfo(int32_t index) const { return FList.Line(index); }

std::string TfrmSupFltBase::CurrentCondition() {
  const int32_t current = lstFilter->ItemIndex();
  // Lines selected without a current item (after "select all", say) leave
  // the editor's line as the one meant.
  if (lstFilter->SelCount() > 0 && current >= 0 && current < LineCount())
    return FList.Line(current);
  return BuildCondition();
}

// ---- list operations --------------------------------------------------------------

void TfrmSupFltBase::lstFilterClick() {
  const int32_t current = lstFilter->ItemIndex();
  btnReplace->SetEnabled(current >= 0);
  UpdateCountInfo();
  if (current >= 0 && current < LineCount()) ShowCondition(FList.Line(current));
}

void TfrmSupFltBase::lstFilterDblClick() { btnDeleteClick(); }

void TfrmSupFltBase::AppendCurrent(const std::string& line) { RefreshList(FList.Append(line)); }

void TfrmSupFltBase::btnAddClick() {
  const std::string line = BuildCondition();
  if (!line.empty()) {
    if (FList.Contains(line)) {
      // Only a Yes adds an equal line again; the replace button then keeps
      // its state, as it always has on this path.
      if (TShareFunc::AskQuestion(kTxtConditionExists, ui::TMsgButtons::YesNo, this) != ui::mrYes)
        return;
      AppendCurrent(line);
      return;
    }
    AppendCurrent(line);
  }
  btnReplace->SetEnabled(lstFilter->ItemIndex() >= 0);
}

void TfrmSupFltBase::btnReplaceClick() {
  const std::string line = BuildCondition();
  if (line.empty()) return;
  const int32_t current = lstFilter->ItemIndex();
  if (current < 0 || current >= LineCount()) {
    AppendCurrent(line);
    btnReplace->SetEnabled(lstFilter->ItemIndex() >= 0);
    return;
  }
  FList.Replace(current, line);
  lstFilter->Repaint();
}

void TfrmSupFltBase::btnDeleteClick() {
  const int32_t current = FList.Delete(SelectedItems(), lstFilter->ItemIndex());
  ClearSelection();
  RefreshList(-1);
  const int32_t count = LineCount();
  if (current >= 0 || count == 0) lstFilter->SetItemIndex(current);
  lstFilterClick();
  btnReplace->SetEnabled(count > 0 && lstFilter->ItemIndex() >= 0);
}

void TfrmSupFltBase::btnDeleteAllClick() {
  FList.Clear();
  RefreshList(-1);
  btnReplace->SetEnabled(false);
}

void TfrmSupFltBase::AClick() {
  for (int32_t i = 0, n = lstFilter->Count(); i < n; ++i) lstFilter->SetSelected(i, true);
}

void TfrmSupFltBase::BClick() {
  for (int32_t i = 0, n = lstFilter->Count(); i < n; ++i) lstFilter->SetSelected(i, false);
}

void TfrmSupFltBase::SetKeepRemove(bool keep) {
  FList.SetKeepRemove(SelectedItems(), keep);
  RefreshList(-1);
}

void TfrmSupFltBase::DClick() { SetKeepRemove(false); }

void TfrmSupFltBase::EClick() { SetKeepRemove(true); }

void TfrmSupFltBase::ImportConditions() {
  const std::string path = PickOpenFile(kTxtImportFileFilter, "");
  if (path.empty()) return;
  std::optional<std::string> data = ReadWholeFile(path);
  if (!data) {
    TShareFunc::ShowError(std::string(kTxtImportFailed) + path);
    return;
  }
  FList.AppendText(*data);
  RefreshList(-1);
}

void TfrmSupFltBase::GClick() { ImportConditions(); }

void TfrmSupFltBase::IClick() { btnHisFlt->Click(); }

void TfrmSupFltBase::JClick() {
  // Found by its caption, so that a derived dialog's own tolerance button
  // would be found the same way; hidden buttons count too.
  for (ui::TComponent* c : Components()) {
    auto* button = dynamic_cast<ui::TButton*>(c);
    if (button && button->Caption() == kTxtToleranceAide) {
      button->Click();
      return;
    }
  }
}

// ---- aides ------------------------------------------------------------------------------

void TfrmSupFltBase::btnBatFltAideClick() {
  if (FList.Count() == 0) {
    TShareFunc::ShowWarning(kTxtConditionsEmpty);
    return;
  }
  if (!FHost) return;
  TBatchExchange exchange;
  // A host that fails ends the aide without a word.
  if (!Succeeded(FHost->GetBatchAideData(&exchange.Request, &exchange.Result))) return;
  TFilterPtr filter(CreateFilter());
  if (!filter) return;
  int32_t updated = 0;
  {
    ui::TWaitCursor wait;
    updated = FList.RunBatchAide(*filter, &exchange.Result);
  }
  filter.reset();
  if (updated <= 0) return;
  RefreshList(0);
  TShareFunc::ShowInfo(std::string(kTxtBatchDoneHead) + std::to_string(updated) +
                       kTxtBatchDoneTail);
}

bool TfrmSupFltBase::FetchSampleBets(std::vector<std::string>& bets) {
  bets.clear();
  if (!FHost) return false;
  TBatchExchange exchange;
  if (!Succeeded(FHost->GetBatchAideData(&exchange.Request, &exchange.Result))) return false;
  IStringList* list = exchange.Result.BetTexts;
  int32_t count = 0;
  if (!list || !Succeeded(list->Count(&count))) return false;
  // A host's history is a few thousand draws; a count beyond any history
  // is not read to its end.
  constexpr int32_t kMostDraws = 100000;
  for (int32_t k = 0; k < std::min(count, kMostDraws); ++k) {
    const char* bet = nullptr;
    if (Succeeded(list->Get(k, &bet)) && bet) bets.emplace_back(bet);
  }
  return true;
}

void TfrmSupFltBase::RzButton2Click() {
  TFilterPtr filter(CreateFilter());
  if (!filter) return;
  // The condition lines alone: the aide itself proposes the tolerance.
  filter->FilterStr = GetConditionsText();
  // Nobody to hand it to: `filter` releases it.
  if (!filter->PrepareRun() || !FHost) return;
  const std::string caption = Caption();
  // From here on the object is the host's, which releases it with Free.
  FHost->ShowToleranceAide(filter.release(), caption.c_str(), 0);
}

// ---- result list of the simulated run ---------------------------------------------------

void TfrmSupFltBase::mnuCopyResultClick() {
  std::string text;
  for (const std::string& line : lstFltValidate->AllItems()) text += line + "\r\n";
  if (!ui::SetClipboardText(text, this)) TShareFunc::ShowError(kTxtClipboardFailed);
}

void TfrmSupFltBase::mnuSaveResultClick() {
  const std::string path = PickSaveFile(kTxtResultFileFilter, UserDir,
                                        Caption() + kTxtResultFileSuffix, kResultExtension);
  if (path.empty()) return;
  std::string text;
  for (const std::string& line : lstFltValidate->AllItems()) text += line + "\r\n";
  if (!WriteWholeFile(path, text))
    TShareFunc::ShowError(std::string(kTxtSaveFailed) + "\r\n" + path);
}

void TfrmSupFltBase::mnuClearResultClick() { lstFltValidate->ClearItems(); }

}  // namespace veltrin
