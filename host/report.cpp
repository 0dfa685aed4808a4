// veltrin-host report: what check says, as one self-contained HTML page:
// per condition the score histogram of all candidates with the range
// shaded and the history draws marked; for the whole setting the kept count
// and the histogram of failed conditions. Inline SVG and CSS only: no
// scripts, nothing fetched.
#include <algorithm>
#include <cstdio>
#include <memory>

#include "host/check.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/format.h"
#include "host/insight.h"
#include "host/output.h"
#include "host/setting.h"

namespace veltrin::host {
namespace {

std::string Html(std::string_view utf8) { return HtmlText(utf8); }

std::string Num(double v, const char* format = "%.1f") {
  char buf[48];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

// Chart geometry, in SVG units.
constexpr double kWidth = 720, kHeight = 200;
constexpr double kLeft = 56, kRight = 12, kTop = 12, kBottom = 46;
constexpr double kPlotW = kWidth - kLeft - kRight, kPlotH = kHeight - kTop - kBottom;
// Beyond this many scores, neighbouring scores share a bar.
constexpr int32_t kMaxBars = 240;

// A bar chart of `values` by integer x from 0..n-1, the bars from `lo` to
// `hi` (an x range) in the kept colour over a shaded band; `marks` (x,
// count) drawn as a strip of red ticks under the axis.
std::string BarChart(const std::vector<double>& values, int64_t lo, int64_t hi,
                     const std::vector<std::pair<int32_t, int32_t>>& marks, const char* xLabel,
                     const char* yLabel, bool percentOfTotal) {
  const int32_t n = int32_t(values.size());
  const int32_t bin = std::max<int32_t>(1, (n + kMaxBars - 1) / kMaxBars);
  const int32_t bars = (n + bin - 1) / bin;
  std::vector<double> binned(size_t(bars), 0);
  double total = 0;
  for (int32_t x = 0; x < n; ++x) {
    binned[size_t(x / bin)] += values[size_t(x)];
    total += values[size_t(x)];
  }
  double top = 0;
  for (double v : binned) top = std::max(top, v);
  if (top <= 0) top = 1;
  const double bw = kPlotW / bars;
  auto xOf = [&](double x) { return kLeft + x / bin * bw; };
  std::string s = "<svg class=\"chart\" xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
                  Num(kWidth, "%.0f") + " " + Num(kHeight, "%.0f") + "\" width=\"" +
                  Num(kWidth, "%.0f") + "\" height=\"" + Num(kHeight, "%.0f") + "\">";
  // The kept band.
  const double bandLo = std::max<double>(0, double(lo)),
               bandHi = std::min<double>(n, double(hi) + 1);
  if (bandHi > bandLo)
    s += "<rect class=\"band\" x=\"" + Num(xOf(bandLo)) + "\" y=\"" + Num(kTop) + "\" width=\"" +
         Num(xOf(bandHi) - xOf(bandLo)) + "\" height=\"" + Num(kPlotH) + "\"/>";
  for (int32_t b = 0; b < bars; ++b) {
    if (binned[size_t(b)] <= 0) continue;
    const double h = std::max(1.0, binned[size_t(b)] / top * kPlotH);
    const int64_t first = int64_t(b) * bin, last = first + bin - 1;
    const bool kept = last >= lo && first <= hi;
    s += "<rect class=\"" + std::string(kept ? "kept" : "out") + "\" x=\"" + Num(kLeft + b * bw) +
         "\" y=\"" + Num(kTop + kPlotH - h) + "\" width=\"" + Num(std::max(0.6, bw - 0.6)) +
         "\" height=\"" + Num(h) + "\"/>";
  }
  // Axes and labels.
  s += "<line class=\"axis\" x1=\"" + Num(kLeft) + "\" y1=\"" + Num(kTop + kPlotH) + "\" x2=\"" +
       Num(kLeft + kPlotW) + "\" y2=\"" + Num(kTop + kPlotH) + "\"/>";
  s += "<line class=\"axis\" x1=\"" + Num(kLeft) + "\" y1=\"" + Num(kTop) + "\" x2=\"" +
       Num(kLeft) + "\" y2=\"" + Num(kTop + kPlotH) + "\"/>";
  const std::string topLabel =
      percentOfTotal && total > 0 ? Percent(top / total) : Num(top, "%.0f");
  s += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(kTop + 8) + "\" class=\"yl\">" +
       Html(topLabel) + "</text>";
  s += "<text x=\"" + Num(kLeft - 4) + "\" y=\"" + Num(kTop + kPlotH) + "\" class=\"yl\">0</text>";
  s += "<text x=\"12\" y=\"" + Num(kTop + kPlotH / 2) +
       "\" class=\"yt\" transform=\"rotate(-90 12 " + Num(kTop + kPlotH / 2) + ")\">" +
       Html(yLabel) + "</text>";
  std::vector<int64_t> ticks = {0, n - 1};
  if (bandHi > bandLo) {
    ticks.push_back(int64_t(bandLo));
    ticks.push_back(int64_t(bandHi) - 1);
  }
  std::sort(ticks.begin(), ticks.end());
  ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
  // Every bar gets its number when there is room for all of them.
  if (kPlotW / bars >= 28)
    for (int32_t b = 0; b < bars; ++b) ticks.push_back(int64_t(b) * bin);
  std::sort(ticks.begin(), ticks.end());
  ticks.erase(std::unique(ticks.begin(), ticks.end()), ticks.end());
  double lastX = -100;
  for (int64_t t : ticks) {
    const double x = xOf(double(t) + 0.5 * bin);
    if (x - lastX < 28) continue;  // no overlapping labels
    lastX = x;
    s += "<text x=\"" + Num(x) + "\" y=\"" + Num(kTop + kPlotH + 14) + "\" class=\"xl\">" +
         std::to_string(t) + "</text>";
  }
  s += "<text x=\"" + Num(kLeft + kPlotW / 2) + "\" y=\"" + Num(kHeight - 4) + "\" class=\"xt\">" +
       Html(xLabel) + "</text>";
  // History draws: one tick per score reached, taller for more draws.
  int32_t most = 1;
  for (const auto& m : marks) most = std::max(most, m.second);
  for (const auto& m : marks) {
    const double x = xOf(std::min<double>(m.first, n - 1) + 0.5 * bin);
    const double h = 4 + 10.0 * m.second / most;
    s += "<rect class=\"draw\" x=\"" + Num(x - 1.5) + "\" y=\"" + Num(kTop + kPlotH + 18) +
         "\" width=\"3\" height=\"" + Num(h) + "\"><title>" + std::to_string(m.second) +
         " draw(s) at " + std::to_string(m.first) + "</title></rect>";
  }
  return s + "</svg>";
}

const char* kStyle =
    "body{font-family:'WenQuanYi Micro Hei',sans-serif;margin:24px;color:#222;background:#fff}"
    "h1{font-size:22px}h2{font-size:17px;margin:0 0 6px}"
    ".card{border:1px solid #ccc;border-radius:6px;padding:12px 16px;margin:14px 0;max-width:760px}"
    ".bad{border-color:#c33;background:#fff4f4}"
    "code{background:#f3f3f3;padding:1px 4px;word-break:break-all;white-space:pre-wrap}"
    ".facts span{margin-right:18px}.facts b{font-size:15px}"
    ".diag{margin:4px 0}.invalid{color:#b00}.warning{color:#8a5a00}"
    ".chart .band{fill:#dff3df}.chart .kept{fill:#2e8b57}.chart .out{fill:#9aa4ad}"
    ".chart .draw{fill:#d03030}.chart .axis{stroke:#444;stroke-width:1}"
    ".chart text{font-size:11px;fill:#333}.chart .yl{text-anchor:end}.chart .xl{text-anchor:middle}"
    ".chart .xt{text-anchor:middle}.chart .yt{text-anchor:middle}"
    ".legend span{margin-right:14px;font-size:12px}.sw{display:inline-block;width:10px;height:10px;"
    "margin-right:4px}";

std::string Legend() {
  return "<div class=\"legend\"><span><i class=\"sw\" style=\"background:#2e8b57\"></i>kept by the "
         "range</span><span><i class=\"sw\" "
         "style=\"background:#9aa4ad\"></i>removed</span><span><i "
         "class=\"sw\" style=\"background:#dff3df\"></i>range</span><span><i class=\"sw\" "
         "style=\"background:#d03030\"></i>history draws</span></div>";
}

std::string Diagnostics(const std::vector<InsightDiag>& diags) {
  std::string s;
  for (const InsightDiag& d : diags)
    s += "<div class=\"diag " + Html(d.Severity) + "\">" + Html(d.Severity) + " (" + Html(d.Field) +
         "): " + Html(GbkToUtf8(d.Message)) + "</div>";
  return s;
}

std::string ConditionCard(const InsightResult& r, const InsightLine& l) {
  std::string s = "<div class=\"card" + std::string(l.Invalid() ? " bad" : "") + "\">";
  s += "<h2>Line " + std::to_string(l.Number) + " &middot; " + Html(l.Kind) + "</h2>";
  s += "<div><code>" + Html(GbkToUtf8(l.Text)) + "</code></div>";
  if (l.Kind == "condition" && l.Index >= 0) {
    s += "<p class=\"facts\"><span>mode <b>" + Html(ModeWord(l)) + "</b></span><span>range <b>" +
         std::to_string(l.Lower) + "-" + std::to_string(l.Upper) + "</b></span>";
    if (l.HasKept)
      s += "<span>keeps <b>" + Percent(l.Share) + "</b> of all " + std::to_string(r.Digits) +
           "-digit bets (" + Html(l.Kept) + " of " + Html(l.Total) + ")</span>";
    if (l.HasHits)
      s += "<span>history hits <b>" + std::to_string(l.Hits) + "/" + std::to_string(l.Draws) +
           "</b>" +
           (l.Draws > 0 ? " (" + Percent(double(l.Hits) / double(l.Draws)) + ")" : std::string()) +
           "</span>";
    s += "</p>";
    if (!l.Dist.empty()) {
      // At least ten scores wide, so that one score is not one wall of colour.
      std::vector<double> values(size_t(std::max(l.MaxScore, 9)) + 1, 0);
      for (const auto& p : l.Dist)
        if (p.first >= 0 && p.first <= l.MaxScore) values[size_t(p.first)] = p.second;
      std::vector<std::pair<int32_t, int32_t>> marks;
      std::vector<int32_t> scores = l.DrawScores;
      std::sort(scores.begin(), scores.end());
      for (int32_t v : scores) {
        if (!marks.empty() && marks.back().first == v)
          ++marks.back().second;
        else
          marks.emplace_back(v, 1);
      }
      s += BarChart(values, l.Lower, l.Upper, marks, "score", "share of all bets", true);
    }
  }
  s += Diagnostics(l.Diags);
  return s + "</div>";
}

std::string Page(const InsightResult& r, const std::string& source, const DrawHistory& history) {
  std::string s =
      "<!DOCTYPE html><html lang=\"zh\"><head><meta charset=\"utf-8\">"
      "<title>Veltrin condition report</title><style>" +
      std::string(kStyle) + "</style></head><body>";
  s += "<h1>Veltrin condition report</h1>";
  s += "<p>Setting <code>" + Html(source) + "</code> &middot; " + std::to_string(r.Digits) +
       "-digit bets &middot; " + std::to_string(r.Conditions) +
       " valid condition(s) &middot; tolerance " +
       (r.Tolerance == "-" ? std::string("none") : Html(r.Tolerance)) + " &middot; " +
       (r.Valid ? "valid" : "<b class=\"invalid\">not valid</b>") + "</p>";
  s += "<div class=\"card\" id=\"setting\"><h2>Whole setting</h2>";
  if (r.HasSetting) {
    s += "<p class=\"facts\"><span>keeps <b>" +
         (r.Exact ? Html(r.SettingKept) + "</b> of " + Html(r.SettingOf) + " bets (" +
                        Percent(r.SettingShare) + ", exact)"
                  : "about " + Percent(r.SettingShare) + "</b> of all bets (between " +
                        PercentBetween(r.SettingLo, r.SettingHi) + " at " +
                        Percent(r.SettingLevel) + ", from " + Html(r.SettingOf) +
                        " sampled bets, seed " + Html(r.SettingSeed) + ")") +
         "</span>";
    if (r.HasHistory)
      s += "<span>history: keeps <b>" + std::to_string(r.HistoryKept) + "/" +
           std::to_string(r.HistoryDraws) + "</b> draws</span>";
    s += "</p>";
    int64_t lo = 0, hi = 0;
    if (r.Tolerance != "-") {
      lo = std::strtoll(r.Tolerance.c_str(), nullptr, 10);
      hi = std::strtoll(r.Tolerance.c_str() + r.Tolerance.find('-', 1) + 1, nullptr, 10);
    }
    std::vector<std::pair<int32_t, int32_t>> marks;
    std::vector<int32_t> fails = r.DrawFails;
    std::sort(fails.begin(), fails.end());
    for (int32_t v : fails) {
      if (!marks.empty() && marks.back().first == v)
        ++marks.back().second;
      else
        marks.emplace_back(v, 1);
    }
    s += BarChart(r.Failures, lo, hi, marks, "failed conditions",
                  r.Exact ? "share of all bets" : "share of the sample", true);
  } else {
    s += "<p>No count: the setting is not valid.</p>";
  }
  s += Diagnostics(r.TextDiags);
  for (const auto& h : r.HistoryDiags)
    s += "<div class=\"diag warning\">history line " + std::to_string(h.first) + ": " +
         Html(GbkToUtf8(h.second)) + "</div>";
  if (history.Skipped)
    s += "<div class=\"diag warning\">history: " + Html(SkippedText(history)) + "</div>";
  s += "</div>" + Legend();
  for (const InsightLine& l : r.Lines) s += ConditionCard(r, l);
  return s + "</body></html>\n";
}

}  // namespace

int RunReport(const Options& o) {
  std::string error;
  if (!OutputAllowed(o, "--out", o.OutFile, "", error)) {
    Error(error);
    return kExitUsage;
  }
  if (!ExactDigitsAllowed(o)) return kExitUsage;
  InsightResult r;
  DrawHistory history;
  std::string source;
  if (!ExplainSetting(o, kExplainDistributions | kExplainSetting | kExplainDrawScores, r, source,
                      history))
    return Interruption() ? InterruptedStatus(Interruption()) : kExitFailed;
  if (!WriteOutput(o, "--out", o.OutFile, Page(r, source, history))) return kExitFailed;
  std::fprintf(stderr, "veltrin-host: report written to %s\n", o.OutFile.c_str());
  const InsightDiag* bad = r.FirstInvalid();
  return bad ? kExitFailed : kExitOk;
}

}  // namespace veltrin::host
