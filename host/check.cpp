// veltrin-host check: one row per line of a setting, with what the library
// says about it: kind, mode, range, exact kept share over all candidates,
// history hits and every diagnostic in plain words.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "host/aide_support.h"
#include "host/check.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/format.h"
#include "host/history.h"
#include "host/insight.h"
#include "host/io.h"
#include "host/output.h"
#include "host/setting.h"

namespace veltrin::host {
namespace {

// `text` padded with blanks to `width` terminal columns: a character of
// three or more UTF-8 bytes (CJK) takes two.
std::string Pad(const std::string& text, size_t width) {
  size_t columns = 0;
  for (unsigned char c : text) {
    if (c < 0x80)
      columns += 1;
    else if (c >= 0xE0)
      columns += 2;
  }
  return columns >= width ? text + " " : text + std::string(width - columns, ' ');
}

std::string Range(const InsightLine& l) {
  if (l.Kind == "ignored" || (l.Kind == "condition" && l.Index < 0)) return "-";
  return std::to_string(l.Lower) + "-" + std::to_string(l.Upper);
}

void PrintText(std::FILE* out, const InsightResult& r, const DrawHistory& h) {
  std::fprintf(
      out, "%-5s %-10s %-8s %-13s %-34s %s\n", "line", "kind", "mode", "range",
      r.Digits > 0 ? ("kept of all " + std::to_string(r.Digits) + "-digit bets").c_str() : "kept",
      "history");
  for (const InsightLine& l : r.Lines) {
    std::string kept = "-";
    if (l.HasKept) kept = Percent(l.Share) + " (" + l.Kept + "/" + l.Total + ")";
    const std::string hits =
        l.HasHits ? std::to_string(l.Hits) + "/" + std::to_string(l.Draws) : "-";
    const std::string kind = l.Kind == "condition" && l.Index < 0 ? "INVALID" : l.Kind;
    const std::string row = Pad(std::to_string(l.Number), 6) + Pad(kind, 11) +
                            Pad(l.Kind == "condition" ? ModeWord(l) : "-", 9) + Pad(Range(l), 14) +
                            Pad(kept, 35) + hits;
    std::fprintf(out, "%s\n", row.c_str());
    for (const InsightDiag& d : l.Diags)
      std::fprintf(out, "      %s (%s): %s\n", d.Severity.c_str(), d.Field.c_str(),
                   GbkToUtf8(d.Message).c_str());
  }
  for (const InsightDiag& d : r.TextDiags)
    std::fprintf(out, "text: %s: %s\n", d.Severity.c_str(), GbkToUtf8(d.Message).c_str());
  for (const auto& d : r.HistoryDiags)
    std::fprintf(out, "history line %d: %s\n", int(d.first), GbkToUtf8(d.second).c_str());
  if (h.Skipped) std::fprintf(out, "history: %s\n", SkippedText(h).c_str());
  if (r.HasHistory)
    std::fprintf(out, "history: the whole setting keeps %lld of the latest %lld draws\n",
                 (long long)r.HistoryKept, (long long)r.HistoryDraws);
  if (r.HasSetting) {
    if (r.Exact)
      std::fprintf(out, "setting: keeps %s of %s candidates (%s, exact)\n", r.SettingKept.c_str(),
                   r.SettingOf.c_str(), Percent(r.SettingShare).c_str());
    else
      std::fprintf(out,
                   "setting: keeps about %s of the candidates (between %s at %s; estimated "
                   "from %s sampled candidates, seed %s)\n",
                   Percent(r.SettingShare).c_str(),
                   PercentBetween(r.SettingLo, r.SettingHi).c_str(),
                   Percent(r.SettingLevel).c_str(), r.SettingOf.c_str(), r.SettingSeed.c_str());
    // Candidates by number of failed conditions; counts of 0 left out.
    std::fprintf(out, r.Exact ? "failed conditions (count:candidates):"
                              : "failed conditions (count:sampled candidates):");
    for (size_t k = 0; k < r.Failures.size(); ++k)
      if (r.Failures[k] > 0) std::fprintf(out, " %zu:%.0f", k, r.Failures[k]);
    std::fprintf(out, "\n");
  }
}

void PrintJson(std::FILE* out, const InsightResult& r, const DrawHistory& h) {
  std::fprintf(out, "{\"format\":\"veltrin-check\",\"version\":1,\"valid\":%s,\"digits\":%d,",
               r.Valid ? "true" : "false", int(r.Digits));
  std::fprintf(out, "\"tolerance\":%s,\"lines\":[",
               r.Tolerance == "-" ? "null" : JsonString(r.Tolerance).c_str());
  for (size_t i = 0; i < r.Lines.size(); ++i) {
    const InsightLine& l = r.Lines[i];
    std::fprintf(out, "%s{\"number\":%d,\"kind\":%s,\"valid\":%s,\"text\":%s", i ? "," : "",
                 int(l.Number), JsonString(l.Kind).c_str(), l.Invalid() ? "false" : "true",
                 JsonString(GbkToUtf8(l.Text)).c_str());
    if (l.Kind == "condition" && l.Index >= 0)
      std::fprintf(out, ",\"mode\":%s,\"lower\":%lld,\"upper\":%lld",
                   JsonString(ModeWord(l)).c_str(), (long long)l.Lower, (long long)l.Upper);
    if (l.Kind == "tolerance")
      std::fprintf(out, ",\"lower\":%lld,\"upper\":%lld", (long long)l.Lower, (long long)l.Upper);
    if (l.HasKept)
      std::fprintf(out, ",\"kept\":%s,\"total\":%s,\"share\":%.9g,\"minScore\":%d,\"maxScore\":%d",
                   JsonString(l.Kept).c_str(), JsonString(l.Total).c_str(), l.Share,
                   int(l.MinScore), int(l.MaxScore));
    if (l.HasHits)
      std::fprintf(out, ",\"hits\":%lld,\"draws\":%lld", (long long)l.Hits, (long long)l.Draws);
    std::fprintf(out, ",\"diagnostics\":[");
    for (size_t k = 0; k < l.Diags.size(); ++k) {
      const InsightDiag& d = l.Diags[k];
      std::fprintf(out, "%s{\"severity\":%s,\"field\":%s,\"code\":%s,\"text\":%s,\"message\":%s}",
                   k ? "," : "", JsonString(d.Severity).c_str(), JsonString(d.Field).c_str(),
                   JsonString(d.Code).c_str(), JsonString(GbkToUtf8(d.Text)).c_str(),
                   JsonString(GbkToUtf8(d.Message)).c_str());
    }
    std::fprintf(out, "]}");
  }
  std::fprintf(out, "],\"textDiagnostics\":[");
  for (size_t k = 0; k < r.TextDiags.size(); ++k)
    std::fprintf(out, "%s{\"code\":%s,\"message\":%s}", k ? "," : "",
                 JsonString(r.TextDiags[k].Code).c_str(),
                 JsonString(GbkToUtf8(r.TextDiags[k].Message)).c_str());
  std::fprintf(out, "]");
  if (r.HasHistory)
    std::fprintf(out, ",\"history\":{\"draws\":%lld,\"kept\":%lld}", (long long)r.HistoryDraws,
                 (long long)r.HistoryKept);
  // Skipped history lines: the first few and the count, as the text says.
  std::fprintf(out, ",\"historySkipped\":{\"count\":%llu,\"first\":[",
               (unsigned long long)h.Skipped);
  for (size_t k = 0; k < h.FirstSkipped.size(); ++k)
    std::fprintf(out, "%s%s", k ? "," : "", JsonString(h.FirstSkipped[k]).c_str());
  std::fprintf(out, "]}");
  if (r.HasSetting) {
    std::fprintf(out, ",\"setting\":{\"exact\":%s,\"kept\":%s,\"of\":%s,\"share\":%.9g",
                 r.Exact ? "true" : "false", JsonString(r.SettingKept).c_str(),
                 JsonString(r.SettingOf).c_str(), r.SettingShare);
    if (!r.Exact)
      std::fprintf(out, ",\"bound99\":%.17g,\"lo\":%.17g,\"hi\":%.17g,\"level\":%.17g,\"seed\":%s",
                   r.SettingBound, r.SettingLo, r.SettingHi, r.SettingLevel, r.SettingSeed.c_str());
    std::fprintf(out, ",\"failures\":[");
    for (size_t k = 0; k < r.Failures.size(); ++k)
      std::fprintf(out, "%s%.0f", k ? "," : "", r.Failures[k]);
    std::fprintf(out, "]}");
  }
  std::fprintf(out, "}\n");
}

// Counts every candidate of `digits` through the library's filter object,
// with the progress line and a clean stop on a signal, and fills the
// setting's exact answer. False (reported) when the object cannot be had or
// prepared, or the run was interrupted (Interruption() then says by what).
bool CountExactSetting(const Options& o, const PluginExports& api, const std::string& text,
                       int32_t digits, InsightResult& r) {
  if (!api.VeltrinCreateFilter) {
    Error("--exact needs the library's filter objects (VeltrinCreateFilter)");
    return false;
  }
  // The conditions alone, as the tolerance aide hands them over; the
  // verdict rule comes from the tolerance the library read.
  SettingLines lines = SplitSetting(text);
  lines.Tolerance.clear();
  api.SetFilterStr(JoinSetting(lines).c_str());
  FilterHandle filter(api);
  if (!filter.get() || !filter.Slots().Prepare(filter.get())) {
    Error("--exact: the library could not prepare the setting");
    return false;
  }
  int64_t lo = 0, hi = 0;
  if (r.Tolerance != "-" && !r.Tolerance.empty()) {
    lo = std::strtoll(r.Tolerance.c_str(), nullptr, 10);
    hi = std::strtoll(r.Tolerance.c_str() + r.Tolerance.find('-', 1) + 1, nullptr, 10);
  }
  uint64_t total = 1;
  for (int32_t i = 0; i < digits; ++i) total *= 10;
  std::vector<uint64_t> fails(size_t(std::max(r.Conditions, 0)) + 1, 0);
  uint64_t kept = 0;
  char bet[16] = {};
  for (int32_t i = 0; i < digits; ++i) bet[i] = '0';
  const auto countFailed = filter.Slots().CountFailed;
  void* self = filter.get();
  CatchInterruptions();
  Progress progress(!o.Quiet && IsTerminal(stderr));
  uint64_t k = 0;
  for (; k < total; ++k) {
    if ((k & 0xFFF) == 0 && Interruption()) break;
    progress.Update(k, total);
    const int32_t failed = countFailed(self, bet);
    if (failed >= 0) {
      ++fails[std::min(size_t(failed), fails.size() - 1)];
      if (r.Tolerance == "-" ? failed == 0 : failed >= lo && failed <= hi) ++kept;
    }
    // The next bet: the decimal text counted up in place.
    int32_t i = digits - 1;
    while (i >= 0 && ++bet[i] > '9') bet[i--] = '0';
  }
  progress.Finish();
  if (const int signal = Interruption()) {
    Error("interrupted by " + SignalName(signal) + " after " + std::to_string(k) + " of " +
          std::to_string(total) + " candidates: nothing is reported");
    return false;
  }
  r.HasSetting = true;
  r.Exact = true;
  r.SettingKept = std::to_string(kept);
  r.SettingOf = std::to_string(total);
  r.SettingShare = double(kept) / double(total);
  r.SettingBound = 0;
  r.SettingLo = r.SettingHi = r.SettingShare;
  r.SettingLevel = 1;
  r.SettingSeed = "-";
  r.Failures.assign(fails.begin(), fails.end());
  return true;
}

}  // namespace

bool ExplainSetting(const Options& o, int32_t flags, InsightResult& r, std::string& source,
                    DrawHistory& history) {
  std::string text, error;
  if (!LoadSetting(o, text, source)) return false;
  // The one history reader: the library is handed the draws it read, one
  // "issue digits" line each, so that it sees what every command sees.
  int32_t digits = o.Digits;
  std::string historyText;
  history = DrawHistory{};
  if (!o.HistoryFile.empty()) {
    if (!LoadHistory(o.HistoryFile, o.DigitsGiven ? o.Digits : 0, history, error,
                     kMaxInsightDigits)) {
      Error("history " + error);
      return false;
    }
    digits = history.DigitCount;
    if (o.Exact && digits > kMaxExactDigits) {
      Error("--exact counts bets of at most " + std::to_string(kMaxExactDigits) +
            " digits; the history's draws have " + std::to_string(digits));
      return false;
    }
    for (const Draw& d : history.Draws)
      historyText += (d.Issue.empty() ? "" : d.Issue + " ") + d.Digits + "\n";
  }
  PluginLibrary library;
  if (!library.Load(o.LibraryPath.empty() ? DefaultLibraryPath() : o.LibraryPath, error)) {
    Error(error);
    return false;
  }
  // Every candidate counted by the host through the filter object, so that
  // the count shows its progress and stops cleanly; the library answers the
  // rest.
  const bool exact = o.Exact && (flags & kExplainSetting);
  if (exact) flags &= ~kExplainSetting;
  if (!Explain(library.Exports(), text, digits, historyText, o.Last, flags, r, error)) {
    Error(error);
    return false;
  }
  if (exact && r.Valid && digits > 0 && !CountExactSetting(o, library.Exports(), text, digits, r))
    return false;
  AddHostDiagnostics(r);
  return true;
}

bool ExactDigitsAllowed(const Options& o) {
  if (!o.Exact || !o.DigitsGiven || o.Digits <= kMaxExactDigits) return true;
  Error("--exact counts bets of at most " + std::to_string(kMaxExactDigits) + " digits, not " +
        std::to_string(o.Digits) + " (without it, larger settings are estimated)");
  return false;
}

int RunCheck(const Options& o) {
  if (!ExactDigitsAllowed(o)) return kExitUsage;
  InsightResult r;
  DrawHistory history;
  std::string source;
  if (!ExplainSetting(o, kExplainSetting, r, source, history))
    return Interruption() ? InterruptedStatus(Interruption()) : kExitFailed;
  SetBinaryMode(stdout);
  if (o.OutFormat == Format::Json)
    PrintJson(stdout, r, history);
  else
    PrintText(stdout, r, history);
  if (!FinishStandardOutput()) return kExitFailed;
  if (const InsightDiag* bad = r.FirstInvalid()) {
    Error("the setting from " + source + " is not valid: " +
          (bad->Line > 0 ? "line " + std::to_string(bad->Line) : std::string("the text")) + ", " +
          bad->Field + ": " + GbkToUtf8(bad->Message));
    return kExitFailed;
  }
  return kExitOk;
}

}  // namespace veltrin::host
