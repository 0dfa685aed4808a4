// The pair-score dialog's distribution page and the condition list's notes:
// the numbers behind the picture on every backend, and on Win32 that the
// page really draws and that the draws button asks the host once.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/texts.h"
#include "filter/insight_texts.h"
#include "forms/score_picture.h"
#include "forms/two_code_frame.h"
#include "support/gbk.h"
#include "tests/forms/code_grade_fixture.h"
#include "ui/automation.h"
#if defined(_WIN32)
#include "ui/win32/win32.h"
#endif

namespace veltrin {
namespace {

using test::kGroup;
using test::Straight;
using namespace ui;
using Ints = std::vector<int32_t>;

std::vector<uint64_t> Counts(const TScorePicture& p) {
  std::vector<uint64_t> out;
  for (const TBigCount& c : p.Counts) out.push_back(c.Low64());
  return out;
}

TEST(ScorePictureTest, CountsRangeAndReachableScores) {
  struct TCase {
    std::string Line;
    int32_t Digits;
    std::vector<uint64_t> Counts;  // candidates at each score 0..AxisTop
    uint64_t Kept;
    int32_t Min, Max;
    int32_t ShadeFirst, ShadeLast;  // -1: no band
    bool Warned;
  };
  const TCase cases[] = {
      // 121 and 212 score 2; 36 other bets hold one 12 or 21.
      {Straight("1=12 21", "1-2"), 3, {962, 36, 2}, 38, 0, 2, 1, 2, false},
      // The band stops at the highest score; the dialog's defaults keep 2 bets.
      {Straight("0=00 01 02,1=12 21,2=", "2-48"), 3, {962, 36, 2}, 2, 0, 2, 2, 2, false},
      // A range beyond every candidate: the axis reaches the lower bound.
      {Straight("1=12", "5-9"), 3, {980, 20, 0, 0, 0, 0}, 0, 0, 1, 5, 5, true},
      // Every code scores 1: every bet scores 2, and the range keeps all.
      {Straight("1=" + CodeRangeText(0, 99), "0-9"), 3, {0, 0, 1000}, 1000, 2, 2, 0, 2, true},
      // The group mode scores every bet 0: the range keeps all, with warnings.
      {kGroup + ":1=12:0-0", 3, {1000}, 1000, 0, 0, 0, 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const TScorePicture p = ComputeScorePicture(c.Line, c.Digits);
    ASSERT_TRUE(p.Drawn) << p.Problem;
    EXPECT_EQ(Counts(p), c.Counts);
    EXPECT_EQ(p.Kept.Low64(), c.Kept);
    EXPECT_DOUBLE_EQ(p.Share, double(c.Kept) / std::pow(10.0, c.Digits));
    EXPECT_EQ(p.MinScore, c.Min);
    EXPECT_EQ(p.MaxScore, c.Max);
    EXPECT_EQ(!p.Warnings.empty(), c.Warned);
    const TChartState chart = ChartOf(p);
    ASSERT_EQ(chart.Bars.size(), c.Counts.size());
    EXPECT_EQ(chart.ShadeFirst, c.ShadeFirst);
    EXPECT_EQ(chart.ShadeLast, c.ShadeLast);
    EXPECT_EQ(chart.RightLabel, std::to_string(c.Counts.size() - 1));
    // The highest bar stands full; the others in proportion.
    const uint64_t most = *std::max_element(c.Counts.begin(), c.Counts.end());
    for (size_t s = 0; s < c.Counts.size(); ++s)
      EXPECT_DOUBLE_EQ(chart.Bars[s], double(c.Counts[s]) / double(most));
  }
}

TEST(ScorePictureTest, NothingToDrawSaysWhy) {
  struct TCase {
    std::string Line;
    int32_t Digits;
    std::string Problem;
  };
  const TCase cases[] = {
      {Straight("1=12", "1-2"), 0, kTxtPicNoDigits},
      {Straight("1=12", "1-2"), 101, kTxtPicNoDigits},
      {Straight("1=1x", "1-2"), 3, FillText(kTxtPicInvalid, {FillText(kTxtDiagBadCode, {"1x"})})},
      {Straight("1=12", "a-2"), 3, FillText(kTxtPicInvalid, {FillText(kTxtDiagBadLower, {"a"})})},
      {"E|0-1", 3, FillText(kTxtPicInvalid, {kTxtDiagNoConditions})},
      {Straight("1=12", "1-2") + ";" + Straight("1=21", "1-2"), 3, kTxtPicNotCondition},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Line);
    const TScorePicture p = ComputeScorePicture(c.Line, c.Digits);
    EXPECT_FALSE(p.Drawn);
    EXPECT_EQ(p.Problem, c.Problem);
    const TChartState chart = ChartOf(p);
    EXPECT_TRUE(chart.Bars.empty());
    EXPECT_EQ(chart.Title, c.Problem);
    EXPECT_EQ(KeptText(p), "");
  }
}

TEST(ScorePictureTest, DrawsAreMarkedAndCounted) {
  TScorePicture p = ComputeScorePicture(Straight("1=12 21", "1-2"), 3);
  // Texts that are not digit texts are left out; a longer draw still scores.
  MarkDraws(p, {"121", "345", "212", "12x", "", "120", "1212"});
  EXPECT_EQ(p.DrawScores, (Ints{2, 0, 2, 1, 3}));
  EXPECT_EQ(p.DrawHits, 3);
  EXPECT_EQ(HitsText(p), FillText(kTxtPicHits, {"5", "3", "60%"}));
  // The score 3 lies beyond the axis: no mark for it.
  EXPECT_EQ(ChartOf(p).Marks, (Ints{2, 0, 2, 1}));
  MarkDraws(p, {});
  EXPECT_EQ(HitsText(p), kTxtPicNoDraws);
}

TEST(ScorePictureTest, Percentages) {
  const std::pair<double, std::string> cases[] = {
      {0, "0%"},
      {1, "100%"},
      {0.038, "3.8%"},
      {1.234e-7, "1.234e-05%"},
      {0.9999999, ">99.99%"},
      {std::numeric_limits<double>::quiet_NaN(), "0%"},
  };
  for (const auto& [share, text] : cases) EXPECT_EQ(PercentText(share), text) << share;
}

TEST(ScorePictureTest, LineNotes) {
  const std::string kept = FillText(kTxtNoteKept, {"3.8%"});
  const TLineNote plain = ConditionLineNote(Straight("1=12 21", "1-2"), 3);
  EXPECT_EQ(plain.Text, kept);
  EXPECT_FALSE(plain.Warned || plain.Invalid);
  // Without a digit count: no share, the warnings all the same.
  EXPECT_EQ(ConditionLineNote(Straight("1=12 21", "1-2"), 0).Text, "");

  const TLineNote warned = ConditionLineNote(Straight("1=12 21", "2-1"), 3);
  EXPECT_TRUE(warned.Warned);
  EXPECT_FALSE(warned.Invalid);
  EXPECT_EQ(warned.Text.rfind(FillText(kTxtNoteKept, {"0%"}) + "  " + kTxtNoteWarning, 0), 0u)
      << warned.Text;

  const TLineNote invalid = ConditionLineNote(Straight("1=1x", "1-2"), 3);
  EXPECT_TRUE(invalid.Invalid);
  EXPECT_EQ(invalid.Text, std::string(kTxtNoteInvalid) + FillText(kTxtDiagBadCode, {"1x"}));
}

// True when no two-byte GBK character is cut at either end.
bool WholeGbkCharacters(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i)
    if (uint8_t(text[i]) >= 0x81 && ++i >= text.size()) return false;
  return true;
}

TEST(ScorePictureTest, LineLabelsPutWhatTellsLinesApartFirst) {
  const std::string line = Straight("1=12 21", "1-2");
  struct Case {
    const char* name;
    std::string line;
    int32_t digits;
    std::string label;
  } cases[] = {
      {"range and share", line, 3, "1-2  3.8%  " + line},
      {"no digit count: the range alone", line, 0, "1-2  " + line},
      {"warned", Straight("1=12 21", "2-1"), 3, "2-1  0% !  " + Straight("1=12 21", "2-1")},
      {"invalid", Straight("1=1x", "1-2"), 3,
       "1-2  " + std::string(kTxtNoteInvalid) + "  " + Straight("1=1x", "1-2")},
      {"no fields: the line as it is", "L1", 3, std::string(kTxtNoteInvalid) + "  L1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ConditionLineLabel(c.line, ConditionLineNote(c.line, c.digits)), c.label);
  }
}

TEST(ScorePictureTest, LineHintsBreakLongRunsAndStaySmall) {
  // A line as the grid writes it: 101 groups, one unbroken run.
  std::string table = "0=00 01 02 03 04 05 06 07 08 09";
  for (int n = 1; n <= 100; ++n) table += "," + std::to_string(n) + "=";
  const std::string line = Straight(table, "2-48");
  const TLineNote note = ConditionLineNote(line, 3);
  const std::string hint = ConditionLineHint(line, note, 44, 6);
  std::vector<std::string> rows;
  SplitLines(hint, [&rows](std::string_view row) { rows.emplace_back(row); });
  ASSERT_GE(rows.size(), 3u);
  EXPECT_EQ(rows[0], FillText(kTxtNoteKept, {note.Share}));  // the share first
  EXPECT_EQ(rows[1].rfind(kTxtNoteWarning, 0), 0u);          // then the warning
  EXPECT_LE(rows.size(), 2 + 6 + 1u);
  for (const std::string& row : rows) {
    if (row.rfind(kTxtNoteWarning, 0) == 0) continue;
    EXPECT_LE(row.size(), 44u) << row;
  }
  EXPECT_EQ(rows.back(), "...");
  // Unbroken by commas and blanks: cut at whole GBK characters; a short
  // line stays whole.
  const std::string gbk = "\xd6\xb1\xd1\xa1";  // 直选
  std::string runs;
  for (int i = 0; i < 10; ++i) runs += "a" + gbk;
  const std::string cut = ConditionLineHint(runs, TLineNote{}, 8, 12);
  std::vector<std::string> parts;
  SplitLines(cut, [&parts](std::string_view row) { parts.emplace_back(row); });
  std::string joined;
  for (const std::string& p : parts) {
    EXPECT_LE(p.size(), 8u);
    EXPECT_TRUE(WholeGbkCharacters(p)) << p;
    joined += p;
  }
  EXPECT_EQ(joined, runs);
  EXPECT_EQ(ConditionLineHint("K:1=2:0-1", TLineNote{}), "K:1=2:0-1");
}

// ---- the dialog --------------------------------------------------------------------

class ScorePicturePageTest : public test::CodeGradeTest {};

TEST_P(ScorePicturePageTest, FollowsTheEditorAndTheList) {
  form->SetHost(&host);
  Show(3);
  // A page of its own after the others; the settings page stays first.
  EXPECT_EQ(form->tabPicture->PageIndex(), 2);
  EXPECT_EQ(form->pageFlt->ActivePageIndex(), 0);
  // The fresh editor (every code at 0, range 2-48) keeps nothing: the axis
  // reaches the band.
  EXPECT_EQ(form->chtScores->State().Bars, (std::vector<double>{1.0, 0.0, 0.0}));
  EXPECT_EQ(form->chtScores->State().ShadeFirst, 2);
  EXPECT_FALSE(form->lblPicWarnings->Caption().empty());
  EXPECT_EQ(form->lblPicKept->Caption(), FillText(kTxtPicKept, {"2", "48", "0", "0%"}));

  SelectItem(*form->cbxMin, 0);
  EXPECT_EQ(form->chtScores->State().ShadeFirst, 0);
  EXPECT_EQ(form->lblPicKept->Caption(), FillText(kTxtPicKept, {"0", "48", "1000", "100%"}));
  EXPECT_EQ(form->lblPicScores->Caption(), FillText(kTxtPicScores, {"0", "0"}));

  form->LoadSettingsText(Straight("1=12 21", "1-2") + ";" + Straight("1=12", "7-9"));
  ClickItem(*form->lstFilter, 1);
  EXPECT_EQ(form->Picture().Lower, 7);
  EXPECT_FALSE(form->lblPicWarnings->Caption().empty());  // keeps nothing
  EXPECT_NE(form->lstFilter->Hint().find(kTxtNoteWarning), std::string::npos);
  ClickItem(*form->lstFilter, 0);
  EXPECT_EQ(form->Picture().Kept.Low64(), 38u);
  EXPECT_EQ(form->lblPicWarnings->Caption(), "");
  // Adjusted: the kept share comes first now, the line after it.
  EXPECT_EQ(form->lstFilter->Hint(),
            FillText(kTxtNoteKept, {"3.8%"}) + "\r\n" + Straight("1=12 21", "1-2"));
  // The list shows what tells the lines apart first; the text stays as stored.
  EXPECT_EQ(form->lstFilter->Items(0), "1-2  3.8%  " + Straight("1=12 21", "1-2"));
  EXPECT_EQ(form->lstFilter->Items(1), "7-9  0% !  " + Straight("1=12", "7-9"));
  EXPECT_EQ(form->GetConditionsText(),
            Straight("1=12 21", "1-2") + "\r\n" + Straight("1=12", "7-9") + "\r\n");
  // Nothing so far asked the host for draws.
  EXPECT_EQ(host.DrawsCalls, 0);
  EXPECT_EQ(form->lblPicHits->Caption(), "");
}

TEST_P(ScorePicturePageTest, DrawsOnlyOnRequest) {
  form->SetHost(&host);
  Show(3);
  form->LoadSettingsText(Straight("1=12 21", "1-2") + ";" + Straight("1=12 21", "2-2"));
  ClickItem(*form->lstFilter, 0);
  SelectPage(*form->pageFlt, 2);
  Click(*form->btnPicDraws);
  EXPECT_EQ(host.DrawsCalls, 1);
  EXPECT_EQ(form->chtScores->State().Marks, (Ints{2, 0, 2, 1}));
  EXPECT_EQ(form->lblPicHits->Caption(), FillText(kTxtPicHits, {"4", "3", "75%"}));
  // The draws stay marked for another line, without asking again.
  SelectPage(*form->pageFlt, 0);
  ClickItem(*form->lstFilter, 1);
  EXPECT_EQ(host.DrawsCalls, 1);
  EXPECT_EQ(form->Picture().DrawHits, 2);

  host.DrawsStatus = kE_FAIL;
  SelectPage(*form->pageFlt, 2);
  Click(*form->btnPicDraws);
  EXPECT_EQ(host.DrawsCalls, 2);
  EXPECT_TRUE(form->chtScores->State().Marks.empty());
  EXPECT_EQ(form->lblPicHits->Caption(), kTxtPicNoDraws);
}

#if defined(_WIN32)
int CountColor(HWND hwnd, COLORREF color) {
  RECT rc;
  GetClientRect(hwnd, &rc);
  HDC dc = GetDC(hwnd);
  int n = 0;
  for (int y = 0; y < rc.bottom; y += 2)
    for (int x = 0; x < rc.right; x += 2) n += GetPixel(dc, x, y) == color;
  ReleaseDC(hwnd, dc);
  return n;
}

TEST_P(ScorePicturePageTest, DrawsTheRangeAndTheMarksOnScreen) {
  if (!OnWin32()) GTEST_SKIP() << "pixels exist on Win32 only";
  const COLORREF band = RGB(255, 232, 168), bar = RGB(150, 160, 178), mark = RGB(214, 24, 24);
  form->SetHost(&host);
  ChipDigitCount = 3;
  form->LoadSettingsText(Straight("1=12 21", "1-2"));
  int bandBefore = 0, barBefore = 0, marksBefore = -1, marksAfter = 0;
  Responder.OnModal([&](TForm&) {
    ClickItem(*form->lstFilter, 0);
    SelectPage(*form->pageFlt, 2);
    // A hook's modal run leaves the window hidden; on screen it is painted.
    ShowWindow(WindowOf(*form), SW_SHOWNA);
    HWND chart = WindowOf(*form->chtScores);
    UpdateWindow(WindowOf(*form));
    bandBefore = CountColor(chart, band);
    barBefore = CountColor(chart, bar);
    marksBefore = CountColor(chart, mark);
    Click(*form->btnPicDraws);
    UpdateWindow(chart);
    marksAfter = CountColor(chart, mark);
    ShowWindow(WindowOf(*form), SW_HIDE);
    Click(*form->btnClose);
  });
  form->ShowModal();
  EXPECT_GT(bandBefore, 100) << "the range is shaded";
  EXPECT_GT(barBefore, 100) << "the bar of score 0 stands outside it";
  EXPECT_EQ(marksBefore, 0);
  EXPECT_GT(marksAfter, 0);
  EXPECT_EQ(host.DrawsCalls, 1);
}
#endif

VELTRIN_ON_UI_BACKENDS(ScorePicturePageTest);

}  // namespace
}  // namespace veltrin
