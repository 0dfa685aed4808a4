// TTwoGradeFrame (unit TwoCodeFrame): the score grid on which the user
// gives every two-digit code one score from 0 to 100.
//
// The hundred labels lblCode1..lblCode100 stand for the scores 1..100; the
// codes of score n are the hint of lblCode<n>, and a label holding codes is
// painted AssignedColor. The read-only box edtCode0 above them lists the
// codes of score 0. A click on a score label opens the two-code picker over
// the codes that are still free, so a code never belongs to two scores.
// The frame reads and writes its content as a score-table text:
// "0=00 01 02,1=12 21,2=,...,100=".
//
// Code texts are two-digit codes joined by single blanks ("01 05 99").
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "ui/controls.h"

namespace veltrin {

class TTwoGradeFrame : public ui::TFrame {
 public:
  static constexpr int kWidth = 242;
  static constexpr int kHeight = 296;
  // Help topic of the score labels.
  static constexpr int32_t kLabelHelp = 301;

  // Builds the frame into a panel named `name` at (left, top) inside the
  // control `parent` of `form` (the form itself when `parent` is empty).
  TTwoGradeFrame(ui::TForm& form, std::string name, std::string parent, int left, int top);
  ~TTwoGradeFrame() override;

  // The frame's window description.
  static ui::TDescTable Description();

  // Controls.
  ui::TEdit* edtCode0 = nullptr;
  ui::TLabel* lblCode1 = nullptr;  // the one label bound in the description

  // Fields.
  int32_t VisibleCount = 0;
  std::array<ui::TLabel*, 101> ScoreLabels{};  // [1..100]; filled by InitLabels
  ui::TColor AssignedColor = 0;
  ui::TColor NormalColor = 0;

  // Resets the grid: every code back to score 0, every score label empty.
  virtual void InitLabels();
  // Score labels 1..n visible, the others hidden.
  void SetVisibleCount(int32_t n);
  // The score-table text of the grid (101 groups with all labels visible).
  std::string GetGradeText() const;
  // Loads a score-table text. Raises EConvertError where a score or a code
  // is not integer text; groups naming no score 0..100, or whose codes are
  // not two-digit codes 00..99 joined by single blanks, are ignored.
  void SetGradeText(std::string_view text);
  // The codes of every score label that holds any, in label order.
  std::string GetAssignedCodes() const;

  // Click handler of all hundred score labels.
  void lblCode1Click(ui::TComponent& sender);

  // Runs after the user changed the grid through the picker.
  std::function<void()> OnGradeChange;
};

// The numbers first..last as two-digit codes ("08 09 10 11"); numbers of
// three digits stay as they are.
std::string CodeRangeText(int32_t first, int32_t last);
// The codes of `a` that are not in `b`, ascending.
std::string CodesMinus(std::string_view a, std::string_view b);
// The codes of `a` or `b`, ascending.
std::string CodesUnion(std::string_view a, std::string_view b);

}  // namespace veltrin
