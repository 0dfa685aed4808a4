// The versioned result text of VeltrinExplain: line-oriented records of
// tab-separated fields, GBK, LF line ends. A field never holds a tab or a
// line break: "\" is written "\\" and a tab "\t"; the result is valid GBK
// whatever the input held.
#include <memory>

#include "common/text.h"
#include "filter/gbk_text.h"
#include "filter/insight.h"
#include "filter/insight_texts.h"

namespace veltrin {

namespace {

// One byte of a field: "\" is written "\\", tab, CR and LF as "\t", "\r",
// "\n", byte by byte, so that a reader unescapes without knowing GBK.
void AppendEscaped(std::string& out, char c) {
  if (c == '\\')
    out += "\\\\";
  else if (c == '\t')
    out += "\\t";
  else if (c == '\r')
    out += "\\r";
  else if (c == '\n')
    out += "\\n";
  else
    out += c;
}

// A field, valid GBK whatever the input held: a byte that is no part of a
// GBK character (a lone lead byte, 0x80, 0xFF) is written "\xHH".
std::string Escaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendGbkBytes(out, text, AppendEscaped);
  return out;
}

class TRecordWriter {
 public:
  TRecordWriter& Field(std::string_view v) {
    text_ += '\t';
    text_.append(v);
    return *this;
  }
  TRecordWriter& Field(int64_t v) { return Field(std::to_string(v)); }
  TRecordWriter& Start(const char* tag) {
    text_ += tag;
    return *this;
  }
  void End() { text_ += '\n'; }
  std::string& Text() { return text_; }

 private:
  std::string text_;
};

std::string Decimal(double v) { return RoundTripDecimal(v); }

void WriteDiagnostic(TRecordWriter& w, int32_t line, const TDiagnostic& d) {
  w.Start("diag")
      .Field(line)
      .Field(SeverityName(d.Severity))
      .Field(FieldName(d.Field))
      .Field(DiagCodeName(d.Code))
      .Field(Escaped(d.Text))
      .Field(Escaped(d.Message))
      .End();
}

}  // namespace

std::string FormatExplanation(std::string_view conditionText, int32_t digits,
                              std::string_view historyText, int32_t last, int32_t flags) {
  if (digits < 1 || digits > 100) digits = 0;
  std::vector<TScoreDistribution> distributions;
  const TTextExplanation ex = ExplainConditionText(conditionText, digits, &distributions);
  TRecordWriter w;
  w.Start("VELTRIN-EXPLAIN").Field(kExplainFormatVersion).End();

  // The engine's own prepared filter: history and the whole setting are
  // scored by exactly what SzcExecute uses.
  std::unique_ptr<TProGradeFilter> filter(TProGradeFilter::New());
  filter->FilterStr.assign(conditionText.substr(0, conditionText.find('\0')));
  const bool prepared = ex.Valid && filter->PrepareRun();

  std::vector<std::pair<int32_t, std::string>> historyDiags;
  std::vector<THistoryDraw> draws;
  if (!historyText.empty()) draws = ParseDraws(historyText, digits, historyDiags);
  THistoryHits hits;
  if (prepared && !draws.empty()) hits = HistoryHits(*filter, draws, last);

  w.Start("text")
      .Field(ex.Valid ? 1 : 0)
      .Field(digits)
      .Field(ex.LineCount)
      .Field(ex.ConditionCount())
      .Field(ex.CanErr ? std::to_string(ex.CanErrMin) + "-" + std::to_string(ex.CanErrMax)
                       : std::string("-"))
      .Field(int64_t(hits.Draws.size()))
      .End();
  for (const TDiagnostic& d : ex.Diagnostics) WriteDiagnostic(w, 0, d);

  for (const TLineExplanation& l : ex.Lines) {
    w.Start("line")
        .Field(l.Number)
        .Field(LineKindName(l.Kind))
        .Field(l.Condition >= 0 ? std::to_string(l.Condition) : std::string("-"))
        .Field(l.Condition >= 0 ? std::to_string(l.Mode) : std::string("-"))
        .Field(l.Kind == TLineKind::Tolerance ? l.ToleranceMin : l.Compiled.Lower)
        .Field(l.Kind == TLineKind::Tolerance ? l.ToleranceMax : l.Compiled.Upper)
        .Field(Escaped(l.Text))
        .Field(l.Count)
        .Field(l.Condition >= 0 && ModeOf(l.Mode).Id != kModeUnknown ? ModeOf(l.Mode).Word : "-")
        .End();
    if (l.Condition >= 0) {
      std::string scores;
      for (size_t k = 0; k < l.Compiled.Score.size(); ++k) {
        if (k) scores += ' ';
        scores += std::to_string(l.Compiled.Score[k]);
      }
      w.Start("scores").Field(l.Number).Field(scores).End();
      if (digits > 0) {
        const TScoreDistribution& dist = distributions[size_t(l.Condition)];
        const TBigCount kept = dist.Between(l.Compiled.Lower, l.Compiled.Upper);
        w.Start("kept")
            .Field(l.Number)
            .Field(kept.ToString())
            .Field(dist.Total().ToString())
            .Field(Decimal(dist.Share(l.Compiled.Lower, l.Compiled.Upper)))
            .Field(dist.MinScore())
            .Field(dist.MaxScore())
            .End();
        if (flags & kExplainDistributions) {
          std::string pairs;
          for (int32_t s = 0; s <= dist.MaxScore(); ++s) {
            const TBigCount c = dist.At(s);
            if (c.IsZero()) continue;
            if (!pairs.empty()) pairs += ' ';
            pairs += std::to_string(s) + ":" + c.ToString();
          }
          w.Start("dist").Field(l.Number).Field(pairs).End();
        }
      }
      if (prepared && !draws.empty()) {
        const size_t c = size_t(l.Condition);
        w.Start("hits").Field(l.Number).Field(hits.Hits[c]).Field(int64_t(hits.Draws.size())).End();
        if (flags & kExplainDrawScores) {
          std::string scores;
          for (size_t j = 0; j < hits.Draws.size(); ++j) {
            if (j) scores += ' ';
            scores += std::to_string(hits.Score(c, j));
          }
          w.Start("drawscores").Field(l.Number).Field(scores).End();
        }
      }
    }
    for (const TDiagnostic& d : l.Diagnostics) WriteDiagnostic(w, l.Number, d);
  }

  for (const auto& d : historyDiags) w.Start("hdiag").Field(d.first).Field(Escaped(d.second)).End();
  if (prepared && !draws.empty()) {
    int64_t kept = 0;
    for (uint8_t k : hits.Kept) kept += k;
    w.Start("history").Field(int64_t(hits.Draws.size())).Field(kept).End();
    if (flags & kExplainDrawScores) {
      std::string labels, failed;
      for (size_t j = 0; j < hits.Draws.size(); ++j) {
        if (j) {
          labels += ' ';
          failed += ' ';
        }
        labels += hits.Draws[j]->Label + "=" + hits.Draws[j]->Digits;
        failed += std::to_string(hits.Failed[j]);
      }
      w.Start("draws").Field(Escaped(labels)).End();
      w.Start("drawfails").Field(failed).End();
    }
  }
  if (prepared && digits > 0 && (flags & kExplainSetting)) {
    const TSettingCount count = (flags & kExplainExact) && digits <= 18
                                    ? CountSettingExact(*filter, digits)
                                    : CountSetting(*filter, digits);
    w.Start("setting")
        .Field(count.Exact ? "exact" : "estimate")
        .Field(count.Kept.ToString())
        .Field(count.Exact ? TBigCount::PowerOf10(digits).ToString() : std::to_string(count.Sample))
        .Field(Decimal(count.Share))
        .Field(Decimal(count.Exact ? 0 : count.HalfWidth()))
        .Field(count.Exact ? std::string("-") : std::to_string(count.Seed))
        .Field(Decimal(count.Lo))
        .Field(Decimal(count.Hi))
        .Field(Decimal(count.Exact ? 1 : count.Level))
        .End();
    std::string histogram;
    for (size_t k = 0; k < count.FailHistogram.size(); ++k) {
      if (k) histogram += ' ';
      histogram += count.FailHistogram[k].ToString();
    }
    w.Start("failures").Field(histogram).End();
  }
  w.Start("end").End();
  return std::move(w.Text());
}

}  // namespace veltrin
