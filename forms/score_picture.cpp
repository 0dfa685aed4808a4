#include "forms/score_picture.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "common/lottery.h"
#include "common/text.h"
#include "common/texts.h"
#include "filter/pro_grade.h"

namespace veltrin {

namespace {

// Longer counts are shown rounded: a label has room for a dozen digits.
constexpr size_t kLongestExactCount = 12;

std::string CountText(const TBigCount& count) {
  std::string text = count.ToString();
  if (text.size() <= kLongestExactCount) return text;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", count.ToDouble());
  return buf;
}

std::string TotalText(int32_t digits) {
  if (digits <= int32_t(kLongestExactCount)) return TBigCount::PowerOf10(digits).ToString();
  return "10^" + std::to_string(digits);
}

// The explanation's only condition line, or null with the reason.
const TLineExplanation* OnlyCondition(const TTextExplanation& ex, std::string& problem) {
  int32_t at = 0;
  if (const TDiagnostic* invalid = ex.FirstInvalid(&at)) {
    problem = FillText(kTxtPicInvalid, {invalid->Message});
    return nullptr;
  }
  if (ex.Lines.size() != 1 || ex.Lines[0].Kind != TLineKind::Condition ||
      ex.Lines[0].Condition != 0) {
    problem = kTxtPicNotCondition;
    return nullptr;
  }
  return &ex.Lines[0];
}

std::vector<std::string> WarningsOf(const TTextExplanation& ex) {
  std::vector<std::string> out;
  auto add = [&out](const std::vector<TDiagnostic>& list) {
    for (const TDiagnostic& d : list)
      if (d.Severity == TSeverity::Warning) out.push_back(d.Message);
  };
  add(ex.Diagnostics);
  for (const TLineExplanation& line : ex.Lines) add(line.Diagnostics);
  return out;
}

}  // namespace

TScorePicture ComputeScorePicture(std::string_view line, int32_t digits) {
  TScorePicture p;
  if (digits < 1 || digits > kMaxDigitCount) {
    p.Problem = kTxtPicNoDigits;
    return p;
  }
  p.Digits = digits;
  std::vector<TScoreDistribution> distributions;
  const TTextExplanation ex = ExplainConditionText(line, digits, &distributions);
  const TLineExplanation* condition = OnlyCondition(ex, p.Problem);
  if (!condition || distributions.empty()) {
    if (p.Problem.empty()) p.Problem = kTxtPicNotCondition;
    return p;
  }
  const TScoreDistribution& dist = distributions[0];
  p.Drawn = true;
  p.Warnings = WarningsOf(ex);
  p.Compiled = condition->Compiled;
  p.Lower = p.Compiled.Lower;
  p.Upper = p.Compiled.Upper;
  p.MinScore = dist.MinScore();
  p.MaxScore = dist.MaxScore();
  // A range beyond every candidate still shows, next to the bars; a lower
  // bound far beyond them would only squeeze the bars into a corner.
  p.AxisTop = p.MaxScore;
  if (p.Lower > p.MaxScore) p.AxisTop = std::min(p.Lower, 2 * p.MaxScore + 10);
  p.Counts.reserve(size_t(p.AxisTop) + 1);
  for (int32_t s = 0; s <= p.AxisTop; ++s) p.Counts.push_back(dist.At(s));
  p.Kept = dist.Between(p.Lower, p.Upper);
  p.Share = dist.Share(p.Lower, p.Upper);
  return p;
}

void MarkDraws(TScorePicture& picture, const std::vector<std::string>& draws) {
  picture.DrawScores.clear();
  picture.DrawHits = 0;
  if (!picture.Drawn) return;
  std::vector<uint8_t> codes;
  for (const std::string& draw : draws) {
    if (draw.empty() || !TProGradeFilter::BetToCodes(draw, kModeStraight, codes)) continue;
    int64_t sum = 0;
    for (uint8_t code : codes) sum += picture.Compiled.Score[code];
    picture.DrawScores.push_back(int32_t(std::min<int64_t>(sum, INT32_MAX)));
    if (picture.Compiled.Passes(sum)) ++picture.DrawHits;
  }
}

std::string PercentText(double share) {
  if (!(share > 0)) return "0%";
  if (share >= 1) return "100%";
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.4g", share * 100);
  // Rounded up to a whole hundred it would claim every candidate.
  if (std::string(buf) == "100") return ">99.99%";
  return std::string(buf) + "%";
}

ui::TChartState ChartOf(const TScorePicture& picture) {
  ui::TChartState state;
  if (!picture.Drawn) {
    state.Title = picture.Problem;
    return state;
  }
  state.Title = FillText(kTxtPicTitle, {std::to_string(picture.Digits), TotalText(picture.Digits)});
  double highest = 0;
  for (const TBigCount& c : picture.Counts) highest = std::max(highest, c.ToDouble());
  for (const TBigCount& c : picture.Counts)
    state.Bars.push_back(highest > 0 ? c.ToDouble() / highest : 0.0);
  const int32_t top = picture.AxisTop;
  if (picture.Lower <= picture.Upper && picture.Upper >= 0 && picture.Lower <= top) {
    state.ShadeFirst = std::max(picture.Lower, 0);
    state.ShadeLast = std::min(picture.Upper, top);
  }
  for (int32_t score : picture.DrawScores)
    if (score >= 0 && score <= top) state.Marks.push_back(score);
  state.LeftLabel = "0";
  state.RightLabel = std::to_string(top);
  return state;
}

std::string KeptText(const TScorePicture& picture) {
  if (!picture.Drawn) return {};
  return FillText(kTxtPicKept, {std::to_string(picture.Lower), std::to_string(picture.Upper),
                                CountText(picture.Kept), PercentText(picture.Share)});
}

std::string ScoresText(const TScorePicture& picture) {
  if (!picture.Drawn) return {};
  return FillText(kTxtPicScores,
                  {std::to_string(picture.MinScore), std::to_string(picture.MaxScore)});
}

std::string HitsText(const TScorePicture& picture) {
  if (!picture.Drawn) return {};
  const size_t n = picture.DrawScores.size();
  if (n == 0) return kTxtPicNoDraws;
  return FillText(kTxtPicHits, {std::to_string(n), std::to_string(picture.DrawHits),
                                PercentText(double(picture.DrawHits) / double(n))});
}

TLineNote ConditionLineNote(std::string_view line, int32_t digits) {
  TLineNote note;
  const int32_t known = digits >= 1 && digits <= kMaxDigitCount ? digits : 0;
  std::vector<TScoreDistribution> distributions;
  const TTextExplanation ex = ExplainConditionText(line, known, &distributions);
  int32_t at = 0;
  if (const TDiagnostic* invalid = ex.FirstInvalid(&at)) {
    note.Invalid = true;
    note.Text = std::string(kTxtNoteInvalid) + invalid->Message;
    note.Marks.push_back(note.Text);
    return note;
  }
  if (known && ex.Lines.size() == 1 && ex.Lines[0].Condition == 0 && !distributions.empty()) {
    const TCompiledCondition& c = ex.Lines[0].Compiled;
    note.Share = PercentText(distributions[0].Share(c.Lower, c.Upper));
    note.Text = FillText(kTxtNoteKept, {note.Share});
  }
  for (const std::string& warning : WarningsOf(ex)) {
    note.Warned = true;
    note.Marks.push_back(kTxtNoteWarning + warning);
    if (!note.Text.empty()) note.Text += "  ";
    note.Text += note.Marks.back();
  }
  return note;
}

std::string ConditionLineLabel(std::string_view line, const TLineNote& note) {
  // Every line begins with the same mode and the low scores' groups; the
  // range (after the second ":") is what the user tunes and looks for.
  const std::string_view range = TextAfter(TextAfter(line, ':'), ':');
  std::string label;
  if (range.size() < line.size()) label = std::string(range.substr(0, 24));
  if (!note.Share.empty()) label += (label.empty() ? "" : "  ") + note.Share;
  if (note.Invalid)
    label += (label.empty() ? "" : "  ") + std::string(kTxtNoteInvalid);
  else if (note.Warned)
    label += " !";
  return label.empty() ? std::string(line) : label + "  " + std::string(line);
}

std::string ConditionLineHint(std::string_view line, const TLineNote& note, size_t width,
                              size_t rows) {
  std::string hint;
  if (!note.Share.empty()) hint += FillText(kTxtNoteKept, {note.Share}) + "\r\n";
  for (const std::string& mark : note.Marks) hint += mark + "\r\n";
  width = std::max<size_t>(width, 8);
  size_t at = 0, made = 0;
  while (at < line.size()) {
    if (made == rows) {
      hint += "\r\n...";
      return hint;
    }
    size_t end = std::min(line.size(), at + width);
    if (end < line.size()) {
      // After the last comma or blank of the row, else at the last whole
      // character (GBK lead bytes are 0x81 and up, each with one more byte).
      size_t cut = line.find_last_of(", ", end - 1);
      if (cut != std::string_view::npos && cut >= at + width / 2) {
        end = cut + 1;
      } else {
        size_t k = at;
        while (k < end) k += (uint8_t(line[k]) >= 0x81 && k + 1 < line.size()) ? 2 : 1;
        if (k > end) k -= 2;
        end = k > at ? k : std::min(line.size(), at + 2);
      }
    }
    if (made) hint += "\r\n";
    hint.append(line.substr(at, end - at));
    at = end;
    ++made;
  }
  return hint;
}

}  // namespace veltrin
