// TfrmFltBase: the generic settings dialog of a filter. It owns what every
// filter's settings share: the tolerance range and its switch, the condition
// text in and out (GetSettingsText / LoadSettingsText), filter settings
// files (".flt", one key per dialog caption in section "过滤"), help, OK and
// Close, the low-high text another window may send by WM_COPYDATA, and the
// simulated-run page (tab hidden until a dialog shows it).
//
// A derived dialog fills the first page (tabFilter) and supplies
// GetConditionsText, SetConditionsText and CreateFilter.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/interfaces.h"
#include "filter/filter_base.h"
#include "forms/file_base_form.h"

namespace veltrin {

// Releases a filter object through its own Free slot.
struct TFilterFree {
  void operator()(TFilter* filter) const noexcept {
    if (filter) filter->Free();
  }
};
using TFilterPtr = std::unique_ptr<TFilter, TFilterFree>;

class TfrmFltBase : public TfrmFileBase {
 public:
  explicit TfrmFltBase(std::string name = "frmFltBase");
  ~TfrmFltBase() override;

  // ---- operations ---------------------------------------------------------------
  // True when max >= min; otherwise false, with a warning when `warn` is set.
  virtual bool CheckRange(int32_t min, int32_t max, bool warn);
  // The derived dialog's condition lines as one text.
  virtual std::string GetConditionsText() = 0;
  // Replaces the derived dialog's condition lines.
  virtual void SetConditionsText(std::string_view text) = 0;
  // A new, unprepared filter of the dialog's type, owned by the caller
  // (release it with Free, e.g. through TFilterPtr); none here.
  virtual TFilter* CreateFilter();
  // Loads a whole condition text (lines separated by CR LF or ";"): the
  // tolerance lines at its front into the tolerance controls, the rest into
  // the condition lines. A blank text changes nothing.
  virtual void LoadSettingsText(std::string_view text);
  // The whole condition text: the tolerance line (when switched on), then
  // the condition lines.
  virtual std::string GetSettingsText();
  // True when every tolerance box that is switched on holds digits only,
  // within its range, and each low bound is not above its high one;
  // otherwise false after a warning that says what is allowed. OK and Save
  // go no further on false.
  bool ToleranceValid();
  // A tolerance box's number when its text is digits within its range.
  static std::optional<int32_t> ToleranceValue(const ui::TSpinEdit& box);
  // The box's number for the condition text: its value, or the nearest the
  // box allows (its low end for a text that is no number).
  static std::string ToleranceField(const ui::TSpinEdit& box);

  // Holds a counted reference to the host interface; null is ignored.
  void SetHost(ICallWrapper* host);
  ICallWrapper* Host() const { return FHost; }

  // The value of key `key` in section "过滤" of a file the user picks;
  // empty when cancelled or missing. A file that cannot be read raises an
  // error naming it.
  std::string LoadFltFile(std::string_view key);
  // Writes key `key` = `text` into section "过滤" of a file the user picks,
  // keeping the file's other keys and sections. True when written; a file
  // that cannot be written is reported and gives false.
  bool SaveFltFile(std::string_view key, std::string_view text);

  // ---- event handlers, as the window description binds them --------------------
  virtual void FormShow();
  void chkCanErrClick();
  void Label6Click();
  void btnSaveClick();
  void btnLoadClick();
  virtual void btnOKClick();
  void btnCloseClick();
  void btnHelpClick(ui::TComponent& sender);
  // WM_COPYDATA: a "low-high" text for the tolerance boxes.
  intptr_t CopyDataReceived(const void* data, size_t size);
  void btnFltValidateClick();
  void edtAChipKeyPress(wchar_t& key);
  void RzButton1Click();

  // ---- fields -----------------------------------------------------------------
  ICallWrapper* FHost = nullptr;
  std::string FToleranceText;
  // The help page shipped beside the host program, opened when the host's
  // help file is not there.
  std::string FHelpPage;
  bool FCancelled = true;

  // ---- controls ---------------------------------------------------------------
  ui::TPageControl* pageFlt = nullptr;
  ui::TTabSheet* tabFilter = nullptr;
  ui::TTabSheet* tabFltValidate = nullptr;
  ui::TPanel* Panel1 = nullptr;
  ui::TCheckBox* chkCanErr = nullptr;
  ui::TSpinEdit* edtCanErr1 = nullptr;
  ui::TLabel* Label6 = nullptr;
  ui::TSpinEdit* edtCanErr2 = nullptr;
  ui::TButton* btnSave = nullptr;
  ui::TButton* btnLoad = nullptr;
  ui::TButton* btnOK = nullptr;
  ui::TButton* btnClose = nullptr;
  ui::TButton* btnHelp = nullptr;
  ui::TCheckBox* chkCanSupErr = nullptr;
  ui::TSpinEdit* edtCanSupErr1 = nullptr;
  ui::TLabel* lblSupErr = nullptr;
  ui::TSpinEdit* edtCanSupErr2 = nullptr;
  // The simulated-run page.
  ui::TLabel* Label411 = nullptr;
  ui::TEdit* edtAChip = nullptr;
  ui::TButton* btnFltValidate = nullptr;
  ui::TButton* RzButton1 = nullptr;
  ui::TPanel* Panel311 = nullptr;
  ui::TListBox* lstFltValidate = nullptr;
  ui::TLabel* Label511 = nullptr;
  ui::TLabel* lblFltTimes = nullptr;
  ui::TLabel* Label811 = nullptr;
  ui::TLabel* lblCanErr = nullptr;
  ui::TLabel* Label1011 = nullptr;
  ui::TLabel* lblFltResult = nullptr;

  // The window description of this dialog (derived dialogs build theirs
  // after it).
  static ui::TDescTable Description();

 private:
  void FormCreate();
};

}  // namespace veltrin
