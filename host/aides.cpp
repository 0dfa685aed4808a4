#include "host/aides.h"

#include <cstdio>
#include <utility>
#include <vector>

#include "common/text.h"
#include "host/encoding.h"

#if defined(_WIN32)
#include <windows.h>
#endif

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

// A share as a percentage with up to one decimal ("90", "84.7").
std::string Percent(double share) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", share * 100.0);
  std::string s = buf;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  return s + "%";
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
  const std::vector<std::pair<int32_t, uint64_t>> v(failing.begin(), failing.end());
  uint64_t total = 0;
  for (const auto& entry : v) total += entry.second;
  if (total == 0) return std::nullopt;
  keepShare = keepShare < 0 ? 0 : keepShare > 10000 ? 10000 : keepShare;
  uint64_t need = (total * uint64_t(keepShare) + 9999) / 10000;
  if (need == 0) need = 1;

  // For each lowest value the shortest window from it that keeps enough.
  std::optional<ToleranceProposal> best;
  int64_t bestWidth = 0;
  uint64_t sum = 0;
  size_t end = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    while (end < v.size() && sum < need) sum += v[end++].second;
    if (sum < need) break;
    const int64_t width = int64_t(v[end - 1].first) - v[i].first;
    if (!best || width < bestWidth || (width == bestWidth && sum > best->Kept)) {
      best = ToleranceProposal{v[i].first, v[end - 1].first, sum};
      bestWidth = width;
    }
    sum -= v[i].second;
  }
  return best;
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

#if defined(_WIN32)

namespace {

bool HasCaption(HWND window, const std::wstring& caption) {
  const int n = GetWindowTextLengthW(window);
  if (n != int(caption.size())) return false;
  std::wstring text(size_t(n) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(window, text.data(), n + 1)));
  return text == caption;
}

struct WindowSearch {
  const std::wstring* caption;
  HWND found;
};

BOOL CALLBACK FindInThread(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  if (!HasCaption(window, *search->caption)) return TRUE;
  search->found = window;
  return FALSE;
}

// The dialog runs modally on this thread and is normally the active
// window; another instance elsewhere is the last resort.
HWND FindDialog(const std::wstring& caption) {
  HWND active = GetActiveWindow();
  if (active && HasCaption(active, caption)) return active;
  WindowSearch search{&caption, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), &FindInThread, LPARAM(&search));
  if (search.found) return search.found;
  return FindWindowW(nullptr, caption.c_str());
}

}  // namespace

Delivery SendToleranceText(std::string_view caption, const std::string& text) {
  // Without a caption any untitled window would match.
  if (caption.empty()) return Delivery::NoWindow;
  HWND dialog = FindDialog(GbkToWide(caption));
  if (!dialog) return Delivery::NoWindow;
  COPYDATASTRUCT data{};
  data.dwData = 0;
  data.cbData = DWORD(text.size() + 1);
  data.lpData = const_cast<char*>(text.c_str());
  SendMessageW(dialog, WM_COPYDATA, 0, LPARAM(&data));
  return Delivery::Sent;
}

void ShowAideReport(std::string_view caption, std::string_view text) {
  const std::wstring title = caption.empty() ? std::wstring(L"veltrin-host") : GbkToWide(caption);
  // Owned by the dialog that asked, so that it stays modal over it.
  MessageBoxW(GetActiveWindow(), GbkToWide(text).c_str(), title.c_str(),
              MB_OK | MB_ICONINFORMATION);
}

#else

Delivery SendToleranceText(std::string_view, const std::string&) {
  return Delivery::NoWindowSystem;
}

void ShowAideReport(std::string_view caption, std::string_view text) {
  PrintAideReport(caption, text);
}

#endif

void PrintAideReport(std::string_view caption, std::string_view text) {
  std::fprintf(stderr, "veltrin-host: [%s]\n%s\n", GbkToUtf8(caption).c_str(),
               GbkToUtf8(text).c_str());
  std::fflush(stderr);
}

}  // namespace veltrin::host
