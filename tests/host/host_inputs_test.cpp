// veltrin-host run as a program over the files people have (bets written
// in several ways, histories, settings files in UTF-8) and the outputs they
// use (removed bets, rows of scores).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/texts.h"
#include "host/io.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

const std::string kStraightUtf8 = "\xE7\x9B\xB4\xE9\x80\x89";
const std::string kSectionUtf8 = "\xE8\xBF\x87\xE6\xBB\xA4";
const std::string kNo12 = kStraightUtf8 + ":9=12:0-0";

ProcessResult Host(const std::vector<std::string>& args, const std::string& input = {}) {
  ProcessResult r = RunProcess(HostPath(), args, input);
  EXPECT_TRUE(r.started);
  return r;
}

long long SummaryValue(const std::string& err, const std::string& key) {
  for (const std::string& line : Lines(err))
    if (line.rfind(key + ": ", 0) == 0) return std::atoll(line.c_str() + key.size() + 2);
  return -1;
}

TEST(HostInputsTest, BetsAreReadAsTheDigitsTheyMean) {
  struct Case {
    const char* label;
    std::string input;
    std::vector<std::string> kept;
    long long removed;
  } cases[] = {
      {"apart",
       "\xEF\xBB\xBF"
       "1 2 3\r\n4,5,6\r\n7\t8\t9\r\n",
       {"456", "789"},
       1},
      {"history", "# draws\n2024001 123\n2024002 456\n2024003\t7 8 9\n", {"456", "789"}, 1},
      {"plain", "123\n456\n789", {"456", "789"}, 1},
  };
  for (const Case& c : cases) {
    ProcessResult r = Host({"filter", "--condition", kNo12, "--bets", "-"}, c.input);
    ASSERT_EQ(r.exitCode, 0) << c.label << ": " << r.err;
    EXPECT_EQ(Lines(r.out), c.kept) << c.label;
    EXPECT_EQ(SummaryValue(r.err, "removed"), c.removed) << c.label;
    EXPECT_EQ(SummaryValue(r.err, "could not be evaluated"), 0) << c.label << r.err;
  }
}

TEST(HostInputsTest, BadLinesAreCountedAndTheFirstFewShown) {
  std::string input = "12345\n";
  for (int i = 0; i < 4; ++i) input += "1234\n";   // another length
  for (int i = 0; i < 3; ++i) input += "12a45\n";  // not 0-9
  input += "20240 123 45\n";                       // cannot tell the digits
  ProcessResult r = Host({"filter", "--digits", "5", "--condition", kNo12, "--bets", "-"}, input);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(SummaryValue(r.err, "other length"), 4);
  EXPECT_EQ(SummaryValue(r.err, "could not be evaluated"), 3);
  EXPECT_EQ(SummaryValue(r.err, "not a bet"), 1);
  EXPECT_NE(r.err.find("line 6: '12a45' cannot be evaluated"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("line 7:"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("and 3 more such lines"), std::string::npos) << r.err;

  r = Host({"filter", "--digits", "5", "--condition", kNo12, "--bets", "-", "--quiet"}, input);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err.find("line "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("could not be evaluated: 3, other length: 4, not a bet: 1"),
            std::string::npos)
      << r.err;
}

TEST(HostInputsTest, SettingsFilesAreReadOrRefusedWithTheReason) {
  const std::string utf8Setting = "[" + kSectionUtf8 + "]\nVeltrin=" + kNo12 + "\n";
  struct Case {
    const char* label;
    std::string file;
    int status;
    std::string said;
  } cases[] = {
      {"utf8", "\xEF\xBB\xBF; " + kStraightUtf8 + "\n" + utf8Setting, 0, "kept: 99"},
      {"gbk",
       std::string("[") + kTxtFltSection + "]\r\nVeltrin=" + kTxtModeStraight + ":9=12:0-0\r\n", 0,
       "kept: 99"},
      {"utf8 beyond gbk", "[" + kSectionUtf8 + "]\nVeltrin=" + kNo12 + "\xF0\x9F\x98\x80\n", 1,
       "must be GBK"},
      {"no key", "[" + kSectionUtf8 + "]\nveltrin=1\nOther=2\n", 1,
       "no Veltrin value in section [" + kSectionUtf8 + "] (its keys: veltrin, Other)"},
      {"no section", "[A]\nx=1\n[B]\n", 1, "(its sections: [A], [B])"},
  };
  for (const Case& c : cases) {
    const std::string flt = ScratchPath("s.flt");
    WriteFileBytes(flt, c.file);
    ProcessResult r = Host({"filter", "--digits", "2", "--settings", flt});
    std::remove(flt.c_str());
    EXPECT_EQ(r.exitCode, c.status) << c.label << ": " << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << c.label << ": " << r.err;
  }
  ProcessResult r = Host({"filter", "--digits", "7"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("there is none for 7 digits"), std::string::npos) << r.err;
  EXPECT_TRUE(r.out.empty());
}

TEST(HostInputsTest, RemovedBetsAndRowsOfScores) {
  // Adjusted: the bet lists a run writes to files are the system's text
  // files, CR LF on Windows; standard output keeps LF.
#if defined(_WIN32)
  const std::string eol = "\r\n";
#else
  const std::string eol = "\n";
#endif
  const std::string kept = ScratchPath("kept.txt"), removed = ScratchPath("removed.txt");
  ProcessResult r =
      Host({"filter", "--digits", "2", "--condition", kNo12, "--out", kept, "--removed", removed});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string keptBytes = ReadFileBytes(kept);
  EXPECT_EQ(Lines(keptBytes).size(), 99u);
  EXPECT_EQ(keptBytes.substr(0, 3 * eol.size() + 6), "00" + eol + "01" + eol + "02" + eol);
  EXPECT_EQ(keptBytes.size(), 99 * (2 + eol.size()));  // every line ends so, the last too
  EXPECT_EQ(ReadFileBytes(removed), "12" + eol);
  r = Host({"filter", "--digits", "2", "--condition", kNo12});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 6), "00\n01\n");

  const std::string two = kNo12 + ";" + kStraightUtf8 + ":3=34:0-100";
  r = Host({"filter", "--condition", two, "--format", "csv", "--bets", "-"}, "123\n345\nx\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Lines(r.out),
            (std::vector<std::string>{"bet,verdict,failed,score1,score2", "123,remove,1,9,0",
                                      "345,keep,0,0,3", "x,invalid,,,"}));
  r = Host({"filter", "--condition", two, "--format", "json", "--bets", "-"}, "123\nx\n");
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out,
            "[\n{\"bet\":\"123\",\"verdict\":\"remove\",\"failed\":1,\"scores\":[9,0]},\n"
            "{\"bet\":\"x\",\"verdict\":\"invalid\",\"failed\":null,\"scores\":[]}\n]\n");
  std::remove(kept.c_str());
  std::remove(removed.c_str());
}

TEST(HostInputsTest, DebugSaysWhenABetHasAnotherLength) {
  ProcessResult r = Host({"debug", "--digits", "3", "--condition", kNo12, "1234", "123"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Lines(r.out).front(), "bet 1234: has 4 digits, not 3: not scored");
  EXPECT_NE(r.out.find("bet 123: remove (1)"), std::string::npos) << r.out;
}

TEST(HostProgressTest, TimeLeftFollowsTheShareDone) {
  struct Case {
    double elapsed, share;
    const char* text;
  } cases[] = {
      {10, 0.5, "about 10 s left"},
      {10, 0.1, "about 1 min 30 s left"},
      {100, 0.02, "about 1 h 21 min left"},
      {5, 1.0, "about 0 s left"},
      {5, 0.0, ""},
      {0, 0.5, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(host::TimeLeftText(c.elapsed, c.share), c.text);
}

}  // namespace
}  // namespace veltrin::test
