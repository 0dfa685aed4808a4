// The score grid on every backend: its controls, the score-table text after
// a reset, loading and writing back, groups that name no score or no code,
// and clicks through the picker that move codes between a score and score 0.
#include "forms/two_code_frame.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/text.h"
#include "forms/base_form.h"
#include "tests/support/ui_fixture.h"
#include "ui/automation.h"

namespace veltrin {
namespace {

using namespace ui;
using test::UiBackendTest;

constexpr TColor kAssigned = 0xF0CAA6;

// "1=,2=,...,100=": the groups of a grid with no score given.
std::string EmptyScores(int from = 1) {
  std::string out;
  for (int n = from; n <= 100; ++n) out += std::to_string(n) + "=" + (n < 100 ? "," : "");
  return out;
}

class TwoCodeFrameTest : public UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    host = std::make_unique<TfrmBase>("frmGridHost");
    host->SetClientSize(260, 320);
    frame = std::make_unique<TTwoGradeFrame>(*host, "TwoGradeFrame1", "", 8, 13);
    frame->InitLabels();
  }
  void TearDown() override {
    frame.reset();
    host.reset();
    UiBackendTest::TearDown();
  }
  TLabel& Score(int n) { return *frame->Get<TLabel>("lblCode" + std::to_string(n)); }
  std::string Zero() { return frame->edtCode0->Text(); }
  // The picker's label of a code, inside a modal run.
  static TLabel& PickerCode(TForm& picker, int code) {
    return *picker.Get<TLabel>("lblCode" + std::to_string(code));
  }

  std::unique_ptr<TfrmBase> host;
  std::unique_ptr<TTwoGradeFrame> frame;
};

TEST_P(TwoCodeFrameTest, Controls) {
  TPanel& panel = *frame->Container();
  EXPECT_EQ(panel.Name(), "TwoGradeFrame1");
  EXPECT_EQ((std::array{panel.Left(), panel.Top(), panel.Width(), panel.Height()}),
            (std::array{8, 13, 242, 296}));
  TEdit& zero = *frame->edtCode0;
  EXPECT_EQ((std::array{zero.Left(), zero.Top(), zero.Width(), zero.Height()}),
            (std::array{2, 6, 237, 21}));
  EXPECT_TRUE(zero.ReadOnly());
  EXPECT_TRUE(zero.ShowHint());
  EXPECT_EQ(zero.Color(), clInfoBk);
  for (int n = 1; n <= 100; ++n) {
    TLabel& label = Score(n);
    SCOPED_TRACE(label.Name());
    EXPECT_EQ(label.Caption(), n < 10 ? "0" + std::to_string(n) : std::to_string(n));
    EXPECT_EQ(label.Left(), 2 + 24 * ((n - 1) % 10));
    EXPECT_EQ(label.Top(), 53 + 24 * ((n - 1) / 10));
    EXPECT_GE(label.Width(), 22);
    EXPECT_LE(label.Width(), 23);
    EXPECT_EQ(label.Height(), 21);
    EXPECT_EQ(label.HelpContext(), 301);
    EXPECT_EQ(label.FontColor(), clNavy);
    EXPECT_TRUE(label.Desc().Flags & kHandCursor);
    EXPECT_TRUE(label.Desc().Flags & kGroove);
    EXPECT_EQ(frame->ScoreLabels[size_t(n)], &label);
  }
}

TEST_P(TwoCodeFrameTest, TextAfterReset) {
  const std::string all = CodeRangeText(0, 99);
  EXPECT_EQ(frame->GetGradeText(), "0=" + all + "," + EmptyScores());
  EXPECT_EQ(frame->edtCode0->Hint(), all);
  EXPECT_EQ(frame->VisibleCount, 100);
  EXPECT_EQ(frame->AssignedColor, kAssigned);
  EXPECT_EQ(frame->NormalColor, clBtnFace);
  for (int n = 1; n <= 100; ++n) {
    EXPECT_EQ(Score(n).Hint(), "");
    EXPECT_TRUE(Score(n).ShowHint());
    EXPECT_EQ(Score(n).Color(), clBtnFace);
  }
  EXPECT_EQ(frame->GetAssignedCodes(), "");

  // A second reset clears what was loaded.
  frame->SetGradeText("0=00,5=12");
  frame->InitLabels();
  EXPECT_EQ(frame->GetGradeText(), "0=" + all + "," + EmptyScores());
}

TEST_P(TwoCodeFrameTest, LoadAndWriteBack) {
  frame->SetGradeText("0=00 01,5=12 21");
  EXPECT_EQ(Zero(), "00 01");
  EXPECT_EQ(Score(5).Hint(), "12 21");
  EXPECT_EQ(Score(5).Color(), kAssigned);
  EXPECT_EQ(Score(4).Color(), clBtnFace);
  EXPECT_EQ(frame->GetGradeText(), "0=00 01,1=,2=,3=,4=,5=12 21," + EmptyScores(6));

  // Groups that name no label keep their labels as they were.
  frame->SetGradeText("100=99");
  EXPECT_EQ(Score(5).Hint(), "12 21");
  EXPECT_EQ(Score(100).Hint(), "99");
  EXPECT_EQ(frame->GetAssignedCodes(), "12 21 99");

  frame->SetGradeText("5=");
  EXPECT_EQ(Score(5).Hint(), "");
  EXPECT_EQ(Score(5).Color(), clBtnFace);
  EXPECT_EQ(Zero(), "00 01");

  // What the grid writes, it reads back to the same text.
  frame->InitLabels();
  frame->SetGradeText(" 0=00 02 , 7=05 06 07,\r\n3=01 ,,");
  const std::string written = frame->GetGradeText();
  EXPECT_EQ(written, "0=00 02,1=,2=,3=01,4=,5=,6=,7=05 06 07," + EmptyScores(8));
  frame->InitLabels();
  frame->SetGradeText(written);
  EXPECT_EQ(frame->GetGradeText(), written);
  // Assigned codes come in label order, not sorted.
  EXPECT_EQ(frame->GetAssignedCodes(), "01 05 06 07");
}

TEST_P(TwoCodeFrameTest, TextWithoutScoresChangesNothing) {
  frame->SetGradeText("5=12");
  const std::string before = frame->GetGradeText();
  for (const char* text : {"", "12 21", "=5", "=", "=5,6=12"}) {
    SCOPED_TRACE(text);
    frame->SetGradeText(text);
    EXPECT_EQ(frame->GetGradeText(), before);
  }
}

TEST_P(TwoCodeFrameTest, GroupsWithoutLabelOrMarkAreIgnored) {
  frame->SetGradeText("0=00 01,5=12");
  const std::string before = frame->GetGradeText();
  for (const char* text :
       {"00=12", "150=12", "101=12", "-3=12", "5=123 -1 99", "5=-1", "5=100", "5=7", "5=007",
        "5=12  21", "5= 12", "5=12 2", "0=00 100", "0=-1", "5=12\t21",
        "5=01\x01"
        "02"}) {
    SCOPED_TRACE(text);
    frame->SetGradeText(text);
    EXPECT_EQ(frame->GetGradeText(), before);
  }
  // The groups that fit are loaded around the ones that do not.
  frame->SetGradeText("150=33,6=34,5=12 123,0=01");
  EXPECT_EQ(Score(6).Hint(), "34");
  EXPECT_EQ(Score(5).Hint(), "12");
  EXPECT_EQ(Zero(), "01");
}

TEST_P(TwoCodeFrameTest, ConversionErrorsKeepWhatWasRead) {
  EXPECT_THROW(frame->SetGradeText("6=33,x=1,7=44"), EConvertError);
  EXPECT_EQ(Score(6).Hint(), "33");
  EXPECT_EQ(Score(7).Hint(), "");
  EXPECT_THROW(frame->SetGradeText("8=12 ab"), EConvertError);
  EXPECT_EQ(Score(8).Hint(), "");
  // A group without "=" is its own score and code text.
  frame->SetGradeText("9=12,21");
  EXPECT_EQ(Score(21).Hint(), "21");
  EXPECT_THROW(frame->SetGradeText("9=12,12 21"), EConvertError);
}

TEST_P(TwoCodeFrameTest, HiddenScoresAreLeftOut) {
  frame->SetGradeText("1=05 06,3=01,2=");
  EXPECT_EQ(frame->GetAssignedCodes(), "05 06 01");
  frame->SetVisibleCount(2);
  EXPECT_EQ(frame->VisibleCount, 2);
  EXPECT_TRUE(Score(2).Visible());
  EXPECT_FALSE(Score(3).Visible());
  EXPECT_EQ(frame->GetAssignedCodes(), "05 06");
  EXPECT_EQ(frame->GetGradeText(), "0=" + CodeRangeText(0, 99) + ",1=05 06,2=,");
}

TEST_P(TwoCodeFrameTest, PickerMovesCodesBetweenScoreAndZero) {
  frame->SetGradeText("0=00 01 02,3=12,4=50");
  Responder.OnModal([](TForm& picker) {
    // Only the free codes and the label's own are on offer; its own are marked.
    std::string offered;
    for (int c = 0; c < 100; ++c)
      if (PickerCode(picker, c).Enabled()) offered += std::to_string(c) + " ";
    EXPECT_EQ(offered, "0 1 2 12 ");
    EXPECT_EQ(PickerCode(picker, 12).Color(), clFuchsia);
    EXPECT_EQ(PickerCode(picker, 1).Color(), clBtnFace);
    Click(PickerCode(picker, 1));
    Click(PickerCode(picker, 50));  // another score's code cannot be taken
    Click(*picker.Get<TButton>("RzBitBtn1"));
  });
  Click(Score(3));
  EXPECT_EQ(Responder.ModalForms, std::vector<std::string>{"frmSelectTwo"});
  EXPECT_EQ(Score(3).Hint(), "01 12");
  EXPECT_EQ(Score(3).Color(), kAssigned);
  EXPECT_EQ(Zero(), "00 02");
  EXPECT_EQ(Score(4).Hint(), "50");

  // Choosing nothing returns the codes to score 0.
  Responder.OnModal([](TForm& picker) {
    Click(PickerCode(picker, 1));
    Click(PickerCode(picker, 12));
    Click(*picker.Get<TButton>("RzBitBtn1"));
  });
  Click(Score(3));
  EXPECT_EQ(Score(3).Hint(), "");
  EXPECT_EQ(Score(3).Color(), clBtnFace);
  EXPECT_EQ(Zero(), "00 01 02 12");
  EXPECT_EQ(frame->GetGradeText(), "0=00 01 02 12,1=,2=,3=,4=50," + EmptyScores(5));
  EXPECT_TRUE(Responder.ScriptUsedUp());
}

TEST_P(TwoCodeFrameTest, EveryScoreLabelOpensThePicker) {
  Responder.OnModal([](TForm& picker) {
    Click(PickerCode(picker, 0));
    Click(PickerCode(picker, 99));
    Click(*picker.Get<TButton>("RzBitBtn1"));
  });
  Click(Score(100));
  EXPECT_EQ(Score(100).Hint(), "00 99");
  EXPECT_EQ(Zero(), CodeRangeText(1, 98));
}

TEST_P(TwoCodeFrameTest, CancelChangesNothing) {
  frame->SetGradeText("0=00 01 02,3=12");
  const std::string before = frame->GetGradeText();
  Responder.OnModal([](TForm& picker) {
    Click(PickerCode(picker, 0));
    Click(PickerCode(picker, 12));
    Click(*picker.Get<TButton>("RzBitBtn2"));
  });
  Click(Score(3));
  Responder.OnModal([](TForm& picker) {
    Click(PickerCode(picker, 1));
    PressFormKey(picker, TFormKey::Escape);
  });
  Click(Score(3));
  EXPECT_EQ(frame->GetGradeText(), before);
  EXPECT_EQ(Score(3).Color(), kAssigned);
  EXPECT_EQ(Responder.ModalForms.size(), 2u);
}

VELTRIN_ON_UI_BACKENDS(TwoCodeFrameTest);

}  // namespace
}  // namespace veltrin
