// veltrin-host check and report, run as programs over the built library,
// and the report page loaded in a real headless browser.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "host/encoding.h"
#include "host/format.h"
#include "host/insight.h"
#include "host/plugin_library.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

// 直选 in UTF-8, as a user types it.
const std::string kStraightUtf8 = "\xE7\x9B\xB4\xE9\x80\x89";

std::string HostExe() {
#if defined(_WIN32)
  return TestBinaryDir() + "veltrin-host.exe";
#else
  return TestBinaryDir() + "veltrin-host";
#endif
}

ProcessResult Host(const std::vector<std::string>& args) {
  ProcessResult r = RunProcess(HostExe(), args);
  EXPECT_TRUE(r.started) << "cannot start " << HostExe();
  return r;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Draws oldest first: 121 scores 2, 345 scores 0, 012 scores 1 under
// 1=12 21.
std::string HistoryFile() {
  const std::string path = ScratchPath("history.txt");
  WriteFileBytes(path, "# issue digits\n2024001 121\n2024002 345\n2024003 012\n");
  return path;
}

TEST(CheckCommand, RowsStateKeptShareHitsAndDiagnostics) {
  const std::string history = HistoryFile();
  struct Case {
    std::vector<std::string> args;
    int status;
    std::vector<std::string> out;  // each appears in standard output
    std::string err;               // appears in standard error ("" : nothing checked)
  } cases[] = {
      {{"check", "--digits", "3", "--condition", kStraightUtf8 + ":1=12 21:1-2", "--history",
        history},
       0,
       {"3.8% (38/1000)", "2/3", "setting: keeps 38 of 1000 candidates"},
       ""},
      {{"check", "--digits", "3", "--condition", kStraightUtf8 + ":1=12 21:1-2", "--history",
        history, "--last", "2"},
       0,
       {"1/2", "history: the whole setting keeps 1 of the latest 2 draws"},
       ""},
      // Two blanks: the engine reads the code 02, and check says so.
      {{"check", "--digits", "3", "--condition", kStraightUtf8 + ":5=12  21:5-5"},
       0,
       {"warning (table):",
        "\xE5\xBC\x95\xE6\x93\x8E\xE8\xAF\xBB\xE4\xBD\x9C\xE5\x8F\xB7\xE7\xA0"
        "\x81"
        "02"},  // 引擎读作号码02
       ""},
      {{"check", "--digits", "3", "--condition",
        "E|0-1;" + kStraightUtf8 + ":1=12:0-5;" + kStraightUtf8 + ":1=12:0-x"},
       1,
       {"tolerance", "INVALID"},
       "line 3, range"},
      // One condition is its own exact share at any digit count; two are
      // sampled at 12 digits.
      {{"check", "--digits", "12", "--condition", kStraightUtf8 + ":1=12 21:1-2"},
       0,
       {"candidates (18.3%, exact)"},
       ""},
      {{"check", "--digits", "12", "--condition",
        kStraightUtf8 + ":1=12 21:1-2;" + kStraightUtf8 + ":1=34:0-5"},
       0,
       {"(between ", "% at 99%; estimated from 200000 sampled candidates"},
       ""},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Host(c.args);
    EXPECT_EQ(r.exitCode, c.status) << c.args[4] << "\n" << r.out << r.err;
    for (const std::string& part : c.out)
      EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
    if (!c.err.empty()) {
      EXPECT_TRUE(Contains(r.err, c.err)) << r.err;
    }
  }
}

TEST(CheckCommand, ExactCountsWhatFilterKeeps) {
  const std::string setting = kStraightUtf8 + ":1=12 21 34:1-2;" + kStraightUtf8 + ":2=56 65:0-1";
  const std::string kept = ScratchPath("exact-kept.txt");
  const ProcessResult f =
      Host({"filter", "--digits", "7", "--quiet", "--condition", setting, "--out", kept});
  ASSERT_EQ(f.exitCode, 0) << f.err;
  size_t lines = 0;
  for (char c : ReadFileBytes(kept)) lines += c == '\n';
  const ProcessResult c = Host({"check", "--digits", "7", "--exact", "--condition", setting});
  ASSERT_EQ(c.exitCode, 0) << c.err;
  EXPECT_TRUE(
      Contains(c.out, "setting: keeps " + std::to_string(lines) + " of 10000000 candidates"))
      << lines << "\n"
      << c.out;
  // The host counts every candidate itself: its failed-conditions histogram
  // and kept count are the library's own exact ones, with and without a
  // tolerance line (the sampled estimate differs from both).
  host::PluginLibrary library;
  std::string error;
  ASSERT_TRUE(library.Load(TestBinaryDir() + kLibraryFileName, error)) << error;
  for (const std::string& text : {setting, "E|1-2;" + setting}) {
    host::InsightResult want;
    std::string gbk;
    ASSERT_TRUE(host::Utf8ToGbk(text, gbk));
    ASSERT_TRUE(host::Explain(library.Exports(), gbk, 7, "", 0,
                              host::kExplainSetting | host::kExplainExact, want, error))
        << error;
    ASSERT_TRUE(want.Exact);
    std::string histogram = "failed conditions (count:candidates):";
    for (size_t k = 0; k < want.Failures.size(); ++k)
      if (want.Failures[k] > 0)
        histogram += " " + std::to_string(k) + ":" + std::to_string(int64_t(want.Failures[k]));
    const ProcessResult got = Host({"check", "--digits", "7", "--exact", "--condition", text});
    ASSERT_EQ(got.exitCode, 0) << got.err;
    EXPECT_TRUE(Contains(got.out, histogram + "\n")) << histogram << "\n" << got.out;
    EXPECT_TRUE(Contains(got.out, "setting: keeps " + want.SettingKept + " of 10000000 candidates"))
        << want.SettingKept << "\n"
        << got.out;
  }
  // At 8 digits the library alone would estimate from a sample.
  const ProcessResult eight =
      Host({"check", "--digits", "8", "--exact", "--condition", "E|1-2;" + setting});
  ASSERT_EQ(eight.exitCode, 0) << eight.err;
  EXPECT_TRUE(Contains(eight.out, " of 100000000 candidates (")) << eight.out;
  EXPECT_FALSE(Contains(eight.out, "sampled")) << eight.out;
  const ProcessResult big = Host({"check", "--digits", "10", "--exact", "--condition", setting});
  EXPECT_EQ(big.exitCode, 2);
  EXPECT_TRUE(Contains(big.err, "at most 9 digits")) << big.err;
}

TEST(CheckCommand, JsonCarriesTheSameAnswers) {
  const ProcessResult r = Host({"check", "--digits", "3", "--format", "json", "--condition",
                                kStraightUtf8 + ":1=12 21:1-2;x", "--history", HistoryFile()});
  EXPECT_EQ(r.exitCode, 1);
  ASSERT_FALSE(r.out.empty());
  EXPECT_EQ(r.out.front(), '{');
  EXPECT_EQ(r.out.substr(r.out.size() - 2), "}\n");
  for (const char* part :
       {"\"format\":\"veltrin-check\"", "\"valid\":false", "\"kept\":\"38\"", "\"total\":\"1000\"",
        "\"code\":\"bad-lower\"", "\"field\":\"range\"", "\"number\":2"})
    EXPECT_TRUE(Contains(r.out, part)) << part << "\n" << r.out;
  // Invalid: nothing is scored against the history.
  EXPECT_FALSE(Contains(r.out, "\"hits\""));
}

TEST(FilterCommand, WarnsBeforeTheRunAndNamesTheInvalidLine) {
  ProcessResult r = Host({"filter", "--digits", "3", "--quiet", "--out", ScratchPath("kept.txt"),
                          "--condition", kStraightUtf8 + ":300=12:0-100"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Contains(r.err, "warning: --condition line 1 (table):")) << r.err;
  r = Host({"filter", "--digits", "3", "--condition",
            kStraightUtf8 + ":1=12:0-5;" + kStraightUtf8 + ":1=1x:0-5"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Contains(r.err, "not valid: line 2, table:")) << r.err;
}

TEST(InsightAnswer, OnlyAKnownCompleteAnswerIsRead) {
  host::InsightResult r;
  std::string error;
  EXPECT_FALSE(host::ParseInsight("VELTRIN-EXPLAIN\t2\nend\n", r, error));
  EXPECT_FALSE(host::ParseInsight("VELTRIN-EXPLAIN\t1\ntext\t1\t3\t1\t1\t-\t0\n", r, error));
  EXPECT_TRUE(Contains(error, "cut short"));
  ASSERT_TRUE(host::ParseInsight(
      "VELTRIN-EXPLAIN\t1\nfuture\tx\nline\t1\tcondition\t0\t1\t0\t5\ta\\tb\\\\\n"
      "diag\t1\twarning\ttable\tcode-leftover\t3\tm\nend\n",
      r, error))
      << error;
  ASSERT_EQ(r.Lines.size(), 1u);
  EXPECT_EQ(r.Lines[0].Text, "a\tb\\");
  ASSERT_EQ(r.Lines[0].Diags.size(), 1u);
  EXPECT_EQ(r.Lines[0].Diags[0].Code, "code-leftover");
}

TEST(InsightAnswer, ReadsEscapedBytesModeWordAndInterval) {
  host::InsightResult r;
  std::string error;
  ASSERT_TRUE(host::ParseInsight(
      "VELTRIN-EXPLAIN\t1\nline\t1\tcondition\t0\t1\t0\t5\ta\\xFFb\\x8\\xzz\t2\t\xD6\xB1\n"
      "line\t3\tcondition\t1\t0\t0\t5\tq\t1\t-\n"
      "setting\testimate\t10\t100\t0.1\t0.05\t7\t0.04\t0.2\t0.99\nend\n",
      r, error))
      << error;
  ASSERT_EQ(r.Lines.size(), 2u);
  // A byte that is no GBK comes back as the byte; an escape the format has
  // not is its letter, as before.
  EXPECT_EQ(r.Lines[0].Text,
            "a\xFF"
            "bx8xzz");
  EXPECT_EQ(r.Lines[0].Count, 2);
  EXPECT_EQ(host::ModeWord(r.Lines[0]), host::GbkToUtf8("\xD6\xB1"));
  EXPECT_EQ(host::ModeWord(r.Lines[1]), "unknown");
  EXPECT_DOUBLE_EQ(r.SettingLo, 0.04);
  EXPECT_DOUBLE_EQ(r.SettingHi, 0.2);
  EXPECT_DOUBLE_EQ(r.SettingLevel, 0.99);
  // An older library gives the bound alone: the interval is share +/- bound.
  ASSERT_TRUE(host::ParseInsight(
      "VELTRIN-EXPLAIN\t1\nsetting\testimate\t1\t100\t0.01\t0.02\t7\nend\n", r, error));
  EXPECT_DOUBLE_EQ(r.SettingLo, 0);
  EXPECT_DOUBLE_EQ(r.SettingHi, 0.03);
}

TEST(PercentFormat, BoundsRoundOutwardAndNeverMeet) {
  using host::Rounding;
  struct Case {
    double share;
    Rounding rounding;
    int decimals;
    const char* shown;
  } cases[] = {
      {0.182998, Rounding::Nearest, 2, "18.3%"},
      {0.182998, Rounding::Down, 2, "18.29%"},
      {0.182998, Rounding::Up, 2, "18.3%"},
      {0.182911, Rounding::Up, 2, "18.3%"},
      {0.1829985, Rounding::Down, 4, "18.2998%"},
      {0.00000123, Rounding::Up, 2, "0.01%"},
      {0.00000123, Rounding::Down, 2, "0%"},
      {0.0000123, Rounding::Down, 5, "0.00123%"},
      {1.0, Rounding::Up, 2, "100%"},
      {0.5, Rounding::Down, 0, "50%"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(host::Percent(c.share, c.rounding, c.decimals), c.shown) << c.share;
  EXPECT_EQ(host::PercentBetween(0.125, 0.125 + 1.0 / 16384), "12.5% and 12.5062%");
  // Whatever the interval: the printed ends hold it, differ, and widen it
  // by little.
  const double intervals[][2] = {{0.18, 0.19},     {0.1829981, 0.1829989},
                                 {1e-7, 3e-7},     {0.999999, 1.0},
                                 {0.0, 0.0000456}, {0.3333333333, 0.3333333334}};
  for (const auto& iv : intervals) {
    const std::string shown = host::PercentBetween(iv[0], iv[1]);
    const size_t and_ = shown.find(" and ");
    ASSERT_NE(and_, std::string::npos) << shown;
    const double lo = std::strtod(shown.c_str(), nullptr);
    const double hi = std::strtod(shown.c_str() + and_ + 5, nullptr);
    EXPECT_LE(lo, 100 * iv[0] * (1 + 1e-12)) << shown;
    EXPECT_GE(hi, 100 * iv[1] * (1 - 1e-12)) << shown;
    EXPECT_LT(lo, hi) << shown;
    EXPECT_LE(hi - lo, 100 * (iv[1] - iv[0]) * 1.25 + 1e-9) << shown;
  }
}

#if !defined(_WIN32)
constexpr char kChromium[] = "/usr/bin/chromium";
#endif

TEST(ReportCommand, IsOneSelfContainedPageThatABrowserShows) {
  const std::string page = ScratchPath("report.html");
  const std::string history = ScratchPath("history5.txt");
  std::string draws;
  for (int k = 0; k < 60; ++k)
    draws += std::to_string(2024000 + k) + " " + std::to_string(10000 + (k * 7919) % 90000) + "\n";
  WriteFileBytes(history, draws);
  const ProcessResult r =
      Host({"report", "--digits", "5", "--condition",
            "E|0-1;" + kStraightUtf8 + ":1=12 21 34 43,2=56 65:1-4;" + kStraightUtf8 +
                ":3=00 11 22 33,1=19 91:0-3;" + kStraightUtf8 + " :1=12:0-1",
            "--history", history, "--out", page});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string html = ReadFileBytes(page);
  for (const char* part : {"<svg", "Whole setting", "history hits <b>", "class=\"draw\"",
                           "class=\"band\"", "keeps <b>"})
    EXPECT_TRUE(Contains(html, part)) << part;
  // Self-contained: no script, nothing to fetch (the SVG namespace is a name).
  EXPECT_FALSE(Contains(html, "<script"));
  EXPECT_FALSE(Contains(html, "src="));
  EXPECT_FALSE(Contains(html, "href="));
  EXPECT_EQ(html.find("http"), html.find("http://www.w3.org/2000/svg"));

#if defined(_WIN32)
  GTEST_SKIP() << "the browser check runs in the native build";
#else
  if (access(kChromium, X_OK) != 0) GTEST_SKIP() << "chromium is not installed";
  const std::string shot = ScratchPath("report.png");
  const std::vector<std::string> common = {"60",
                                           kChromium,
                                           "--headless",
                                           "--no-sandbox",
                                           "--disable-gpu",
                                           "--hide-scrollbars",
                                           "--window-size=900,1500",
                                           "--enable-logging=stderr",
                                           "--v=0"};
  std::vector<std::string> args = common;
  args.push_back("--screenshot=" + shot);
  args.push_back("file://" + page);
  const ProcessResult s = RunProcess("/usr/bin/timeout", args);
  ASSERT_EQ(s.exitCode, 0) << s.err;
  // The page loads without a console message or a failed load.
  EXPECT_FALSE(Contains(s.err, ":CONSOLE(")) << s.err;
  EXPECT_FALSE(Contains(s.err, "Failed to load")) << s.err;
  const std::string png = ReadFileBytes(shot);
  ASSERT_GT(png.size(), 20000u) << "an empty screenshot";
  EXPECT_EQ(png.substr(1, 3), "PNG");
  std::printf("report screenshot: %s\n", shot.c_str());

  args = common;
  args.push_back("--dump-dom");
  args.push_back("file://" + page);
  const ProcessResult dom = RunProcess("/usr/bin/timeout", args);
  ASSERT_EQ(dom.exitCode, 0) << dom.err;
  EXPECT_TRUE(Contains(dom.out, "Whole setting"));
  EXPECT_GE(dom.out.find("</svg>"), dom.out.find("<svg"));
#endif
}

}  // namespace
}  // namespace veltrin::test
