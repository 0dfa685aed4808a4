// The tolerance boxes as a player meets them (Windows, real input through
// the modal loop): Tab to a box, empty it or fill it with what is no
// tolerance, press Enter; the pair-score dialog says what it takes and stays
// open, and only a valid tolerance reaches the condition text.
#include <gtest/gtest.h>

#if defined(_WIN32)

#include <functional>
#include <string>

#include "common/lottery.h"
#include "common/texts.h"
#include "forms/code_grade_form.h"
#include "forms/form_texts.h"
#include "forms/share_func.h"
#include "tests/support/input_driver.h"
#include "ui/services.h"
#include "ui/win32/win32.h"

namespace veltrin::test {
namespace {

using input::FocusName;
using input::PressKey;
using input::TStep;

TStep Do(std::function<void()> action) {
  return [action = std::move(action)] {
    action();
    return true;
  };
}
TStep TabTo(std::string name) {
  return [name = std::move(name)] {
    if (FocusName() == name) return true;
    PressKey(VK_TAB);
    return false;
  };
}
// The message box's text, then Enter to close it.
TStep ReadBox(std::wstring& text) {
  return Do([&text] {
    text = input::MessageBoxText();
    if (!text.empty()) PressKey(VK_RETURN);
  });
}

class ToleranceInputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ui::SetCurrentBackend(ui::Win32Backend());
    ui::SetHook(nullptr);
    TShareFunc::InstallErrorReporter();
    savedDigits_ = ChipDigitCount;
    ChipDigitCount = 3;
  }
  void TearDown() override {
    ChipDigitCount = savedDigits_;
    ui::SetErrorReporter(nullptr);
    ui::SetCurrentBackend(nullptr);
  }

 private:
  int32_t savedDigits_ = 0;
};

TEST_F(ToleranceInputTest, EnterRefusesABlankOrNonDigitsAndTakesAValidRange) {
  TCodeGradeFrm form;
  HWND low = ui::WindowOf(*form.edtCanErr1);
  HWND high = ui::WindowOf(*form.edtCanErr2);
  const std::wstring expected = ui::GbkToWide(std::string(kTxtToleranceMustBe) + "0" +
                                              kTxtToleranceTo + "10000" + kTxtToleranceTail);
  std::wstring blankBox, pastedBox, typedBox, rangeBox;
  std::string typed;
  bool openAfterBlank = false;
  input::TInputDriver driver({
      // Switch the tolerance on with the keyboard, then empty the first box.
      TabTo("chkCanErr"),
      Do([] { PressKey(VK_SPACE); }),
      TabTo("edtCanErr1"),
      Do([] { PressKey(VK_END); }),
      Do([] { PressKey(VK_BACK); }),
      Do([] { PressKey(VK_RETURN); }),
      ReadBox(blankBox),
      Do([&] { openAfterBlank = IsWindowVisible(ui::WindowOf(form)) != 0; }),
      // What automation or a paste puts there.
      Do([&] {
        SetWindowTextW(low, L"12x");
        PressKey(VK_RETURN);
      }),
      ReadBox(pastedBox),
      // Letters typed: refused by the box or by OK, never saved.
      Do([&] { SetWindowTextW(low, L""); }),
      Do([] { input::TypeChars(L"abc"); }),
      Do([&] {
        typed = form.edtCanErr1->Text();
        PressKey(VK_RETURN);
      }),
      ReadBox(typedBox),
      // Low above high.
      Do([&] {
        SetWindowTextW(low, L"9");
        SetWindowTextW(high, L"2");
        PressKey(VK_RETURN);
      }),
      ReadBox(rangeBox),
      Do([&] {
        SetWindowTextW(low, L"5");
        SetWindowTextW(high, L"7");
        PressKey(VK_RETURN);
      }),
  });
  const int32_t result = form.ShowModal();
  EXPECT_TRUE(driver.Done());
  EXPECT_EQ(blankBox, expected);
  EXPECT_TRUE(openAfterBlank);
  EXPECT_EQ(pastedBox, expected);
  if (typed.find_first_not_of("0123456789") != std::string::npos)
    EXPECT_EQ(typedBox, expected) << typed;
  EXPECT_EQ(rangeBox, ui::GbkToWide(kTxtRangeWarning));
  EXPECT_EQ(result, ui::mrOk);
  EXPECT_FALSE(form.FCancelled);
  EXPECT_EQ(form.GetSettingsText().rfind("E|5-7\r\n", 0), 0u) << form.GetSettingsText();
}

}  // namespace
}  // namespace veltrin::test

#endif
