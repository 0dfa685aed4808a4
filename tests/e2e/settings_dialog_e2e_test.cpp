// The Windows library end to end: the test acts as the host, loads the DLL,
// hands it a host interface and a condition text and calls SzcOpen, while a
// helper thread works the live dialog by its controls' names as a user
// would: a score given to two codes through the picker, the condition
// added, a tolerance switched on and typed in, OK. The condition text the
// host reads back holds what was done; a run that is cancelled changes
// nothing.
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "common/texts.h"
#include "support/gbk.h"
#include "tests/plugin/fake_host.h"
#include "tests/plugin/library.h"
#include "tests/support/live_dialog.h"

namespace veltrin::test {
namespace {

using namespace live;

const std::string kInitial = Straight("1=12", "0-5");

// The codes 00..99 but 12 and 21, as the grid's score-0 box lists them.
std::wstring CodesBut12And21() {
  std::wstring out;
  for (int c = 0; c < 100; ++c) {
    if (c == 12 || c == 21) continue;
    if (!out.empty()) out += L' ';
    out += wchar_t(L'0' + c / 10);
    out += wchar_t(L'0' + c % 10);
  }
  return out;
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

class SettingsDialogE2ETest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
    host.digitCount = 5;
    api().SetIIWrapper(&host);
    api().SetFilterStr(kInitial.c_str());
  }
  void TearDown() override {
    PluginTest::TearDown();
    EXPECT_EQ(host.Refs, 0);
  }

  // Runs SzcOpen with `script` driving the dialog from a helper thread. The
  // script answers what went wrong, or nothing; whatever it leaves open is
  // closed, so that the modal run always ends.
  void OpenWhile(std::string (*script)(HWND dialog)) {
    std::string failure;
    std::thread driver([&failure, script] {
      HWND dialog = WaitForTopWindow("CodeGradeFrm", GetCurrentProcessId());
      if (!dialog) {
        failure = "the settings dialog did not come up";
        return;
      }
      failure = script(dialog);
      if (!failure.empty()) {
        PostClose(WaitForTopWindow("frmSelectTwo", GetCurrentProcessId(), 0));
        PostClose(dialog);
      }
    });
    EXPECT_TRUE(api().SzcOpen(0));
    driver.join();
    EXPECT_EQ(failure, "");
  }

  CountingHost host;
};

std::string AddAConditionAndATolerance(HWND dialog) {
  // Score 5 for the codes 12 and 21, chosen in the picker the label opens.
  HWND score5 = Child(dialog, "lblCode5");
  HWND zero = Child(dialog, "edtCode0");
  if (!score5 || !zero) return "no score grid in the dialog";
  PostClick(score5);
  HWND picker = WaitForTopWindow("frmSelectTwo", GetCurrentProcessId());
  if (!picker) return "the picker did not come up";
  PostClick(Child(picker, "lblCode12"));
  PostClick(Child(picker, "lblCode21"));
  PostClick(Child(picker, "RzBitBtn1"));
  if (!WaitGone(picker)) return "the picker did not close";
  const std::wstring rest = CodesBut12And21();
  if (!WaitUntil([&] { return TextOf(zero) == rest; }))
    return "score 0 still lists: " + Narrow(TextOf(zero));

  HWND list = Child(dialog, "lstFilter");
  const int before = ListCount(list);
  PostClick(Child(dialog, "btnAdd"));
  if (!WaitUntil([&] { return ListCount(list) == before + 1; })) return "no condition was added";

  HWND low = Child(dialog, "edtCanErr1");
  HWND high = Child(dialog, "edtCanErr2");
  PostClick(Child(dialog, "chkCanErr"));
  if (!WaitUntil([&] { return IsWindowEnabled(low) && IsWindowEnabled(high); }))
    return "the tolerance boxes stayed disabled";
  PostTyping(low, L"1");
  PostTyping(high, L"3");
  if (!WaitUntil([&] { return TextOf(low) == L"1" && TextOf(high) == L"3"; }))
    return "the tolerance was not typed in";

  PostClick(Child(dialog, "btnOK"));
  if (!WaitGone(dialog)) return "OK did not close the dialog";
  return {};
}

TEST_F(SettingsDialogE2ETest, OkHandsTheEditedSettingToTheHost) {
  OpenWhile(AddAConditionAndATolerance);
  EXPECT_EQ(host.lotteryInfoCalls, 1);
  std::string table = "0=" + Narrow(CodesBut12And21());
  for (int n = 1; n <= 100; ++n) table += "," + std::to_string(n) + "=" + (n == 5 ? "12 21" : "");
  // Lists of 0..400 for five digits, "2" and "48" chosen.
  EXPECT_EQ(std::string(api().GetFilterStr()),
            "E|1-3\r\n" + kInitial + "\r\n" + Straight(table, "2-48") + "\r\n");
  // A setting the filter takes, tolerance included: 12121 fails no
  // condition (too few for 1-3, removed), 34343 scores 0 on the new one.
  ASSERT_TRUE(api().SzcPrepare());
  EXPECT_EQ(api().SzcExecute("12121"), 1);
  EXPECT_EQ(api().SzcExecute("34343"), 0);
}

TEST_F(SettingsDialogE2ETest, CloseKeepsTheSetting) {
  const std::string before = api().GetFilterStr();
  OpenWhile([](HWND dialog) -> std::string {
    PostClick(Child(dialog, "btnAdd"));
    PostClick(Child(dialog, "btnClose"));
    if (!WaitGone(dialog)) return "Close did not close the dialog";
    return {};
  });
  EXPECT_EQ(std::string(api().GetFilterStr()), before);
}

}  // namespace
}  // namespace veltrin::test

#endif
