#include "host/insight.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "common/counted.h"
#include "common/text.h"
#include "common/texts.h"
#include "host/encoding.h"

namespace veltrin::host {
namespace {

constexpr char kFormatName[] = "VELTRIN-EXPLAIN";
constexpr int32_t kFormatVersion = 1;

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> out;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    out.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return out;
    start = tab + 1;
  }
}

int64_t Int(std::string_view s) { return std::strtoll(std::string(s).c_str(), nullptr, 10); }
double Real(std::string_view s) { return std::strtod(std::string(s).c_str(), nullptr); }

// Space-separated items of one field.
template <class Fn>
void Items(std::string_view field, Fn&& fn) {
  size_t start = 0;
  while (start < field.size()) {
    size_t end = field.find(' ', start);
    if (end == std::string_view::npos) end = field.size();
    if (end > start) fn(field.substr(start, end - start));
    start = end + 1;
  }
}

InsightLine* LineOf(InsightResult& r, int64_t number) {
  for (InsightLine& l : r.Lines)
    if (l.Number == number) return &l;
  return nullptr;
}

void Note(const std::string& message) {
  std::fprintf(stderr, "veltrin-host: %s\n", message.c_str());
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

std::string Unescaped(std::string_view s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char c = s[++i];
    if (c == 'x' && i + 2 < s.size() && HexDigit(s[i + 1]) >= 0 && HexDigit(s[i + 2]) >= 0) {
      out += char(HexDigit(s[i + 1]) * 16 + HexDigit(s[i + 2]));
      i += 2;
      continue;
    }
    out += c == 't' ? '\t' : c == 'r' ? '\r' : c == 'n' ? '\n' : c;
  }
  return out;
}

bool InsightLine::Invalid() const {
  for (const InsightDiag& d : Diags)
    if (d.Invalid()) return true;
  return false;
}

const InsightDiag* InsightResult::FirstInvalid() const {
  for (const InsightLine& l : Lines)
    for (const InsightDiag& d : l.Diags)
      if (d.Invalid()) return &d;
  for (const InsightDiag& d : TextDiags)
    if (d.Invalid()) return &d;
  return nullptr;
}

bool ParseInsight(std::string_view text, InsightResult& r, std::string& error) {
  r = InsightResult();
  bool first = true;
  bool ok = true;
  SplitLines(text, [&](std::string_view raw) {
    if (!ok || r.Complete) return;
    const std::vector<std::string_view> f = Fields(raw);
    const std::string_view tag = f[0];
    auto need = [&](size_t n) {
      if (f.size() >= n) return true;
      error = "record '" + std::string(tag) + "' has too few fields";
      ok = false;
      return false;
    };
    if (first) {
      first = false;
      if (tag != kFormatName || f.size() < 2 || Int(f[1]) != kFormatVersion) {
        error = "the library answered in an unknown format";
        ok = false;
        return;
      }
      r.Version = int32_t(Int(f[1]));
      return;
    }
    if (tag == "text") {
      if (!need(7)) return;
      r.Valid = f[1] == "1";
      r.Digits = int32_t(Int(f[2]));
      r.Conditions = int32_t(Int(f[4]));
      r.Tolerance = std::string(f[5]);
    } else if (tag == "line") {
      if (!need(8)) return;
      InsightLine& l = r.Lines.emplace_back();
      l.Number = int32_t(Int(f[1]));
      l.Kind = std::string(f[2]);
      l.Index = f[3] == "-" ? -1 : int32_t(Int(f[3]));
      l.Mode = f[4] == "-" ? -1 : int32_t(Int(f[4]));
      l.Lower = Int(f[5]);
      l.Upper = Int(f[6]);
      l.Text = Unescaped(f[7]);
      if (f.size() >= 10) {
        l.Count = int32_t(Int(f[8]));
        l.ModeWordGbk = Unescaped(f[9]);
      }
    } else if (tag == "scores" || tag == "kept" || tag == "dist" || tag == "hits" ||
               tag == "drawscores") {
      if (!need(3)) return;
      InsightLine* l = LineOf(r, Int(f[1]));
      if (!l) return;
      if (tag == "scores") {
        Items(f[2], [&](std::string_view v) { l->Scores.push_back(int32_t(Int(v))); });
      } else if (tag == "kept") {
        if (!need(7)) return;
        l->HasKept = true;
        l->Kept = std::string(f[2]);
        l->Total = std::string(f[3]);
        l->Share = Real(f[4]);
        l->MinScore = int32_t(Int(f[5]));
        l->MaxScore = int32_t(Int(f[6]));
      } else if (tag == "dist") {
        Items(f[2], [&](std::string_view v) {
          const size_t colon = v.find(':');
          if (colon != std::string_view::npos)
            l->Dist.emplace_back(int32_t(Int(v.substr(0, colon))), Real(v.substr(colon + 1)));
        });
      } else if (tag == "hits") {
        if (!need(4)) return;
        l->HasHits = true;
        l->Hits = Int(f[2]);
        l->Draws = Int(f[3]);
      } else {
        Items(f[2], [&](std::string_view v) { l->DrawScores.push_back(int32_t(Int(v))); });
      }
    } else if (tag == "diag") {
      if (!need(7)) return;
      InsightDiag d;
      d.Line = int32_t(Int(f[1]));
      d.Severity = std::string(f[2]);
      d.Field = std::string(f[3]);
      d.Code = std::string(f[4]);
      d.Text = Unescaped(f[5]);
      d.Message = Unescaped(f[6]);
      InsightLine* l = d.Line > 0 ? LineOf(r, d.Line) : nullptr;
      (l ? l->Diags : r.TextDiags).push_back(std::move(d));
    } else if (tag == "hdiag") {
      if (!need(3)) return;
      r.HistoryDiags.emplace_back(int32_t(Int(f[1])), Unescaped(f[2]));
    } else if (tag == "history") {
      if (!need(3)) return;
      r.HasHistory = true;
      r.HistoryDraws = Int(f[1]);
      r.HistoryKept = Int(f[2]);
    } else if (tag == "draws") {
      if (!need(2)) return;
      const std::string labels = Unescaped(f[1]);
      Items(labels, [&](std::string_view v) { r.DrawLabels.emplace_back(v); });
    } else if (tag == "drawfails") {
      if (!need(2)) return;
      Items(f[1], [&](std::string_view v) { r.DrawFails.push_back(int32_t(Int(v))); });
    } else if (tag == "setting") {
      if (!need(7)) return;
      r.HasSetting = true;
      r.Exact = f[1] == "exact";
      r.SettingKept = std::string(f[2]);
      r.SettingOf = std::string(f[3]);
      r.SettingShare = Real(f[4]);
      r.SettingBound = Real(f[5]);
      r.SettingSeed = std::string(f[6]);
      if (f.size() >= 10) {
        r.SettingLo = Real(f[7]);
        r.SettingHi = Real(f[8]);
        r.SettingLevel = Real(f[9]);
      } else {
        r.SettingLo = std::max(0.0, r.SettingShare - r.SettingBound);
        r.SettingHi = std::min(1.0, r.SettingShare + r.SettingBound);
        r.SettingLevel = r.Exact ? 1 : 0.99;
      }
    } else if (tag == "failures") {
      if (!need(2)) return;
      Items(f[1], [&](std::string_view v) { r.Failures.push_back(Real(v)); });
    } else if (tag == "end") {
      r.Complete = true;
    }
    // Records of later versions that this host does not know are skipped.
  });
  if (ok && !r.Complete) {
    error = first ? "the library gave an empty answer" : "the library's answer was cut short";
    ok = false;
  }
  return ok;
}

bool Explain(const PluginExports& api, const std::string& conditionText, int32_t digits,
             const std::string& historyText, int32_t last, int32_t flags, InsightResult& out,
             std::string& error) {
  if (!api.VeltrinExplain) {
    error = "the library has no VeltrinExplain export (a library older than condition insight)";
    return false;
  }
  char* answer =
      api.VeltrinExplain(conditionText.c_str(), digits, historyText.c_str(), last, flags);
  if (!answer) {
    error = "the library could not explain the setting (out of memory)";
    return false;
  }
  const std::string text(CountedStrView(answer));
  // The answer is the host's to release, through the shared memory module.
  CountedStrRelease(answer);
  return ParseInsight(text, out, error);
}

void PrintSettingDiagnostics(const PluginExports& api, const std::string& text,
                             const std::string& source, bool prepared) {
  InsightResult r;
  std::string error;
  if (!Explain(api, text, 0, "", 0, 0, r, error)) {
    if (!prepared)
      Note("the filter setting from " + source +
           " is not valid: the library could not prepare it (SzcPrepare answered false)");
    return;
  }
  AddHostDiagnostics(r);
  for (const InsightLine& l : r.Lines)
    for (const InsightDiag& d : l.Diags)
      if (!d.Invalid())
        Note("warning: " + source + " line " + std::to_string(l.Number) + " (" + d.Field +
             "): " + GbkToUtf8(d.Message));
  if (prepared) return;
  const InsightDiag* bad = r.FirstInvalid();
  if (!bad) {
    Note("the filter setting from " + source + " is not valid (SzcPrepare answered false)");
    return;
  }
  const std::string where = bad->Line > 0 ? "line " + std::to_string(bad->Line) : "the text";
  Note("the filter setting from " + source + " is not valid: " + where + ", " + bad->Field + ": " +
       GbkToUtf8(bad->Message));
}

std::string ModeWord(const InsightLine& l) {
  if (l.Index < 0) return "-";
  if (l.ModeWordGbk.empty() || l.ModeWordGbk == "-") return "unknown";
  return GbkToUtf8(l.ModeWordGbk);
}

}  // namespace veltrin::host
