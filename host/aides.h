// The two aides the settings dialog asks the host for:
//
// - the history check of one condition: every draw of the history is scored
//   through the dialog's IScoreCallback; the report says how many draws fall
//   inside the condition's range and how their scores are distributed;
// - the tolerance aide: every draw runs through the CountFailed slot of a
//   filter object the dialog prepared; the report shows how many conditions
//   the draws fail and proposes a tolerance range, which is also sent to the
//   dialog as the copy-data text "low-high".
//
// What is computed is kept apart from how a report is shown, so that tests
// and scripted runs read reports instead of clicking message boxes. All
// report texts are GBK: they quote the dialog's condition and caption.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "common/interfaces.h"
#include "common/records.h"
#include "host/history.h"

namespace veltrin::host {

// How many draws had each value (a score, a failing count), by value.
using Distribution = std::map<int32_t, uint64_t>;

// "value: draws" entries, several to a line, each line indented by two
// blanks. With many distinct values, equal-width buckets "low..high: draws"
// (only the non-empty ones) keep the text to a few lines.
std::string FormatDistribution(const Distribution& counts);

struct ScoreRange {
  int32_t Lower = 0;
  int32_t Upper = 0;
};
// The range of a condition line: the text after its second ":", lower "-"
// upper, both integer texts; nothing when either bound is not one.
std::optional<ScoreRange> ConditionRange(std::string_view condition);

struct HistoryCheck {
  uint64_t Draws = 0;     // draws of the history
  uint64_t Unscored = 0;  // draws whose ScoreBet failed
  Distribution Scores;    // score -> draws, of the scored draws
  std::optional<ScoreRange> Range;
  uint64_t Inside = 0, Below = 0, Above = 0;  // scored draws, by the range
};
// Scores every draw through `callback`, once each, in history order.
HistoryCheck RunHistoryCheck(IScoreCallback& callback, const DrawHistory& history,
                             std::string_view condition);
std::string HistoryCheckReport(const HistoryCheck& check, std::string_view condition);

// The proposed tolerance: the narrowest range of failing counts from 0 that
// keeps at least keepShare/10000 of the evaluated draws (at least one
// draw). It starts at 0: a lower bound above 0 removes the bets that pass
// every condition.
struct ToleranceProposal {
  int32_t Low = 0;
  int32_t High = 0;
  uint64_t Kept = 0;
  std::string Text() const { return std::to_string(Low) + "-" + std::to_string(High); }
};
std::optional<ToleranceProposal> ProposeTolerance(const Distribution& failing, int64_t keepShare);

struct ToleranceCheck {
  uint64_t Draws = 0;    // draws of the history
  uint64_t Invalid = 0;  // draws CountFailed answered -1 (or less) for
  Distribution Failing;  // failing conditions -> draws
  std::optional<ToleranceProposal> Proposal;
};
// Counts the failing conditions of every draw through the object's
// CountFailed slot. The object is not released here.
ToleranceCheck RunToleranceCheck(const TFilterObject& filter, const DrawHistory& history,
                                 int64_t keepShare);

// Whether the proposal reached the dialog.
// Printed: the report is the answer itself (the command line).
enum class Delivery { Sent, NoWindow, NoWindowSystem, Printed };
std::string ToleranceReport(const ToleranceCheck& check, int64_t keepShare, Delivery delivery,
                            std::string_view caption);

// Sends `text` to the dialog captioned `caption` (GBK) as a copy-data
// message (the zero byte included). The dialog is looked for among the
// windows of the calling thread, the active one first, then among all
// top-level windows. Natively there are no windows: NoWindowSystem.
Delivery SendToleranceText(std::string_view caption, const std::string& text);

// Shows an aide's report; caption and text are GBK. May throw.
using AideReporter = std::function<void(std::string_view caption, std::string_view text)>;
// A message box owned by the active window on Windows; standard error
// natively.
void ShowAideReport(std::string_view caption, std::string_view text);
// Standard error, as UTF-8, on every platform (scripted runs).
void PrintAideReport(std::string_view caption, std::string_view text);

}  // namespace veltrin::host
