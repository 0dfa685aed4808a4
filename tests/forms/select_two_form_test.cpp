// The two-code picker on every backend: the grid of code labels, the codes
// on offer and the codes marked, the limit of 99 with its message, the
// selection in ascending order, and OK and Cancel of the modal run.
#include "forms/select_two_form.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/text.h"
#include "common/texts.h"
#include "forms/two_code_frame.h"
#include "tests/support/ui_fixture.h"
#include "ui/automation.h"

namespace veltrin {
namespace {

using namespace ui;
using test::UiBackendTest;

std::string TwoDigits(int code) { return (code < 10 ? "0" : "") + std::to_string(code); }

class SelectTwoTest : public UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    picker = std::make_unique<TfrmSelectTwo>();
    picker->InitLabels();
  }
  void TearDown() override {
    picker.reset();
    UiBackendTest::TearDown();
  }
  TLabel& Code(int code) { return *picker->Get<TLabel>("lblCode" + std::to_string(code)); }
  bool IsSelected(int code) { return Code(code).Color() == clFuchsia; }
  // The codes whose labels can be clicked, as a code text.
  std::string Enabled() {
    std::string out;
    for (int c = 0; c < 100; ++c)
      if (Code(c).Enabled()) out += (out.empty() ? "" : " ") + TwoDigits(c);
    return out;
  }

  std::unique_ptr<TfrmSelectTwo> picker;
};

TEST_P(SelectTwoTest, GridOfCodeLabels) {
  EXPECT_EQ(picker->Caption(), kTxtPickerCaption);
  EXPECT_EQ(picker->Font().Height, 12);  // TfrmBase's look
  // Row by row 01..10, ..., 91..99, and 00 in the last cell.
  for (int cell = 0; cell < 100; ++cell) {
    const int row = cell / 10, col = cell % 10, code = (cell + 1) % 100;
    TLabel& label = Code(code);
    SCOPED_TRACE(label.Name());
    EXPECT_EQ(label.Caption(), TwoDigits(code));
    EXPECT_EQ(label.Hint(), TwoDigits(code));
    EXPECT_EQ(label.Left(), 2 + 24 * col);
    // Adjusted: the last row keeps the same 3-pixel gap as every other.
    EXPECT_EQ(label.Top(), 5 + 24 * row);
    EXPECT_GE(label.Width(), 22);
    EXPECT_LE(label.Width(), 23);
    EXPECT_EQ(label.Height(), 21);
    EXPECT_EQ(label.HelpContext(), 301);
    EXPECT_EQ(label.FontColor(), clNavy);
    EXPECT_TRUE(label.Desc().Flags & kHandCursor);
    EXPECT_TRUE(label.Desc().Flags & kTextCenter);
    EXPECT_TRUE(label.Desc().Flags & kGroove);
    // InitLabels: entry c is the label of code c, all visible, none marked.
    EXPECT_EQ(picker->CodeLabels[size_t(code)], &label);
    EXPECT_TRUE(label.Visible());
    EXPECT_TRUE(label.Enabled());
    EXPECT_EQ(label.Color(), clBtnFace);
  }
  EXPECT_EQ(picker->MaxSelect, 99);
  EXPECT_EQ(picker->SelectedColor, clFuchsia);
  EXPECT_EQ(picker->NormalColor, clBtnFace);

  TButton& ok = *picker->Get<TButton>("RzBitBtn1");
  TButton& cancel = *picker->Get<TButton>("RzBitBtn2");
  EXPECT_EQ(ok.Caption(), kTxtPickerOK);
  EXPECT_EQ(cancel.Caption(), kTxtPickerCancel);
  // Adjusted: under the grid with a gap, their right edge on the grid's.
  const TLabel& last = Code(0);
  EXPECT_EQ((std::array{ok.Left(), ok.Top(), ok.Width()}), (std::array{109, 250, 63}));
  EXPECT_EQ((std::array{cancel.Left(), cancel.Top(), cancel.Width()}), (std::array{178, 250, 63}));
  EXPECT_EQ(cancel.Left() + cancel.Width(), last.Left() + last.Width());
  EXPECT_GE(ok.Top() - (last.Top() + last.Height()), 6);
  EXPECT_LE(cancel.Top() + cancel.Height(), picker->ClientHeight());
  EXPECT_LE(cancel.Left() + cancel.Width(), picker->ClientWidth());
  EXPECT_EQ(ok.ModalResult(), mrOk);
  EXPECT_EQ(cancel.ModalResult(), mrCancel);
}

TEST_P(SelectTwoTest, AvailableCodes) {
  picker->SetAvailable("00 12 21", true);
  EXPECT_EQ(Enabled(), "00 12 21");
  // Blanks around the text are trimmed before the codes are counted.
  picker->SetAvailable("  05 99 \r\n", true);
  EXPECT_EQ(Enabled(), "05 99");
  // With flag false every code but the listed ones can be chosen.
  picker->SetAvailable("00 12 21", false);
  EXPECT_EQ(picker->CodeLabels.size(), 100u);
  EXPECT_FALSE(Code(0).Enabled());
  EXPECT_FALSE(Code(12).Enabled());
  EXPECT_FALSE(Code(21).Enabled());
  EXPECT_TRUE(Code(1).Enabled());
  EXPECT_TRUE(Code(99).Enabled());
  picker->SetAvailable("", true);
  EXPECT_EQ(Enabled(), "");

  // Numbers that are no code are passed over; a pair that is no integer
  // text raises, after the codes before it took effect.
  picker->EnableAll(false);
  picker->EnableCode(-1, true);
  picker->EnableCode(100, true);
  EXPECT_EQ(Enabled(), "");
  EXPECT_THROW(picker->SetAvailable("07 ab 08", true), EConvertError);
  EXPECT_EQ(Enabled(), "07");
}

TEST_P(SelectTwoTest, SelectedCodesWithAnySeparator) {
  picker->SetAvailable("00 12 21", true);
  EXPECT_TRUE(picker->SetSelected("12 21"));
  EXPECT_TRUE(IsSelected(12));
  EXPECT_TRUE(IsSelected(21));
  EXPECT_EQ(picker->GetSelected(), "12 21");
  EXPECT_EQ(picker->SelectedCount(), 2);

  for (const char* text : {"1221", "12,21", "x12-21y", "12 2"}) {
    SCOPED_TRACE(text);
    picker->InitLabels();
    picker->SetAvailable("00 12 21", true);
    EXPECT_TRUE(picker->SetSelected(text));
    EXPECT_EQ(picker->GetSelected(), text == std::string("12 2") ? "12" : "12 21");
  }

  // A code that is not on offer is not marked.
  picker->InitLabels();
  picker->SetAvailable("00 12 21", true);
  EXPECT_TRUE(picker->SetSelected("35"));
  EXPECT_FALSE(IsSelected(35));
  EXPECT_EQ(picker->GetSelected(), "");
  EXPECT_EQ(picker->SelectedCount(), 0);

  EXPECT_EQ(TfrmSelectTwo::DigitsOnly("a1 2,3\xB6\xD4-4"), "1234");
  EXPECT_TRUE(TfrmSelectTwo::IsValidCode(0));
  EXPECT_TRUE(TfrmSelectTwo::IsValidCode(99));
  EXPECT_FALSE(TfrmSelectTwo::IsValidCode(-1));
  EXPECT_FALSE(TfrmSelectTwo::IsValidCode(100));
}

TEST_P(SelectTwoTest, ClicksToggleOnlyCodesOnOffer) {
  picker->SetAvailable("00 12 21", true);
  picker->SetSelected("12");
  Click(Code(21));
  EXPECT_TRUE(IsSelected(21));
  Click(Code(12));
  EXPECT_FALSE(IsSelected(12));
  EXPECT_EQ(Code(12).Color(), clBtnFace);
  // Disabled labels receive no clicks.
  Click(Code(35));
  EXPECT_FALSE(IsSelected(35));
  EXPECT_EQ(picker->GetSelected(), "21");
  EXPECT_TRUE(Responder.Messages.empty());
}

TEST_P(SelectTwoTest, ZeroComesFirst) {
  Click(Code(99));
  Click(Code(0));
  EXPECT_EQ(picker->GetSelected(), "00 99");
}

TEST_P(SelectTwoTest, HiddenCodesAreNotSelected) {
  picker->SetSelected("03 60 75");
  picker->SetVisibleCount(60);
  EXPECT_TRUE(Code(59).Visible());
  EXPECT_FALSE(Code(60).Visible());
  EXPECT_EQ(picker->GetSelected(), "03");
  EXPECT_EQ(picker->SelectedCount(), 1);
}

TEST_P(SelectTwoTest, AtMost99Codes) {
  // SetSelected itself is not limited: all hundred can be marked.
  picker->SetSelected(CodeRangeText(0, 99));
  EXPECT_EQ(picker->SelectedCount(), 100);

  picker->InitLabels();
  picker->SetSelected(CodeRangeText(1, 99));
  ASSERT_EQ(picker->SelectedCount(), 99);
  Click(Code(0));
  EXPECT_FALSE(IsSelected(0));
  EXPECT_EQ(picker->SelectedCount(), 99);
  ASSERT_EQ(Responder.Messages.size(), 1u);
  const auto& m = Responder.Messages[0];
  EXPECT_EQ(m.Kind, TMsgKind::Info);
  EXPECT_EQ(m.Buttons, TMsgButtons::Ok);
  EXPECT_EQ(m.Caption, kTxtSysCaption);
  // 对不起，您最多只能选择 99 个号码！
  EXPECT_EQ(m.Text,
            "\xB6\xD4\xB2\xBB\xC6\xF0\xA3\xAC\xC4\xFA\xD7\xEE\xB6\xE0\xD6\xBB\xC4\xDC"
            "\xD1\xA1\xD4\xF1 99 \xB8\xF6\xBA\xC5\xC2\xEB\xA3\xA1");

  // A selected code still unselects at the limit, and then there is room.
  Click(Code(42));
  EXPECT_FALSE(IsSelected(42));
  Click(Code(0));
  EXPECT_TRUE(IsSelected(0));
  EXPECT_EQ(picker->SelectedCount(), 99);
  EXPECT_EQ(Responder.Messages.size(), 1u);
}

TEST_P(SelectTwoTest, OkGivesTheSelection) {
  picker->SetAvailable("00 12 21", true);
  picker->SetSelected("21");
  Responder.OnModal([this](TForm& form) {
    EXPECT_EQ(&form, picker.get());
    Click(Code(12));
    Click(Code(35));  // not on offer
    Click(*form.Get<TButton>("RzBitBtn1"));
  });
  EXPECT_EQ(picker->ShowModal(), mrOk);
  EXPECT_EQ(picker->GetSelected(), "12 21");
  EXPECT_EQ(Responder.ModalForms, std::vector<std::string>{"frmSelectTwo"});
}

TEST_P(SelectTwoTest, CancelAndEscape) {
  Responder.OnModal([this](TForm& form) {
    Click(Code(12));
    Click(*form.Get<TButton>("RzBitBtn2"));
  });
  EXPECT_EQ(picker->ShowModal(), mrCancel);
  Responder.OnModal([](TForm& form) { PressFormKey(form, TFormKey::Escape); });
  EXPECT_EQ(picker->ShowModal(), mrCancel);
  Responder.OnModal([](TForm& form) { PressFormKey(form, TFormKey::Enter); });
  EXPECT_EQ(picker->ShowModal(), mrOk);
}

VELTRIN_ON_UI_BACKENDS(SelectTwoTest);

}  // namespace
}  // namespace veltrin
