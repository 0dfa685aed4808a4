#include "host/aides.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "common/text.h"
#include "host/encoding.h"
#include "host/format.h"

namespace veltrin::host {
namespace {

// Beyond this many distinct values a distribution is shown in buckets.
constexpr size_t kMaxSingleValues = 32;
constexpr int64_t kMaxBuckets = 16;
constexpr size_t kEntriesPerLine = 8;

int64_t FloorTo(int64_t v, int64_t width) {
  return (v >= 0 ? v / width : -((-v + width - 1) / width)) * width;
}

// The smallest round bucket width (1, 2, 5, 10, 20, 50, ...) that covers
// lo..hi in at most kMaxBuckets buckets aligned to multiples of the width.
int64_t BucketWidth(int64_t lo, int64_t hi) {
  for (int64_t base = 1;; base *= 10)
    for (int64_t m : {1, 2, 5}) {
      const int64_t w = base * m;
      if ((FloorTo(hi, w) - FloorTo(lo, w)) / w + 1 <= kMaxBuckets) return w;
    }
}

std::string Count(uint64_t n) { return std::to_string(n); }

}  // namespace

std::string FormatDistribution(const Distribution& counts) {
  std::vector<std::pair<std::string, uint64_t>> entries;
  if (counts.size() <= kMaxSingleValues) {
    for (const auto& [value, n] : counts) entries.emplace_back(std::to_string(value), n);
  } else {
    const int64_t width = BucketWidth(counts.begin()->first, counts.rbegin()->first);
    int64_t start = FloorTo(counts.begin()->first, width);
    uint64_t sum = 0;
    auto flush = [&] {
      if (sum)
        entries.emplace_back(std::to_string(start) + ".." + std::to_string(start + width - 1), sum);
      sum = 0;
    };
    for (const auto& [value, n] : counts) {
      const int64_t bucket = FloorTo(value, width);
      if (bucket != start) {
        flush();
        start = bucket;
      }
      sum += n;
    }
    flush();
  }
  std::string out;
  for (size_t i = 0; i < entries.size(); ++i) {
    out += i % kEntriesPerLine == 0 ? (i ? "\n  " : "  ") : "   ";
    out += entries[i].first + ": " + Count(entries[i].second);
  }
  return out;
}

std::optional<ScoreRange> ConditionRange(std::string_view condition) {
  // The same fields the dialog's ScoreBet reads: after the second ":".
  const std::string_view range = TextAfter(TextAfter(condition, ':'), ':');
  const std::optional<int32_t> lower = IntText(TextBefore(range, '-'));
  const std::optional<int32_t> upper = IntText(TextAfter(range, '-'));
  if (!lower || !upper) return std::nullopt;
  return ScoreRange{*lower, *upper};
}

HistoryCheck RunHistoryCheck(IScoreCallback& callback, const DrawHistory& history,
                             std::string_view condition) {
  HistoryCheck check;
  check.Range = ConditionRange(condition);
  for (const Draw& draw : history.Draws) {
    ++check.Draws;
    int32_t score = 0;
    if (!Succeeded(callback.ScoreBet(draw.Digits.c_str(), &score))) {
      ++check.Unscored;
      continue;
    }
    ++check.Scores[score];
    if (!check.Range) continue;
    if (score < check.Range->Lower)
      ++check.Below;
    else if (score > check.Range->Upper)
      ++check.Above;
    else
      ++check.Inside;
  }
  return check;
}

std::string HistoryCheckReport(const HistoryCheck& c, std::string_view condition) {
  const uint64_t scored = c.Draws - c.Unscored;
  std::string r = "History check of the condition\n  ";
  r.append(condition);
  r += "\n" + Count(c.Draws) + " draws: " + Count(scored) + " scored";
  if (c.Unscored) r += ", " + Count(c.Unscored) + " could not be scored";
  r += "\n";
  if (!c.Range) {
    r += "The condition has no range (lower-upper after its second ':'): no draw counts as "
         "inside.\n";
  } else {
    r += "Inside the range " + std::to_string(c.Range->Lower) + "-" +
         std::to_string(c.Range->Upper) + ": " + Count(c.Inside) + " of " + Count(scored) +
         " draws";
    if (scored) r += " (" + Percent(double(c.Inside) / double(scored)) + ")";
    r += "; below: " + Count(c.Below) + ", above: " + Count(c.Above) + "\n";
  }
  if (c.Scores.empty())
    r += "No draw could be scored.";
  else
    r += "Scores (score: draws):\n" + FormatDistribution(c.Scores);
  return r;
}

std::optional<ToleranceProposal> ProposeTolerance(const Distribution& failing, int64_t keepShare) {
  uint64_t total = 0;
  for (const auto& entry : failing) total += entry.second;
  if (total == 0) return std::nullopt;
  keepShare = keepShare < 0 ? 0 : keepShare > 10000 ? 10000 : keepShare;
  uint64_t need = (total * uint64_t(keepShare) + 9999) / 10000;
  if (need == 0) need = 1;
  // From 0 up: a lower bound above 0 would remove the bets that pass every
  // condition, which no filter means to do.
  uint64_t sum = 0;
  for (const auto& [value, draws] : failing) {
    sum += draws;
    if (sum >= need) return ToleranceProposal{0, value < 0 ? 0 : value, sum};
  }
  return ToleranceProposal{0, failing.rbegin()->first, sum};
}

ToleranceCheck RunToleranceCheck(const TFilterObject& filter, const DrawHistory& history,
                                 int64_t keepShare) {
  ToleranceCheck check;
  void* self = const_cast<TFilterObject*>(&filter);
  for (const Draw& draw : history.Draws) {
    ++check.Draws;
    const int32_t failed = filter.Slots->CountFailed(self, draw.Digits.c_str());
    if (failed < 0)
      ++check.Invalid;
    else
      ++check.Failing[failed];
  }
  check.Proposal = ProposeTolerance(check.Failing, keepShare);
  return check;
}

std::string ToleranceReport(const ToleranceCheck& c, int64_t keepShare, Delivery delivery,
                            std::string_view caption) {
  const uint64_t evaluated = c.Draws - c.Invalid;
  std::string r = "Tolerance aide over " + Count(c.Draws) + " draws";
  if (c.Invalid) r += ", " + Count(c.Invalid) + " could not be evaluated";
  r += "\n";
  if (!c.Failing.empty())
    r += "Failing conditions (failed: draws):\n" + FormatDistribution(c.Failing) + "\n";
  if (!c.Proposal) return r + "No proposal: no draw could be evaluated.";
  r += "Proposed tolerance " + c.Proposal->Text() + ": keeps " + Count(c.Proposal->Kept) + " of " +
       Count(evaluated) + " draws (" + Percent(double(c.Proposal->Kept) / double(evaluated)) +
       "; at least " + Percent(double(keepShare) / 10000.0) + " asked)\n";
  switch (delivery) {
    case Delivery::Sent:
      r += "Sent to the dialog.";
      break;
    case Delivery::NoWindow:
      r += "No window captioned \"";
      r.append(caption);
      r += "\" was found; the proposal was not sent.";
      break;
    case Delivery::NoWindowSystem:
      r += "This build has no windows; the proposal was not sent.";
      break;
    case Delivery::Printed:
      r.pop_back();  // the line end: the caller prints the proposal next
      break;
  }
  return r;
}

Delivery SendToleranceText(std::string_view caption, const std::string& text) {
  switch (port::SendCopyData(caption, text)) {
    case port::SendResult::Sent:
      return Delivery::Sent;
    case port::SendResult::NoWindow:
      return Delivery::NoWindow;
    case port::SendResult::NoWindowSystem:
      break;
  }
  return Delivery::NoWindowSystem;
}

void ShowAideReport(std::string_view caption, std::string_view text) {
  if (!port::ShowMessage(caption, text)) PrintAideReport(caption, text);
}

void PrintAideReport(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "veltrin-host: [%s]\n%s\n", GbkToUtf8(caption).c_str(),
               GbkToUtf8(text).c_str());
  std::fflush(stderr);
}

}  // namespace veltrin::host
