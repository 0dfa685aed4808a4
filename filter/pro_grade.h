// TProGradeFilter: the pair-score filter. A condition line is
//   mode ":" score table ":" lower "-" upper
// A bet yields one two-digit code per pair of adjacent digits; its score
// under a condition is the sum of its codes' scores (the first table group
// that holds a code gives its score); the condition fails when the score
// lies outside lower..upper.
//
// Prepare compiles every condition into a direct code-to-score lookup, so
// evaluating a bet reads it once, computes its codes once and allocates
// nothing.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "filter/condition_mode.h"
#include "filter/filter_sup.h"

namespace veltrin {

// One group of a score table: a score and the codes (0..103) that earn it.
struct TCodeGradeItem {
  uint8_t Score = 0;
  std::array<uint8_t, 13> Codes{};  // bit k set: code k belongs
  bool Has(unsigned code) const { return code < 104 && (Codes[code >> 3] >> (code & 7)) & 1; }
  void Add(unsigned code) {
    if (code < 104) Codes[code >> 3] |= uint8_t(1u << (code & 7));
  }
};
using TArrCodeGrade = std::vector<TCodeGradeItem>;

// One parsed condition line.
struct TFilterCodeGrade {
  TArrCodeGrade Table;
  int32_t Lower = 0;
  int32_t Upper = 0;
  int32_t Mode = kModeUnknown;
};

// A condition compiled for evaluation: the score of every code 0..99 under
// the first-group rule. A mode that yields no codes compiles to all zeros,
// which scores every bet 0 as such a condition must; an empty range is kept
// as it is and fails every score.
struct TCompiledCondition {
  std::array<uint8_t, 100> Score{};
  int32_t Lower = 0;
  int32_t Upper = 0;
  bool Passes(int64_t score) const { return score >= Lower && score <= Upper; }
};

// Compiles a parsed condition.
TCompiledCondition CompileCondition(const TFilterCodeGrade& condition);

// Prepared conditions laid out for scoring several at once (pro_grade_kernels.h).
struct TConditionBlock;

class TProGradeFilter : public TSupFilter {
 public:
  static TProGradeFilter* New() { return new TProGradeFilter(); }
  ~TProGradeFilter() override;

  int32_t VELTRIN_API CountFailed(const char* bet) noexcept override;
  int32_t VELTRIN_API DebugConditions(const char* bet, bool showAll,
                                      TDebugResult* result) noexcept override;
  bool VELTRIN_API ShowSettings() noexcept override;
  bool VELTRIN_API Prepare() noexcept override;
  int32_t VELTRIN_API BatchAide(IStringList* conditions, TBatFltSet* data) noexcept override;
  TFilter* VELTRIN_API Create() noexcept override;
  int32_t CountFailedUpTo(const char* bet, int32_t limit) noexcept override;

  // The id of the mode a word names (condition_mode.h): "直选" gives 1,
  // "组选" 2, anything else 0 (byte for byte, no trimming).
  static int32_t ParseSelectMode(std::string_view mode);
  // A mode that takes codes: `codes` becomes the bet's codes; other modes:
  // `codes` is left as it is. False when the bet holds a character other
  // than a digit.
  static bool BetToCodes(std::string_view bet, int32_t mode, std::vector<uint8_t>& codes);
  // False on a conversion error; `table` then holds the groups read so far.
  static bool ParseGradeTable(std::string_view text, TArrCodeGrade& table);
  // The sum of the codes' scores under the first-group rule.
  static int64_t ScoreCodes(const std::vector<uint8_t>& codes, const TArrCodeGrade& table);
  // Parses one condition line; false on a conversion error.
  static bool ParseCondition(std::string_view line, TFilterCodeGrade& out);
  // The score of `bet` under one parsed condition (a non-straight mode
  // scores over no codes). False when the bet is not a digit text.
  static bool ScoreBet(std::string_view bet, const TFilterCodeGrade& condition, int64_t& score);

  // The prepared conditions; condition i belongs to line i of ConditionList.
  const std::vector<TCompiledCondition>& Conditions() const { return conditions_; }
  // Their lane layout (pro_grade_kernels.h); empty without vector instructions.
  const std::vector<TConditionBlock>& Blocks() const { return blocks_; }

 protected:
  TProGradeFilter();

 private:
  // The failing count of a bet too long for the unrolled kernels.
  int32_t CountLongBet(const char* bet, int32_t limit) noexcept;
  template <class Sum>
  int32_t CountOverCodes(int32_t limit) const noexcept;

  std::vector<TCompiledCondition> conditions_;
  // The same conditions in blocks of lanes, where the build has vector
  // instructions; empty otherwise.
  std::vector<TConditionBlock> blocks_;
  // Scratch for the codes of bets too long for the unrolled kernels: grows
  // to the longest bet seen, so that evaluating bets of one lottery
  // allocates nothing.
  std::vector<uint8_t> codes_;
};

// Opens the pair-score settings dialog over `filter` (loaded with its
// FilterStr, given its host) and, on OK, stores the dialog's text in
// FilterStr. Installed by the library where dialogs exist; without it
// ShowSettings changes nothing.
using SettingsDialogFn = void (*)(TProGradeFilter& filter);
void SetSettingsDialog(SettingsDialogFn fn);

}  // namespace veltrin
