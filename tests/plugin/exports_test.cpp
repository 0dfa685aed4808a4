// The ten exports driven the way a host drives them: the library loaded by
// path, every call through a resolved pointer, a fresh filter object for
// every test.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/texts.h"
#include "common/version.h"
#include "support/gbk.h"
#include "tests/plugin/fake_host.h"
#include "tests/plugin/library.h"
#include "tests/support/live_dialog.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace veltrin::test {
namespace {

// Three conditions that fail exactly when the bet holds the code 12, 34 or
// 56; the bets below fail 0, 1, 2 and 3 of them.
const std::string kFails12 = Straight("9=12", "0-0");
const std::string kFails34 = Straight("9=34", "0-0");
const std::string kFails56 = Straight("9=56", "0-0");
const std::string kThreeConditions = kFails12 + ";" + kFails34 + ";" + kFails56;
const char* const kBetsFailing0To3[] = {"000", "120", "1234", "123456"};

using ExportsTest = PluginTest;

TEST_F(ExportsTest, ExportsAreThePlainNames) {
  // The optional ones too: this library offers every export of the list.
  for (const TExportEntry& e : kExports) EXPECT_NE(library().Symbol(e.Name), nullptr) << e.Name;
#if defined(_WIN32)
  // __stdcall decorations must not leak into the export table.
  for (const char* name :
       {"_SzcExecute@4", "SzcExecute@4", "_SzcFltDebug@12", "SzcFltDebug@12", "_GetVersion@0"})
    EXPECT_EQ(library().Symbol(name), nullptr) << name;
  HMODULE share = GetModuleHandleA(kShareMemFileName);
  ASSERT_NE(share, nullptr);
  for (const char* name : {"ShareGetMem", "ShareFreeMem", "ShareReallocMem"})
    EXPECT_NE(reinterpret_cast<void*>(GetProcAddress(share, name)), nullptr) << name;
  EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(share, "ShareGetMem@4")), nullptr);
#else
  // The engine's own symbols stay inside the library.
  EXPECT_EQ(library().Symbol("_ZN7veltrin15TProGradeFilter3NewEv"), nullptr);
#endif
}

TEST_F(ExportsTest, FixedTextsAndAStableName) {
  EXPECT_STREQ(api().GetVersion(), kVersionText);
  ASSERT_NE(api().GetAuthor(), nullptr);
  EXPECT_STREQ(api().GetAuthor(), kTxtAuthor);
  EXPECT_EQ(api().GetAuthor(), api().GetAuthor());

  const char* name = api().GetFilterName();
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, "Veltrin");
  // The pointer outlives any use of the other exports.
  for (int i = 0; i < 50; ++i) {
    api().Use("E|0-1;" + kThreeConditions);
    api().SzcExecute("12345");
    TDebugResult r{};
    api().SzcFltDebug(&r, "12345", true);
    ReleaseDebugResult(r);
    api().SetFilterStr(nullptr);
    api().SzcPrepare();
  }
  EXPECT_EQ(api().GetFilterName(), name);
  EXPECT_STREQ(name, "Veltrin");
}

TEST_F(ExportsTest, FilterStrIsNeverNull) {
  ASSERT_NE(api().GetFilterStr(), nullptr);
  EXPECT_STREQ(api().GetFilterStr(), "");
  api().SetFilterStr(kFails12.c_str());
  EXPECT_EQ(api().GetFilterStr(), kFails12);
  api().SetFilterStr(nullptr);
  ASSERT_NE(api().GetFilterStr(), nullptr);
  EXPECT_STREQ(api().GetFilterStr(), "");
}

TEST_F(ExportsTest, SetFilterStrCopiesTheHostsText) {
  std::string buffer = kFails12;
  api().SetFilterStr(buffer.c_str());
  std::fill(buffer.begin(), buffer.end(), 'x');
  EXPECT_EQ(api().GetFilterStr(), kFails12);

  // Texts of any length travel unchanged.
  std::string longText;
  while (longText.size() < (1u << 20)) longText += kFails34 + ";";
  api().SetFilterStr(longText.c_str());
  EXPECT_EQ(api().GetFilterStr(), longText);
  EXPECT_TRUE(api().SzcPrepare());
  EXPECT_EQ(api().SzcExecute("1234"), 1);
  EXPECT_EQ(api().SzcExecute("1243"), 0);
}

TEST_F(ExportsTest, SetFilterStrParsesNothing) {
  ASSERT_TRUE(api().Use(kFails12));
  api().SetFilterStr(kFails34.c_str());
  // Still the prepared condition: 12 fails, 34 passes.
  EXPECT_EQ(api().SzcExecute("120"), 1);
  EXPECT_EQ(api().SzcExecute("340"), 0);
  ASSERT_TRUE(api().SzcPrepare());
  EXPECT_EQ(api().SzcExecute("120"), 0);
  EXPECT_EQ(api().SzcExecute("340"), 1);
}

TEST_F(ExportsTest, PrepareAnswersFalseForTextsWithoutConditions) {
  for (const char* text : {"", " ", "\r\n", " \t\r\n ", "E|0-0", "E|0-1;", "E|0-1\r\nS|0-1\r\n"}) {
    api().SetFilterStr(text);
    EXPECT_FALSE(api().SzcPrepare()) << "'" << text << "'";
  }
  api().SetFilterStr(nullptr);
  EXPECT_FALSE(api().SzcPrepare());
  EXPECT_TRUE(api().Use("E|0-1;" + kFails12 + ";"));
}

struct ToleranceCase {
  const char* tolerance;  // "" for none
  int32_t verdicts[4];    // for bets failing 0, 1, 2, 3 conditions
};

class VerdictTest : public PluginTest, public ::testing::WithParamInterface<ToleranceCase> {};

TEST_P(VerdictTest, FailingCountsMapThroughTheTolerance) {
  const ToleranceCase& c = GetParam();
  std::string text = kThreeConditions;
  if (*c.tolerance) text = std::string(c.tolerance) + ";" + text;
  ASSERT_TRUE(api().Use(text));
  for (int failing = 0; failing < 4; ++failing) {
    const char* bet = kBetsFailing0To3[failing];
    EXPECT_EQ(api().SzcExecute(bet), c.verdicts[failing]) << bet << " fails " << failing;
    TDebugResult r{};
    api().SzcFltDebug(&r, bet, false);
    EXPECT_EQ(r.ErrCount, failing) << bet;
    EXPECT_EQ(r.Verdict, c.verdicts[failing]) << "debug verdict for " << bet;
    ReleaseDebugResult(r);
  }
}

INSTANTIATE_TEST_SUITE_P(Tolerances, VerdictTest,
                         ::testing::Values(ToleranceCase{"", {0, 1, 1, 1}},
                                           ToleranceCase{"E|1-2", {1, 0, 0, 1}},
                                           ToleranceCase{"E|0-0", {0, 1, 1, 1}},
                                           ToleranceCase{"e|0-1", {0, 0, 1, 1}},
                                           ToleranceCase{"E|2-3", {1, 1, 0, 0}}));

TEST_F(ExportsTest, BetsWithStrayCharactersCannotBeEvaluated) {
  ASSERT_TRUE(api().Use("E|0-3;" + kThreeConditions));
  for (const char* bet : {"12a45", "12 45", " 12345", "12345 ", "+1234", "-1234", "12.45", "\t123",
                          "12\x7F", "12\xB0\xA1", "\xEF\xBC\x91\xEF\xBC\x92", "1/2", ":12"}) {
    EXPECT_EQ(api().SzcExecute(bet), -1) << bet;
    TDebugResult r{};
    r.ErrCount = 9;
    api().SzcFltDebug(&r, bet, true);
    EXPECT_EQ(r.DebugLines, nullptr) << bet;
    EXPECT_EQ(r.ErrCount, 0) << bet;
    EXPECT_EQ(r.Verdict, -1) << bet;
    ReleaseDebugResult(r);
  }
  // Their digit-only neighbours are evaluated.
  EXPECT_EQ(api().SzcExecute("12345"), 0);
  EXPECT_EQ(api().SzcExecute("0"), 0);
}

TEST_F(ExportsTest, EmptyAndNullBetsHaveNoCodes) {
  // No codes: the score is 0.
  ASSERT_TRUE(api().Use(Straight("9=12", "0-0")));
  EXPECT_EQ(api().SzcExecute(""), 0);
  EXPECT_EQ(api().SzcExecute(nullptr), 0);
  ASSERT_TRUE(api().Use(Straight("9=12", "1-5")));
  EXPECT_EQ(api().SzcExecute(""), 1);
  EXPECT_EQ(api().SzcExecute(nullptr), 1);

  TDebugResult r{};
  api().SzcFltDebug(&r, nullptr, true);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 1);
  EXPECT_EQ(CountedStrView(r.DebugLines[0].Value), "0");
  EXPECT_EQ(r.DebugLines[0].Failed, 1);
  ReleaseDebugResult(r);
}

TEST_F(ExportsTest, LongBetsAreScoredWhole) {
  std::string bet;
  for (int i = 0; i < 50000; ++i) bet += "12";
  // 50000 codes 12 at 9 points and 49999 codes 21 at none.
  ASSERT_TRUE(api().Use(Straight("9=12", "0-450000")));
  EXPECT_EQ(api().SzcExecute(bet.c_str()), 0);
  ASSERT_TRUE(api().Use(Straight("9=12", "0-449999")));
  EXPECT_EQ(api().SzcExecute(bet.c_str()), 1);
  TDebugResult r{};
  api().SzcFltDebug(&r, bet.c_str(), true);
  ASSERT_EQ(DynArrayLength(r.DebugLines), 1);
  EXPECT_EQ(CountedStrView(r.DebugLines[0].Value), "450000");
  ReleaseDebugResult(r);
}

TEST_F(ExportsTest, EvaluatingBeforeAnyPrepareIsSafe) {
  // Nothing prepared: no condition, so nothing fails.
  EXPECT_EQ(api().SzcExecute("12345"), 0);
  EXPECT_EQ(api().SzcExecute("12a45"), -1);
  TDebugResult r{};
  api().SzcFltDebug(&r, "12345", true);
  EXPECT_EQ(r.DebugLines, nullptr);
  EXPECT_EQ(r.ErrCount, 0);
  EXPECT_EQ(r.Verdict, 0);
  ReleaseDebugResult(r);
  api().SetFilterStr(kFails12.c_str());
  EXPECT_EQ(api().SzcExecute("120"), 0) << "set but not prepared";
}

TEST_F(ExportsTest, AFailedPrepareKeepsThePreviousSettingInForce) {
  ASSERT_TRUE(api().Use("E|1-1;" + kFails12 + ";" + kFails34));
  for (const std::string& bad : {"E|0-0;" + kFails56 + ";" + Straight("x=12", "0-0"),
                                 Straight("9=12", "-1-5"), std::string("E|0-0")}) {
    api().SetFilterStr(bad.c_str());
    EXPECT_FALSE(api().SzcPrepare()) << bad;
    // One failure kept under E|1-1; none or two removed.
    EXPECT_EQ(api().SzcExecute("120"), 0) << bad;
    EXPECT_EQ(api().SzcExecute("000"), 1) << bad;
    EXPECT_EQ(api().SzcExecute("1234"), 1) << bad;
    EXPECT_EQ(api().SzcExecute("56a"), -1) << bad;
    TDebugResult r{};
    api().SzcFltDebug(&r, "120", true);
    ASSERT_EQ(DynArrayLength(r.DebugLines), 2) << bad;
    EXPECT_EQ(CountedStrView(r.DebugLines[0].Condition), kFails12);
    EXPECT_EQ(r.Verdict, 0);
    ReleaseDebugResult(r);
  }
}

TEST_F(ExportsTest, NullDebugRecordIsIgnored) {
  ASSERT_TRUE(api().Use(kFails12));
  api().SzcFltDebug(nullptr, "120", true);
  api().SzcFltDebug(nullptr, nullptr, false);
  EXPECT_EQ(api().SzcExecute("120"), 1);
}

TEST_F(ExportsTest, UnloadingDestroysTheFilterObject) {
  api().SetFilterStr(kFails12.c_str());
  library().Unload();
  LoadedLibrary again(TestBinaryDir() + kLibraryFileName);
  ASSERT_TRUE(again.Loaded());
  Api fresh(again);
  ASSERT_TRUE(fresh.Complete());
  EXPECT_STREQ(fresh.GetFilterStr(), "");
}

// ---- the host call interface ---------------------------------------------

class HostInterfaceTest : public PluginTest {
 protected:
  CountingHost first, second;
};

TEST_F(HostInterfaceTest, TheLibraryHoldsOneReference) {
  api().SetIIWrapper(&first);
  EXPECT_EQ(first.Refs, 1);
  api().SetIIWrapper(nullptr);  // ignored: the previous one stays
  EXPECT_EQ(first.Refs, 1);
  api().SetIIWrapper(&first);  // the same one again: still one reference
  EXPECT_EQ(first.Refs, 1);
  api().SetIIWrapper(&second);
  EXPECT_EQ(first.Refs, 0);
  EXPECT_EQ(second.Refs, 1);
  library().Unload();
  EXPECT_EQ(second.Refs, 0);
  EXPECT_EQ(first.otherCalls + second.otherCalls, 0) << "no host operation was asked for";
}

TEST_F(HostInterfaceTest, NullWrapperKeepsThePreviousOneInUse) {
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
  live::TDialogCloser closer;  // the settings dialog, closed unanswered
#endif
  api().SetIIWrapper(&first);
  api().SetIIWrapper(nullptr);
  EXPECT_TRUE(api().SzcOpen(0));
  EXPECT_EQ(first.lotteryInfoCalls, 1);
  EXPECT_EQ(second.lotteryInfoCalls, 0);
}

// Natively SzcOpen only asks the host for the lottery; the Windows library
// shows its dialog, which is closed unanswered here.
TEST_F(HostInterfaceTest, OpenAnswersTrueAndKeepsTheText) {
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
  live::TDialogCloser closer;
#endif
  const std::string text = "E|0-1;" + kThreeConditions;
  api().SetFilterStr(text.c_str());
  EXPECT_TRUE(api().SzcOpen(0));  // no host interface yet
  EXPECT_EQ(api().GetFilterStr(), text);

  api().SetIIWrapper(&first);
  first.lotteryText = CountedStrNew("5 digits");
  EXPECT_TRUE(api().SzcOpen(12345));
  EXPECT_EQ(first.lotteryInfoCalls, 1);
  EXPECT_EQ(api().GetFilterStr(), text);
  EXPECT_EQ(HeaderOf(first.lotteryText)->RefCount, 1) << "the lottery text was not released";
  CountedStrRelease(first.lotteryText);

  first.lotteryInfoStatus = kE_FAIL;  // a failing host call changes nothing
  EXPECT_TRUE(api().SzcOpen(0));
  EXPECT_EQ(api().GetFilterStr(), text);
  ASSERT_TRUE(api().SzcPrepare());
  EXPECT_EQ(api().SzcExecute("1234"), 1);
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
  closer.Stop();
  EXPECT_EQ(closer.Closed(), 3) << "every SzcOpen shows the dialog";
#endif
}

}  // namespace
}  // namespace veltrin::test
