// Every command of veltrin-host over every kind of input a user has: a
// settings file in GBK, UTF-8 (with or without a byte order mark, LF or
// CR LF) or UTF-16, "Veltrin = ..." with blanks; a history with or without
// issue numbers, digits apart, UTF-16, lines of another length; bets in
// UTF-16 or holding a NUL byte; and an output that is one of the inputs.
// A command that reads or writes its own way gives another answer here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/texts.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "port/port.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

// Two 3-digit conditions and a tolerance, in GBK.
const std::string kSetting = std::string("E|0-1;") + kTxtModeStraight + ":1=12 21:0-1;" +
                             kTxtModeStraight + ":1=34 43 45:0-1;";

std::string Utf16Le(const std::string& utf8, bool bom) {
  std::string out = bom ? "\xFF\xFE" : "";
  for (char16_t u : port::Utf8ToUtf16(utf8)) {
    out += char(u & 0xFF);
    out += char(u >> 8);
  }
  return out;
}

std::string Crlf(const std::string& lf) {
  std::string out;
  for (char c : lf) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// Settings files: the same setting in every form a user may save it in.
struct SettingsKind {
  const char* Name;
  std::string Bytes;
};
std::vector<SettingsKind> SettingsKinds() {
  const std::string section = std::string("[") + kTxtFltSection + "]";
  const std::string gbk = "; kept\n" + section + "\nVeltrin=" + kSetting + "\n\n[other]\nkey=1\n";
  const std::string utf8 = host::GbkToUtf8(gbk);
  return {
      {"gbk-crlf", Crlf(gbk)},
      {"gbk-lf", gbk},
      {"gbk-blanks",
       "; kept\r\n" + section + "\r\nVeltrin = " + kSetting + "\r\n\r\n[other]\r\nkey=1\r\n"},
      {"utf8-lf", utf8},
      {"utf8-crlf", Crlf(utf8)},
      {"utf8-bom", "\xEF\xBB\xBF" + utf8},
      {"utf16-bom", Utf16Le(Crlf(utf8), true)},
      {"utf16-nobom", Utf16Le(utf8, false)},
  };
}

// The same 24 draws in every layout a history may have; "skips" holds
// three lines of other lengths that every command skips and counts.
struct HistoryKind {
  const char* Name;
  std::string Bytes;
};
std::vector<HistoryKind> HistoryKinds() {
  std::string plain = "# issue digits\n", apart, commas, bare, skips = "# with stray lines\n";
  for (int k = 0; k < 24; ++k) {
    const std::string issue = std::to_string(2024001 + k);
    const std::string d = std::to_string(100 + (k * 373) % 900);
    plain += issue + " " + d + "\n";
    apart += issue + " " + d.substr(0, 1) + " " + d.substr(1, 1) + " " + d.substr(2, 1) + "\n";
    commas += issue + "," + d.substr(0, 1) + "," + d.substr(1, 1) + "," + d.substr(2, 1) + "\r\n";
    bare += d + "\n";
    skips += issue + " " + d + "\n";
    if (k % 8 == 3) skips += "20249" + std::to_string(k) + " 12345678901234567890\n";
  }
  return {{"plain", plain},
          {"apart", apart},
          {"commas-crlf", commas},
          {"utf16", Utf16Le(plain, true)},
          {"bom", "\xEF\xBB\xBF" + plain},
          {"skips", skips},
          {"bare", bare}};
}

ProcessResult Host(const std::vector<std::string>& args) {
  ProcessResult r = RunProcess(HostPath(), args);
  EXPECT_TRUE(r.started);
  return r;
}

// What a command prints that depends on nothing but the setting and the
// draws: standard output, or the page it writes.
std::string Answer(const ProcessResult& r, const std::string& page) {
  return page.empty() ? r.out : ReadFileBytes(page);
}

struct CommandRun {
  const char* Name;
  std::vector<std::string> Args;  // after the command, before the inputs
  bool ReadsHistory;
  bool WritesPage;  // --out PAGE
};
const CommandRun kRuns[] = {
    {"filter", {"--digits", "3"}, false, false},
    {"debug", {"--digits", "3", "123", "345"}, false, false},
    {"batch", {"--quiet"}, true, false},
    {"tolerance", {}, true, false},
    {"history", {}, true, false},
    {"table", {}, true, false},
    {"check", {}, true, false},
    {"check", {"--format", "json"}, true, false},
    {"report", {}, true, true},
};

TEST(HostMatrixTest, EveryCommandReadsEverySettingsFileAlike) {
  const std::string dir = ScratchPath("");
  const std::string history = dir + "h.txt", page = dir + "r.html", out = dir + "saved.flt";
  WriteFileBytes(history, HistoryKinds()[0].Bytes);
  for (const CommandRun& run : kRuns) {
    if (std::string(run.Name) == "table") continue;  // reads no setting
    std::string expected;
    for (const SettingsKind& kind : SettingsKinds()) {
      // One path for all, so that no message differs by the file's name.
      const std::string flt = dir + "s.flt";
      WriteFileBytes(flt, kind.Bytes);
      std::vector<std::string> args = {run.Name};
      args.insert(args.end(), run.Args.begin(), run.Args.end());
      args.insert(args.end(), {"--settings", flt});
      if (run.ReadsHistory) args.insert(args.end(), {"--history", history});
      if (run.WritesPage) args.insert(args.end(), {"--out", page});
      if (std::string(run.Name) == "batch") args.insert(args.end(), {"--out", out});
      const ProcessResult r = Host(args);
      ASSERT_EQ(r.exitCode, 0) << run.Name << " " << kind.Name << ": " << r.err;
      const std::string answer = Answer(r, run.WritesPage ? page : "");
      ASSERT_FALSE(answer.empty()) << run.Name << " " << kind.Name;
      if (expected.empty()) expected = answer;
      EXPECT_EQ(answer, expected) << run.Name << " " << kind.Name << ": " << r.err;
    }
  }
}

TEST(HostMatrixTest, EveryCommandReadsEveryHistoryAlike) {
  const std::string dir = ScratchPath("");
  const std::string flt = dir + "s.flt", page = dir + "r.html", history = dir + "h.txt";
  WriteFileBytes(flt, SettingsKinds()[0].Bytes);
  for (const CommandRun& run : kRuns) {
    if (!run.ReadsHistory) continue;
    std::string expected;
    for (const HistoryKind& kind : HistoryKinds()) {
      WriteFileBytes(history, kind.Bytes);
      std::vector<std::string> args = {run.Name};
      args.insert(args.end(), run.Args.begin(), run.Args.end());
      if (std::string(run.Name) != "table") args.insert(args.end(), {"--settings", flt});
      args.insert(args.end(), {"--history", history});
      if (run.WritesPage) args.insert(args.end(), {"--out", page});
      if (std::string(run.Name) == "batch") args.insert(args.end(), {"--out", dir + "saved.flt"});
      const ProcessResult r = Host(args);
      ASSERT_EQ(r.exitCode, 0) << run.Name << " " << kind.Name << ": " << r.err;
      const std::string kindName = kind.Name;
      // Lines of another length are counted and named, never taken.
      if (kindName == "skips") {
        const std::string all = r.out + r.err + Answer(r, run.WritesPage ? page : "");
        EXPECT_TRUE(all.find("3 line(s) skipped") != std::string::npos ||
                    all.find("\"historySkipped\":{\"count\":3") != std::string::npos)
            << run.Name << ": " << r.out << r.err;
        continue;
      }
      // Without issue numbers only what names issues may differ.
      if (kindName == "bare" && (std::string(run.Name) == "history" || run.WritesPage)) continue;
      std::string answer = Answer(r, run.WritesPage ? page : "");
      if (expected.empty()) expected = answer;
      EXPECT_EQ(answer, expected) << run.Name << " " << kind.Name;
    }
  }
}

TEST(HostMatrixTest, BetsInUtf16AreReadAndALineWithANulIsNeverScored) {
  const std::string dir = ScratchPath("");
  const std::string bets = "123\n345\n543\n111\n";
  struct Case {
    const char* name;
    std::string bytes;
    const char* said;
  } cases[] = {
      {"plain", bets, ""},
      {"utf16-bom", Utf16Le(bets, true), "UTF-16"},
      {"utf16-nobom", Utf16Le(bets, false), "UTF-16"},
      // "111" with a NUL inside: never a bet, and the message is whole.
      {"nul", std::string("123\n345\n543\n1") + '\0' + "11\n", "holds a NUL byte"},
  };
  std::string expected;
  for (const Case& c : cases) {
    const std::string path = dir + "bets.txt";
    WriteFileBytes(path, c.bytes);
    for (const char* command : {"filter", "debug"}) {
      const ProcessResult r = Host(
          {command, "--digits", "3", "--condition", host::GbkToUtf8(kSetting), "--bets", path});
      EXPECT_EQ(r.exitCode, 0) << c.name << " " << command << ": " << r.err;
      if (std::string(command) == "filter" || std::string(c.name) == "nul") {
        EXPECT_NE((r.out + r.err).find(c.said), std::string::npos) << c.name << ": " << r.err;
      }
      if (std::string(command) != "filter") continue;
      if (expected.empty()) expected = r.out;
      if (std::string(c.name) == "nul") {
        EXPECT_EQ(r.out.find("111"), std::string::npos) << r.out;
        EXPECT_NE(r.err.find("not a bet: 1"), std::string::npos) << r.err;
      } else {
        EXPECT_EQ(r.out, expected) << c.name;
      }
    }
  }
}

TEST(HostMatrixTest, NoOutputIsEverOneOfTheInputs) {
  const std::string dir = ScratchPath("");
  const std::string flt = dir + "s.flt", history = dir + "h.txt", bets = dir + "b.txt";
  const std::string settings = SettingsKinds()[0].Bytes;
  const std::string draws = HistoryKinds()[0].Bytes;
  struct Case {
    std::vector<std::string> args;  // the output option and its path last
  } cases[] = {
      {{"filter", "--settings", flt, "--bets", bets, "--out", flt}},
      {{"filter", "--settings", flt, "--bets", bets, "--out", bets}},
      {{"filter", "--settings", flt, "--bets", bets, "--removed", bets}},
      {{"filter", "--settings", flt, "--digits", "3", "--removed", flt}},
      {{"report", "--settings", flt, "--out", flt}},
      {{"report", "--settings", flt, "--history", history, "--out", history}},
      {{"batch", "--settings", flt, "--history", history, "--out", history}},
      {{"batch", "--condition", host::GbkToUtf8(kSetting), "--history", history, "--out", history}},
  };
  for (const Case& c : cases) {
    WriteFileBytes(flt, settings);
    WriteFileBytes(history, draws);
    WriteFileBytes(bets, "123\n345\n");
    const ProcessResult r = Host(c.args);
    EXPECT_EQ(r.exitCode, 2) << c.args[0] << " " << c.args.back() << ": " << r.err;
    EXPECT_NE(r.err.find("is the same file as"), std::string::npos) << r.err;
    EXPECT_EQ(ReadFileBytes(flt), settings) << c.args[0];
    EXPECT_EQ(ReadFileBytes(history), draws) << c.args[0];
    EXPECT_EQ(ReadFileBytes(bets), "123\n345\n") << c.args[0];
  }
}

TEST(HostMatrixTest, SavingASettingKeepsTheFilesFormAndRereads) {
  const std::string dir = ScratchPath("");
  const std::string history = dir + "h.txt";
  WriteFileBytes(history, HistoryKinds()[0].Bytes);
  for (const SettingsKind& kind : SettingsKinds()) {
    const std::string flt = dir + "s.flt";
    WriteFileBytes(flt, kind.Bytes);
    const ProcessResult r = Host({"batch", "--settings", flt, "--history", history});
    const std::string name = kind.Name;
    if (name.rfind("utf16", 0) == 0) {
      // Read, never rewritten in another form.
      EXPECT_EQ(r.exitCode, 1) << name << ": " << r.err;
      EXPECT_NE(r.err.find("UTF-16"), std::string::npos) << r.err;
      EXPECT_EQ(ReadFileBytes(flt), kind.Bytes);
      continue;
    }
    ASSERT_EQ(r.exitCode, 0) << name << ": " << r.err;
    const std::string saved = ReadFileBytes(flt);
    const bool crlf = kind.Bytes.find("\r\n") != std::string::npos;
    EXPECT_EQ(saved.find("\r\n") != std::string::npos, crlf) << name;
    if (!crlf) {
      EXPECT_EQ(saved.find('\r'), std::string::npos) << name;
    }
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF", 0) == 0, name == "utf8-bom") << name;
    EXPECT_NE(saved.find("key=1"), std::string::npos) << name;
    // Every command reads what batch saved.
    const ProcessResult again = Host({"check", "--settings", flt});
    EXPECT_EQ(again.exitCode, 0) << name << ": " << again.err;
  }
}

TEST(HostMatrixTest, EveryFaultGetsAPlainAnswer) {
  const std::string dir = ScratchPath("");
  const std::string flt = dir + "s.flt", history = dir + "h.txt", one = dir + "one.txt",
                    nosec = dir + "nosec.flt", page = dir + "r.html";
  WriteFileBytes(flt, SettingsKinds()[0].Bytes);
  WriteFileBytes(history, HistoryKinds()[0].Bytes);
  WriteFileBytes(one, "2024001 123\n2024002 12345678901234567890\n");
  WriteFileBytes(nosec, "[x]\r\na=1\r\n");
  const std::string cond = host::GbkToUtf8(kTxtModeStraight) + ":1=12 21:0-1";
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string said;     // in standard error (or output)
    std::string notSaid;  // nowhere
  } cases[] = {
      // A GBK file without the section is no encoding problem.
      {{"filter", "--digits", "3", "--settings", nosec}, 1, "(its sections: [x])", "must be GBK"},
      {{"check", "--settings", nosec}, 1, "(its sections: [x])", "must be GBK"},
      {{"report", "--settings", flt}, 2, "report needs --out", ""},
      {{"check", "--settings", flt, "--last", "3"}, 2, "--last counts draws of --history", ""},
      {{"filter", "--digits", "12"}, 2, "'12' is out of range [1, 9]", ""},
      {{"tolerance", "--keep-share", "99999999999999999999", "--history", history},
       2,
       "out of range [0, 10000]",
       ""},
      {{"filter", "--digits", "x"}, 2, "'x' is not an integer", ""},
      // The digit count comes from the history, for check as for the rest.
      {{"check", "--settings", flt, "--history", history}, 0, "of 1000 candidates", "skipped"},
      {{"check", "--settings", flt, "--history", history, "--digits", "5"},
       1,
       "no draws of 5 digits",
       ""},
      // Counted from a sample: the counts say so.
      {{"check", "--digits", "12", "--condition", cond + ";" + cond + "3"},
       0,
       "(count:sampled candidates)",
       ""},
      // A bound too large for its field is out of range, not "not an integer".
      {{"check", "--digits", "3", "--condition", cond + "99999999999"},
       1,
       "\xE8\xB6\x85\xE5\x87\xBA\xE8\x8C\x83\xE5\x9B\xB4 [",
       ""},  // 超出范围
      {{"check", "--digits", "3", "--condition", "E|1;" + cond}, 1, "E|\xE4\xB8\x8B", ""},
      // The aides name the invalid line and field, as filter does.
      {{"batch", "--condition", "E|0-1;" + cond + ":x", "--history", history},
       1,
       "line 2, range",
       ""},
      {{"tolerance", "--condition", cond + ":x", "--history", history}, 1, "line 1, range", ""},
      // A fit from one draw (the 20-digit line skipped and counted) warns.
      {{"batch", "--condition", cond, "--history", one}, 0, "fitted from only 1 draw(s)", ""},
      {{"batch", "--condition", cond, "--history", one}, 0, "1 line(s) skipped", ""},
      {{"batch", "--condition", cond, "--history", history}, 0, "of 1 condition(s) updated", ""},
      // A proposal that keeps everything says so, with the candidates kept.
      // (no bet reaches the range 5-9: every draw fails it, and 0-1 keeps all)
      {{"tolerance", "--condition", host::GbkToUtf8(kTxtModeStraight) + ":1=12 21:5-9", "--history",
        history},
       0,
       "keeps every candidate",
       ""},
      {{"tolerance", "--condition", cond, "--history", history}, 0, "of 1000 candidates", ""},
  };
  for (const Case& c : cases) {
    const ProcessResult r = Host(c.args);
    std::string line;
    for (const std::string& a : c.args) line += a + " ";
    EXPECT_EQ(r.exitCode, c.status) << line << ": " << r.err;
    EXPECT_NE((r.err + r.out).find(c.said), std::string::npos) << line << ": " << r.err << r.out;
    if (!c.notSaid.empty()) {
      EXPECT_EQ((r.err + r.out).find(c.notSaid), std::string::npos) << line << ": " << r.err;
    }
  }
}

#if !defined(_WIN32)
TEST(HostMatrixTest, AFullStandardOutputIsAFailureWithItsReason) {
  const std::string dir = ScratchPath("");
  const std::string flt = dir + "s.flt", history = dir + "h.txt", err = dir + "err.txt";
  WriteFileBytes(flt, SettingsKinds()[0].Bytes);
  WriteFileBytes(history, HistoryKinds()[0].Bytes);
  for (const char* args :
       {"filter --digits 3", "debug --digits 3 123", "history", "tolerance", "table", "check",
        "batch --quiet --out "
        "/dev/null"}) {
    const std::string cmd = std::string(args).rfind("table", 0) == 0
                                ? "'" + HostPath() + "' " + args + " --history '" + history + "'"
                                : "'" + HostPath() + "' " + args + " --settings '" + flt +
                                      (std::string(args).rfind("filter", 0) == 0 ||
                                               std::string(args).rfind("debug", 0) == 0
                                           ? "'"
                                           : "' --history '" + history + "'");
    const int status = std::system((cmd + " > /dev/full 2> '" + err + "'").c_str());
    EXPECT_EQ(WEXITSTATUS(status), 1) << args;
    EXPECT_NE(ReadFileBytes(err).find("No space left on device"), std::string::npos)
        << args << ": " << ReadFileBytes(err);
  }
}
#endif

TEST(HostMatrixTest, HelpNamesEveryCommandAndEveryOptionItTakes) {
  const ProcessResult r = Host({"--help"});
  ASSERT_EQ(r.exitCode, 0);
  for (const host::CommandSpec& c : host::CommandTable()) {
    EXPECT_NE(r.out.find("  " + std::string(c.Name) + " "), std::string::npos) << c.Name;
    for (std::string_view option : c.Takes)
      EXPECT_NE(r.out.find(std::string(option)), std::string::npos) << option;
    // An option the command does not take is refused, never ignored.
    for (const char* option : {"--removed", "--keep-share", "--last", "--only-failed"}) {
      bool takes = false;
      for (std::string_view o : c.Takes) takes = takes || o == option;
      if (takes) continue;
      const ProcessResult refused = Host({c.Name, option, "1"});
      EXPECT_EQ(refused.exitCode, 2) << c.Name << " " << option;
      EXPECT_NE(refused.err.find("does not apply to " + std::string(c.Name)), std::string::npos)
          << refused.err;
    }
  }
}

}  // namespace
}  // namespace veltrin::test
