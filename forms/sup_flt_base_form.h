// TfrmSupFltBase (unit SupFltBaseForm): the settings dialog of a filter whose
// condition is a list of condition lines. On the first page it adds the list
// (FList, the model of its lines, shown by lstFilter with its items on
// demand and several selectable), the buttons that add, replace and delete
// lines, the list's popup menu with the bulk operations and the text import,
// the batch filter aide and the tolerance aide, which both call the host,
// and the popup menu of the simulated run's result list.
//
// What a line means is the derived dialog's business: BuildCondition turns
// its editor into a line, ShowCondition a line back into its editor, and
// CreateFilter gives the filter objects the aides and the simulated run work
// on. The base's condition text, settings files and simulated run reach the
// list through GetConditionsText and SetConditionsText.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/string_list.h"
#include "forms/condition_list.h"
#include "forms/flt_base_form.h"

namespace veltrin {

class TfrmSupFltBase : public TfrmFltBase {
 public:
  explicit TfrmSupFltBase(std::string name = "frmSupFltBase");
  ~TfrmSupFltBase() override;

  // ---- operations of TfrmFltBase --------------------------------------------------
  // Every line followed by CR LF; empty for an empty list.
  std::string GetConditionsText() override;
  // Lines separated by CR, LF, CR LF or ";" replace the list; no line is
  // current afterwards.
  void SetConditionsText(std::string_view text) override;

  // ---- operations introduced here, in slot order ----------------------------------
  // Shows one condition line in the derived dialog's editor.
  virtual void ShowCondition(const std::string& line) = 0;
  // The line the derived dialog's editor describes; empty when there is none.
  virtual std::string BuildCondition() = 0;
  // Appends the lines of a text file the user picks (empty lines included,
  // nothing checked). A file that cannot be read is reported and changes
  // nothing.
  virtual void ImportConditions();

  // Resynchronises the list box and the position label with FConditions;
  // `index` >= 0 (and inside the list) becomes the current item.
  void RefreshList(int32_t index);
  // The current item's line when some line is selected, otherwise the
  // editor's line.
  std::string CurrentCondition();
  // Sets the leading "K" or "D" of every selected line that begins with one.
  void SetKeepRemove(bool keep);
  // The sample bets the host hands the batch aide (its recent draws), asked
  // for once; false when there is no host or it fails.
  bool FetchSampleBets(std::vector<std::string>& bets);

  // ---- event handlers, as the window description binds them ----------------------
  void lstFilterClick();
  void lstFilterDblClick();
  std::string lstFilterData(int32_t index) const;
  // What the list shows for line `index` (the line itself here); a derived
  // dialog may put what tells its lines apart first. The stored line stays
  // as it is.
  virtual std::string ConditionLineLabel(int32_t index) const;
  // What the list shows whole for line `index` (the item under the mouse,
  // or the current one) where the list is too narrow for it: the line, and
  // whatever a derived dialog knows of it.
  virtual std::string ConditionLineInfo(int32_t index) const;
  void btnAddClick();
  void btnReplaceClick();
  void btnDeleteClick();
  void btnDeleteAllClick();
  void btnBatFltAideClick();
  void RzButton2Click();
  void AClick();
  void BClick();
  void DClick();
  void EClick();
  void GClick();
  void IClick();
  void JClick();
  void mnuCopyResultClick();
  void mnuSaveResultClick();
  void mnuClearResultClick();

  // ---- fields -----------------------------------------------------------------------
  // The condition lines, in order; the list box shows one item per line.
  TConditionList FList;
  // FList's lines as the boundary's list object (owned by FList); the batch
  // aide rewrites its lines in place.
  TStringList* FConditions = nullptr;

  // ---- controls ---------------------------------------------------------------------
  ui::TButton* btnAdd = nullptr;
  ui::TButton* btnReplace = nullptr;
  ui::TButton* btnDelete = nullptr;
  ui::TButton* btnDeleteAll = nullptr;
  ui::TButton* btnHisFlt = nullptr;
  ui::TButton* RzButton2 = nullptr;
  ui::TPanel* RzPanel4 = nullptr;
  ui::TListBox* lstFilter = nullptr;
  ui::TPanel* LittlePanel = nullptr;
  ui::TLabel* lblFltCountInfo = nullptr;
  ui::TButton* btnBatFltAide = nullptr;
  ui::TLabel* lblInfo = nullptr;
  ui::TPopupMenu* PopFilter = nullptr;
  ui::TMenuItem* A = nullptr;
  ui::TMenuItem* B = nullptr;
  ui::TMenuItem* C = nullptr;
  ui::TMenuItem* D = nullptr;
  ui::TMenuItem* E = nullptr;
  ui::TMenuItem* F = nullptr;
  ui::TMenuItem* G = nullptr;
  ui::TMenuItem* H = nullptr;
  ui::TMenuItem* I = nullptr;
  ui::TMenuItem* J = nullptr;
  ui::TPopupMenu* popValidateResult = nullptr;
  ui::TMenuItem* mnuCopyResult = nullptr;
  ui::TMenuItem* mnuSaveResult = nullptr;
  ui::TMenuItem* N3 = nullptr;
  ui::TMenuItem* mnuClearResult = nullptr;

  // This dialog's own window description, built after TfrmFltBase's.
  static ui::TDescTable Description();

 private:
  void FormCreate();
  void FormDestroy();
  // Shows the current item's position and the number of lines.
  void UpdateCountInfo();
  // Deselects every item (the flags stay by position when lines go away, so
  // they would land on other lines).
  void ClearSelection();
  // Appends a line and makes it current.
  void AppendCurrent(const std::string& line);
  int32_t LineCount() const { return FList.Count(); }
  // The items selected in the list box, in order.
  std::vector<int32_t> SelectedItems() const;
};

}  // namespace veltrin
