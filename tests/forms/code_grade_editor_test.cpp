// The pair-score dialog's editor on every backend: its controls and where
// they stand, the range lists each showing fills from the digit count, the
// line the editor builds, and lines shown in the editor as far as they match.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <string>
#include <vector>

#include "common/text.h"
#include "common/texts.h"
#include "support/gbk.h"
#include "tests/forms/code_grade_fixture.h"
#include "ui/automation.h"

namespace veltrin {
namespace {

using namespace ui;
using test::kGroup;
using test::kStraight;
using test::Straight;
using Strings = std::vector<std::string>;

class CodeGradeEditorTest : public test::CodeGradeTest {};

std::array<int, 4> Place(const TControl& c) { return {c.Left(), c.Top(), c.Width(), c.Height()}; }

// "0" .. "n".
Strings Sums(int n) {
  Strings out;
  for (int i = 0; i <= n; ++i) out.push_back(std::to_string(i));
  return out;
}

TEST_P(CodeGradeEditorTest, ControlsStandWhereTheDialogPutsThem) {
  EXPECT_EQ(form->Caption(), "Veltrin");
  EXPECT_EQ(form->ClientWidth(), 544);
  EXPECT_EQ(form->ClientHeight(), 433);
  EXPECT_EQ(form->btnHelp->HelpContext(), 1019);

  EXPECT_EQ(form->Label8->Caption(), kTxtConditionHeading);
  EXPECT_EQ(form->Label8->Top(), 320);
  EXPECT_EQ(form->Label9->Caption(), kTxtKeepRangeLabel);
  EXPECT_EQ(form->Label20->Caption(), kTxtScoreSumLabel);
  EXPECT_TRUE(form->Label20->Desc().Flags & kTextCenter);
  // The range row, left to right, inside the page.
  const TRect page = form->tabFilter->ClientRect();
  const std::vector<TControl*> row = {form->Label9, form->cbxMin, form->Label20, form->cbxMax};
  for (size_t i = 0; i < row.size(); ++i) {
    SCOPED_TRACE(row[i]->Name());
    EXPECT_EQ(row[i]->Parent(), form->tabFilter);
    EXPECT_GE(row[i]->Top(), 341);
    EXPECT_LE(row[i]->Top(), 345);
    EXPECT_LE(row[i]->Top() + row[i]->Height(), page.Height);
    if (i > 0) {
      EXPECT_GE(row[i]->Left(), row[i - 1]->Left() + row[i - 1]->Width());
    }
  }
  EXPECT_LE(form->cbxMax->Left() + form->cbxMax->Width(), form->RzPanel4->Left());
  for (TComboBox* box : {form->cbxMin, form->cbxMax}) {
    EXPECT_TRUE(box->DropDownList());
    EXPECT_EQ(box->FontColor(), clPurple);
  }

  TTwoGradeFrame& grid = *form->TwoGradeFrame1;
  EXPECT_EQ(grid.Container()->Parent(), form->tabFilter);
  EXPECT_EQ(Place(*grid.Container()), (std::array{8, 13, 242, 296}));
  // The mode box stands over the grid, between its score-0 box and its labels.
  EXPECT_EQ(form->FilterType->Parent(), form->tabFilter);
  EXPECT_EQ(form->FilterType->Left(), 10);
  EXPECT_EQ(form->FilterType->Top(), 43);
  EXPECT_EQ(form->FilterType->Width(), 145);
  EXPECT_GE(form->FilterType->Top(), 13 + grid.edtCode0->Top() + grid.edtCode0->Height());
  EXPECT_LE(form->FilterType->Top() + form->FilterType->Height(), 13 + Score(1).Top());
  EXPECT_FALSE(form->FilterType->DropDownList());
  EXPECT_EQ(Items(*form->FilterType), Strings{kStraight});
  EXPECT_EQ(form->FilterType->Text(), kStraight);

  EXPECT_EQ(form->RzButton3->Caption(), kTxtGenerate);
  EXPECT_EQ(Place(*form->btnHisFlt).at(0), 254);
  EXPECT_EQ(form->btnHisFlt->Top(), 184);
  EXPECT_EQ(form->RzButton2->Top(), 208);
  EXPECT_EQ(form->RzButton3->Top(), 232);
  for (TButton* b : {form->btnHisFlt, form->RzButton2, form->RzButton3}) {
    EXPECT_EQ(b->Left(), 254);
    EXPECT_TRUE(b->Visible()) << b->Name();
  }
  EXPECT_FALSE(form->lblInfo->Visible());
  EXPECT_EQ(form->RzPanel4->Left(), 320);
  EXPECT_EQ(form->RzPanel4->Width(), 217);

  TFilterPtr filter(form->CreateFilter());
  EXPECT_NE(dynamic_cast<TProGradeFilter*>(filter.get()), nullptr);
}

TEST_P(CodeGradeEditorTest, RangeListsFollowTheDigitCount) {
  Show(3);
  EXPECT_EQ(Items(*form->cbxMin), Sums(200));
  EXPECT_EQ(Items(*form->cbxMax), Sums(200));
  EXPECT_EQ(form->cbxMin->Text(), "2");
  EXPECT_EQ(form->cbxMax->Text(), "48");

  Show(5);  // filled anew, not appended to
  EXPECT_EQ(Items(*form->cbxMin), Sums(400));
  EXPECT_EQ(Items(*form->cbxMax), Sums(400));
  EXPECT_EQ(form->cbxMin->ItemIndex(), 2);
  EXPECT_EQ(form->cbxMax->ItemIndex(), 48);

  Show(1);  // too short for either default
  EXPECT_EQ(Items(*form->cbxMin), Strings{"0"});
  EXPECT_EQ(Items(*form->cbxMax), Strings{"0"});
  EXPECT_EQ(form->cbxMin->ItemIndex(), -1);
  EXPECT_EQ(form->cbxMax->ItemIndex(), -1);
  EXPECT_EQ(form->cbxMin->Text(), "");
  EXPECT_EQ(form->cbxMax->Text(), "");

  for (int32_t digits : {0, -1, INT32_MIN}) {
    Show(digits);
    EXPECT_EQ(form->cbxMin->Count(), 0) << digits;
    EXPECT_EQ(form->cbxMax->Count(), 0) << digits;
    EXPECT_EQ(form->cbxMin->Text(), "");
  }
  // A count no bet can have stays within what a bet may hold.
  Show(INT32_MAX);
  EXPECT_EQ(form->cbxMin->Count(), 9901);
  EXPECT_EQ(form->cbxMax->Items(9900), "9900");
  EXPECT_EQ(form->cbxMax->Text(), "48");
}

TEST_P(CodeGradeEditorTest, EachShowingResetsTheGridButNotTheMode) {
  Show(3);
  form->TwoGradeFrame1->SetGradeText("0=00,5=12 21");
  form->FilterType->SetText(kGroup);
  Show(3);
  EXPECT_EQ(Score(5).Hint(), "");
  EXPECT_EQ(form->TwoGradeFrame1->edtCode0->Text(), CodeRangeText(0, 99));
  EXPECT_EQ(form->FilterType->Text(), kGroup);
}

TEST_P(CodeGradeEditorTest, BuildConditionJoinsModeTableAndRange) {
  Show(3);
  form->TwoGradeFrame1->SetGradeText("0=00 01,5=12 21");
  const std::string table = Grid();
  EXPECT_EQ(form->BuildCondition(), kStraight + ":" + table + ":2-48");

  Show(1);  // both range boxes without a selection
  const std::string reset = Grid();
  EXPECT_EQ(form->BuildCondition(), kStraight + ":" + reset + ":-");

  // Nothing is checked: a typed mode goes in as it stands, and an empty one
  // leaves the line at least "::-" around the table.
  form->FilterType->SetText("any mode");
  EXPECT_EQ(form->BuildCondition(), "any mode:" + reset + ":-");
  form->FilterType->SetItemIndex(-1);
  EXPECT_EQ(form->BuildCondition(), ":" + reset + ":-");
}

TEST_P(CodeGradeEditorTest, ShowConditionShowsWhatMatches) {
  Show(3);
  form->ShowCondition(Straight("5=12", "3-250"));
  EXPECT_EQ(form->FilterType->Text(), kStraight);
  EXPECT_EQ(form->FilterType->ItemIndex(), 0);
  EXPECT_EQ(Score(5).Hint(), "12");
  EXPECT_EQ(form->cbxMin->Text(), "3");
  EXPECT_EQ(form->cbxMax->ItemIndex(), -1);  // 250 is not listed
  EXPECT_EQ(form->cbxMax->Text(), "");

  form->ShowCondition(kGroup + ":7=34:3-7");
  EXPECT_EQ(form->FilterType->ItemIndex(), -1);
  EXPECT_EQ(form->FilterType->Text(), "");
  EXPECT_EQ(Score(7).Hint(), "34");
  EXPECT_EQ(Score(5).Hint(), "12");  // scores the line does not name stay
  EXPECT_EQ(form->cbxMin->Text(), "3");
  EXPECT_EQ(form->cbxMax->Text(), "7");

  // No separators at all: the whole line is mode, table and range.
  form->ShowCondition("7");
  EXPECT_EQ(form->FilterType->Text(), "");
  EXPECT_EQ(form->cbxMin->Text(), "7");
  EXPECT_EQ(form->cbxMax->Text(), "7");
  EXPECT_EQ(Score(7).Hint(), "34");

  // A table the grid cannot read: the mode is shown, the range stays.
  EXPECT_THROW(form->ShowCondition(Straight("x=12", "0-5")), std::exception);
  EXPECT_EQ(form->FilterType->Text(), kStraight);
  EXPECT_EQ(form->cbxMin->Text(), "7");
  EXPECT_EQ(form->cbxMax->Text(), "7");
}

TEST_P(CodeGradeEditorTest, ALineShownAndBuiltAgainIsTheSameLine) {
  Show(3);
  form->TwoGradeFrame1->SetGradeText("0=00 01,5=12 21,9=33");
  form->cbxMin->SetItemIndex(4);
  form->cbxMax->SetItemIndex(150);
  const std::string line = form->BuildCondition();
  Show(3);
  ASSERT_NE(form->BuildCondition(), line);
  form->ShowCondition(line);
  EXPECT_EQ(form->BuildCondition(), line);
}

TEST_P(CodeGradeEditorTest, ClickingAListLineShowsItAndAddAppendsTheEditorsLine) {
  Show(3);
  form->SetConditionsText(Straight("0=00,5=12", "3-9") + ";" + Straight("1=45", "0-4") + ";");
  ClickItem(*form->lstFilter, 1);
  EXPECT_EQ(Score(1).Hint(), "45");
  EXPECT_EQ(form->cbxMin->Text(), "0");
  EXPECT_EQ(form->cbxMax->Text(), "4");

  // A score given through the picker, then the line added to the list.
  Show(3);
  Responder.OnModal([](TForm& picker) {
    Click(*picker.Get<TLabel>("lblCode12"));
    Click(*picker.Get<TLabel>("lblCode21"));
    Click(*picker.Get<TButton>("RzBitBtn1"));
  });
  Click(Score(5));
  EXPECT_EQ(Score(5).Hint(), "12 21");
  Click(*form->btnAdd);
  std::string table = "0=" + CodesMinus(CodeRangeText(0, 99), "12 21");
  for (int n = 1; n <= 100; ++n) table += "," + std::to_string(n) + "=" + (n == 5 ? "12 21" : "");
  EXPECT_EQ(Lines(), (Strings{Straight("0=00,5=12", "3-9"), Straight("1=45", "0-4"),
                              Straight(table, "2-48")}));
  EXPECT_EQ(form->lstFilter->ItemIndex(), 2);
}

VELTRIN_ON_UI_BACKENDS(CodeGradeEditorTest);

}  // namespace
}  // namespace veltrin
