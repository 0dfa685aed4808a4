// TfrmSelectTwo (unit SelectTwoForm): the modal picker "选择二码" that shows
// the hundred two-digit codes as a grid of clickable labels.
//
// A code is selected while its label is painted SelectedColor, and can be
// chosen only while its label is enabled. Use: create, InitLabels,
// SetAvailable, SetSelected, ShowModal, and GetSelected after OK.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "forms/base_form.h"

namespace veltrin {

class TfrmSelectTwo : public TfrmBase {
 public:
  // Help topic of the code labels.
  static constexpr int32_t kLabelHelp = 301;

  TfrmSelectTwo();
  ~TfrmSelectTwo() override;

  // The picker's own window description (built after TfrmBase's).
  static ui::TDescTable Description();

  // Controls; the other code labels are found by name ("lblCode37").
  ui::TLabel* lblCode1 = nullptr;    // the one label bound in the description
  ui::TButton* RzBitBtn1 = nullptr;  // OK
  ui::TButton* RzBitBtn2 = nullptr;  // Cancel

  // Fields.
  ui::TColor SelectedColor = 0;
  ui::TColor NormalColor = 0;
  std::array<ui::TLabel*, 100> CodeLabels{};  // entry c: the label of code c
  int32_t MaxSelect = 0;

  // Binds the code labels and makes all hundred visible and unselected;
  // the caller runs it right after creating the picker.
  virtual void InitLabels();
  // Code labels 0..n-1 visible, the others hidden.
  void SetVisibleCount(int32_t n);
  void EnableAll(bool flag);
  // Enables or disables the label of a code 0..99; other numbers are ignored.
  void EnableCode(int32_t code, bool flag);
  // With flag true only the codes of `text` can be chosen, with flag false
  // all others. Raises EConvertError for a pair that is not integer text.
  void SetAvailable(std::string_view text, bool flag);
  // Selects the available codes of `text`, read as pairs of its digits
  // whatever stands between them ("12 21", "1221", "12,21"). True.
  bool SetSelected(std::string_view text);
  // The selected codes, ascending ("00" first).
  std::string GetSelected() const;
  int32_t SelectedCount() const;

  static std::string DigitsOnly(std::string_view text);
  static bool IsValidCode(int32_t code);

  // Click handler of all code labels: toggles the code, at most MaxSelect.
  void lblCode1Click(ui::TComponent& sender);

 private:
  // A label that exists, is visible and enabled, and is selected.
  bool Counts(const ui::TLabel* label) const;
};

}  // namespace veltrin
