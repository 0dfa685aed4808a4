// veltrin-host run as a program, over small lotteries whose answers are
// known without the library.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "common/texts.h"
#include "plugin/exports.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"
#include "tests/support/live_dialog.h"

namespace veltrin::test {
namespace {

// 直选 in UTF-8, as a user types it.
const std::string kStraightUtf8 = "\xE7\x9B\xB4\xE9\x80\x89";
// Removes every bet that holds the code 12.
const std::string kNo12 = kStraightUtf8 + ":9=12:0-0";

// A path of the source tree as the test binary sees it.
std::string SourcePath(const std::string& relative) {
  std::string path = std::string(VELTRIN_SOURCE_DIR) + "/" + relative;
#if defined(_WIN32)
  // Wine runs the build from a Unix folder: its drive Z: is the root.
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
#endif
  return path;
}

ProcessResult Host(const std::vector<std::string>& args, const std::string& input = {}) {
  ProcessResult r = RunProcess(HostPath(), args, input);
  EXPECT_TRUE(r.started) << "cannot start " << HostPath();
  return r;
}

// The value after "key: " in the summary, or -1.
long long SummaryValue(const std::string& err, const std::string& key) {
  for (const std::string& line : Lines(err))
    if (line.rfind(key + ": ", 0) == 0) return std::atoll(line.c_str() + key.size() + 2);
  return -1;
}

// Every N-digit bet that does not hold the code 12.
std::vector<std::string> BetsWithout12(int digits) {
  std::vector<std::string> out;
  int total = 1;
  for (int i = 0; i < digits; ++i) total *= 10;
  for (int n = 0; n < total; ++n) {
    std::string bet = std::to_string(n);
    bet.insert(0, size_t(digits) - bet.size(), '0');
    if (bet.find("12") == std::string::npos) out.push_back(bet);
  }
  return out;
}

TEST(HostProcessTest, FiltersEveryBetOfASmallLottery) {
  ProcessResult r = Host({"filter", "--digits", "3", "--condition", kNo12});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Lines(r.out), BetsWithout12(3));
  EXPECT_EQ(SummaryValue(r.err, "candidates"), 1000);
  EXPECT_EQ(SummaryValue(r.err, "kept"), 980);
  EXPECT_EQ(SummaryValue(r.err, "removed"), 20);
  EXPECT_EQ(SummaryValue(r.err, "could not be evaluated"), 0);
  EXPECT_NE(r.err.find("time: "), std::string::npos);
  EXPECT_NE(r.err.find(" bets/s"), std::string::npos);
}

TEST(HostProcessTest, SettingsFileWithToleranceLine) {
  // GBK bytes, section [过滤], ";" for line ends, as the dialogs save it.
  const std::string flt = ScratchPath("setting.flt");
  WriteFileBytes(flt, std::string("; comment\r\n[") + kTxtFltSection + "]\r\nVeltrin=E|1-1;" +
                          kTxtModeStraight + ":9=12:0-0;" + kTxtModeStraight + ":9=34:0-0;\r\n");
  ProcessResult r =
      Host({"filter", "--digits", "4", "--settings", flt, "--out", ScratchPath("kept.txt")});
  std::remove(flt.c_str());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  // Exactly one of the codes 12 and 34: 12xx, x12x, xx12 minus doubles,
  // against the same for 34, minus 1234 and 3412 which hold both.
  const long long with12 = 10 * 10 * 3 - 1, with34 = with12;
  EXPECT_EQ(SummaryValue(r.err, "kept"), (with12 - 2) + (with34 - 2));
  EXPECT_EQ(SummaryValue(r.err, "candidates"), 10000);
}

TEST(HostProcessTest, KeptBetsGoToTheOutFile) {
  const std::string out = ScratchPath("kept.txt");
  ProcessResult r = Host({"filter", "--digits", "2", "--condition", kNo12, "--out", out});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(Lines(ReadFileBytes(out)), BetsWithout12(2));
  std::remove(out.c_str());
}

TEST(HostProcessTest, BetsFromStandardInputWithStrayCharacters) {
  // The first bet sets the length: "1 2" (12) and "0" have another and are
  // counted apart, not scored.
  const std::string input = "121\r\nabc\n1 2\n\n 345 \n999\n12\xB0\xA1\n0";
  ProcessResult r = Host({"filter", "--condition", kNo12, "--bets", "-"}, input);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"345", "999"}));
  EXPECT_EQ(SummaryValue(r.err, "candidates"), 5);
  EXPECT_EQ(SummaryValue(r.err, "kept"), 2);
  EXPECT_EQ(SummaryValue(r.err, "removed"), 1);
  EXPECT_EQ(SummaryValue(r.err, "could not be evaluated"), 2);
  EXPECT_EQ(SummaryValue(r.err, "other length"), 2);
  EXPECT_NE(r.err.find("line 2: 'abc'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("line 3: '12' has 2 digits, not 3"), std::string::npos) << r.err;
}

TEST(HostProcessTest, BundledExampleKeepsASensibleShare) {
  ProcessResult r =
      Host({"filter", "--settings", SourcePath("examples/veltrin-example.flt"), "--quiet"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const size_t kept = Lines(r.out).size();
  EXPECT_GT(kept, 20000u);
  EXPECT_LT(kept, 80000u);
  EXPECT_TRUE(r.err.empty()) << r.err;
}

TEST(HostProcessTest, DebugExplainsBetsInUtf8) {
  const std::string first = kStraightUtf8 + ":0=00 01 02,1=12 21,2=:2-48";
  const std::string condition = "E|1-2;" + first + ";" + kStraightUtf8 + ":9=12:0-5";
  ProcessResult r = Host({"debug", "--condition", condition, "12121", "1a345"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::vector<std::string> lines = Lines(r.out);
  // The tolerance in plain text: 本容:1-2; 超容(无)
  const std::vector<std::string> expected = {
      "bet 12121: keep (0), 1 failed; tolerance \xE6\x9C\xAC\xE5\xAE\xB9:1-2; "
      "\xE8\xB6\x85\xE5\xAE\xB9(\xE6\x97\xA0)",
      "    #   score  range       result  codes (code:score)",
      "    1       4  2-48        pass    12:1 21:1 12:1 21:1",
      "    2      18  0-5         FAIL    12:9 21:0 12:9 21:0",
      "bet 1a345: cannot be evaluated (-1): it holds a character other than 0-9",
  };
  EXPECT_EQ(lines, expected) << r.out;
  EXPECT_EQ(r.out.find('<'), std::string::npos);

  // Only the failing condition, under its own number, with its whole text.
  r = Host({"debug", "--only-failed", "--full", "--condition", condition, "12121"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("    2      18  0-5         FAIL    12:9 21:0 12:9 21:0\n       " +
                       kStraightUtf8 + ":9=12:0-5\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(r.out.find(first), std::string::npos) << r.out;
}

// "open" natively has no dialog to show; on Windows the library's dialog
// comes up in the host's process and is closed unanswered.
TEST(HostProcessTest, OpenThatChangesNothingKeepsTheSetting) {
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
  live::TDialogCloser closer(0);
#endif
#if defined(_WIN32)
  const char* said = "unchanged";
#else
  const char* said = "no settings dialog";
#endif
  ProcessResult r = Host({"open", "--condition", "E|0-1;" + kNo12});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.err.find(said), std::string::npos) << r.err;

  // A settings file is left exactly as it was, byte for byte.
  const std::string flt = ScratchPath("open.flt");
  const std::string bytes = std::string("[") + kTxtFltSection + "]\r\nVeltrin=E|1-1;" +
                            kTxtModeStraight + ":9=12:0-0;\r\n\r\n[other]\r\nkey=1";
  WriteFileBytes(flt, bytes);
  r = Host({"open", "--settings", flt, "--quiet-aides"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(r.out.empty()) << r.out;
  EXPECT_NE(r.err.find(said), std::string::npos) << r.err;
  EXPECT_EQ(ReadFileBytes(flt), bytes);
  std::remove(flt.c_str());
#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
  closer.Stop();
  EXPECT_EQ(closer.Closed(), 2);
#endif
}

#if defined(_WIN32) && defined(VELTRIN_WITH_DIALOGS)
// The dialog worked from outside the host's process: a tolerance switched
// on and typed in, OK. The host prints the new setting and saves it where
// it read it from, keeping the file's other sections.
TEST(HostProcessTest, OpenSavesWhatTheDialogConfirms) {
  const std::string flt = ScratchPath("confirmed.flt");
  WriteFileBytes(flt, std::string("[") + kTxtFltSection + "]\r\nVeltrin=" + kTxtModeStraight +
                          ":9=12:0-0;\r\n\r\n[other]\r\nkey=1\r\n");
  std::string failure;
  std::thread driver([&failure] {
    using namespace live;
    HWND dialog = WaitForTopWindow("CodeGradeFrm", 0);
    if (!dialog) {
      failure = "the settings dialog did not come up";
      return;
    }
    HWND low = Child(dialog, "edtCanErr1");
    HWND high = Child(dialog, "edtCanErr2");
    PostClick(Child(dialog, "chkCanErr"));
    if (WaitUntil([&] { return IsWindowEnabled(low) && IsWindowEnabled(high); })) {
      PostTyping(low, L"2");
      PostTyping(high, L"4");
      if (!WaitUntil([&] { return TextOf(low) == L"2" && TextOf(high) == L"4"; }))
        failure = "the tolerance was not typed in";
    } else {
      failure = "the tolerance boxes stayed disabled";
    }
    PostClick(Child(dialog, failure.empty() ? "btnOK" : "btnClose"));
    if (!WaitGone(dialog)) PostClose(dialog);
  });
  ProcessResult r = Host({"open", "--settings", flt, "--quiet-aides"});
  driver.join();
  EXPECT_EQ(failure, "");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "E|2-4;" + kNo12 + ";\n");
  EXPECT_NE(r.err.find("saved to"), std::string::npos) << r.err;
  const std::string saved = ReadFileBytes(flt);
  EXPECT_NE(saved.find("Veltrin=E|2-4;" + std::string(kTxtModeStraight) + ":9=12:0-0;"),
            std::string::npos)
      << saved;
  EXPECT_NE(saved.find("[other]\r\nkey=1"), std::string::npos) << saved;
  std::remove(flt.c_str());
}
#endif

TEST(HostProcessTest, FailuresAreReportedWithAStatus) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  };
  const std::vector<Case> cases = {
      {{"filter", "--condition", kStraightUtf8 + ":x=12:0-0"}, 1, "not valid"},
      {{"filter", "--condition", "   "}, 1, "not valid"},
      {{"filter", "--settings", ScratchPath("missing.flt")}, 1, "not found"},
      {{"filter", "--condition", kNo12, "--library", ScratchPath("missing.so")}, 1, "cannot load"},
      {{"filter", "--condition", kNo12, "--bets", ScratchPath("missing.txt")}, 1, "cannot open"},
      {{"table", "--history", ScratchPath("missing.txt")}, 1, "history"},
      {{"filter", "--digits", "0"}, 2, "--digits"},
      {{"filter", "--frobnicate"}, 2, "unknown option"},
      {{"frobnicate"}, 2, "unknown command"},
      {{"debug", "--condition", kNo12}, 2, "needs bets"},
  };
  for (const Case& c : cases) {
    ProcessResult r = Host(c.args);
    EXPECT_EQ(r.exitCode, c.status) << c.args[1] << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
}

TEST(HostProcessTest, HelpListsTheOptions) {
  ProcessResult r = Host({"--help"});
  ASSERT_EQ(r.exitCode, 0);
  for (const char* option : {"--digits", "--settings", "--condition", "--bets", "--out",
                             "--history", "--keep-share", "--library", "--quiet-aides", "--help"})
    EXPECT_NE(r.out.find(option), std::string::npos) << option;
}

}  // namespace
}  // namespace veltrin::test
