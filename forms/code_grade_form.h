// TCodeGradeFrm (unit SZCCodeGradeFrame): the settings dialog of the
// pair-score filter. To the condition list of TfrmSupFltBase it adds the
// editor of one condition: the selection-mode box, the score grid and the
// range of allowed score sums, written as the line
//   mode ":" score table ":" lower "-" upper
// It also lets the host generate a condition from its own data ("条件生成")
// and run a history check of one condition ("过滤助手"), during which the
// host scores single bets through the dialog's IScoreCallback.
//
// Use: create, LoadSettingsText, SetHost, set ChipDigitCount, ShowModal;
// after OK (FCancelled false) GetSettingsText is the new condition text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "common/interfaces.h"
#include "filter/pro_grade.h"
#include "forms/score_picture.h"
#include "forms/sup_flt_base_form.h"
#include "forms/two_code_frame.h"

namespace veltrin {

class TCodeGradeFrm : public TfrmSupFltBase {
 public:
  // The help topic of btnHelp.
  static constexpr int32_t kHelpNumber = 1019;

  TCodeGradeFrm();
  ~TCodeGradeFrm() override;

  // ---- operations of the dialog bases -------------------------------------------
  // A new TProGradeFilter, owned by the caller.
  TFilter* CreateFilter() override;
  // Sets the editor from one condition line as far as the line matches: an
  // unknown mode empties the mode box, a bound not in its list leaves its
  // box without a selection. A score table the grid cannot read raises
  // EConvertError after the mode is shown; the range stays as it was.
  void ShowCondition(const std::string& line) override;
  // The editor's line; never empty (at least "::-").
  std::string BuildCondition() override;

  // ---- event handlers -------------------------------------------------------------
  // Fills both range lists from ChipDigitCount, selects "2" and "48" where
  // listed, and resets the grid.
  void FormShow() override;
  // The host's history check of the current condition.
  void btnHisFltClick();
  // Appends the condition the host generates from its own data.
  void RzButton3Click();
  // The editor changed: the picture follows its line.
  void EditorChange();
  // Asks the host once for its recent draws and marks them.
  void btnPicDrawsClick();
  // A list item: the line's range, kept share and warning mark before it.
  std::string ConditionLineLabel(int32_t index) const override;
  // The hint over a line: its kept share and warnings, then the line in rows.
  std::string ConditionLineInfo(int32_t index) const override;

  // ---- the distribution page ------------------------------------------------------
  // Draws `line`'s picture; the draws fetched last are marked on it.
  void ShowPicture(const std::string& line);
  const TScorePicture& Picture() const { return picture_; }

  // ---- the callback the host scores bets through ------------------------------------
  // Valid while the dialog lives; its reference counting does not keep the
  // dialog alive.
  IScoreCallback* ScoreCallback();
  // The score of `bet` under the current condition, taken at each call.
  // kE_FAIL (and *score 0) when the condition or the bet cannot be scored;
  // kE_POINTER when `score` is null. Never throws.
  int32_t ScoreBet(const char* bet, int32_t* score) noexcept;

  // ---- controls, in the order the dialog declares them ------------------------------
  ui::TLabel* Label8 = nullptr;
  ui::TLabel* Label20 = nullptr;
  ui::TLabel* Label9 = nullptr;
  ui::TComboBox* cbxMax = nullptr;
  ui::TComboBox* cbxMin = nullptr;
  std::unique_ptr<TTwoGradeFrame> TwoGradeFrame1;
  ui::TComboBox* FilterType = nullptr;
  ui::TButton* RzButton3 = nullptr;
  // The distribution page.
  ui::TTabSheet* tabPicture = nullptr;
  ui::TChart* chtScores = nullptr;
  ui::TLabel* lblPicKept = nullptr;
  ui::TLabel* lblPicScores = nullptr;
  ui::TLabel* lblPicWarnings = nullptr;
  ui::TButton* btnPicDraws = nullptr;
  ui::TLabel* lblPicHits = nullptr;

  // This dialog's own window description (the grid frame has its own).
  static ui::TDescTable Description();

 private:
  class TScoreCallback;
  // Fills cbxMin and cbxMax with "0" .. (ChipDigitCount - 1) x 100.
  void FillRangeLists();

  std::unique_ptr<TScoreCallback> callback_;
  TScorePicture picture_;
  std::vector<std::string> draws_;
  bool drawsFetched_ = false;
  // Set while a list line is loaded into the editor: the picture shows that
  // line, not the editor's half-loaded state.
  bool loadingLine_ = false;
};

// The pair-score filter's open operation (install it with
// SetSettingsDialog): the dialog loaded with `filter`'s condition text and
// given its host, shown modally; OK replaces the filter's condition text by
// the dialog's, Cancel keeps it.
void ShowCodeGradeSettings(TProGradeFilter& filter);

}  // namespace veltrin
