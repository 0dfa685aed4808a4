// veltrin-host batch, tolerance and history run as a program: their answers
// are the engine's own, worked out here in-process for the same inputs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/inifile.h"
#include "common/records.h"
#include "common/string_list.h"
#include "common/texts.h"
#include "filter/pro_grade.h"
#include "host/aides.h"
#include "host/call_wrapper.h"
#include "host/encoding.h"
#include "host/history.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"

namespace veltrin::test {
namespace {

namespace fs = std::filesystem;
using host::DrawHistory;

const std::string kStraight = kTxtModeStraight;  // GBK
// Three conditions whose scores spread over the draws below.
const std::vector<std::string> kConditions = {
    kStraight + ":1=01 12 23 34 45 56 67 78 89 90,2=10 21 32 43 54:0-100",
    kStraight + ":5=00 11 22 33 44 55 66 77 88 99:0-1",
    kStraight + ":3=13 24 35 46 57,1=31 42 53:2-30",
};

// A 5-digit history of `n` draws from a fixed linear generator, with an
// issue column.
std::string HistoryText(int n) {
  std::string text = "# generated\n";
  uint32_t x = 12345;
  for (int i = 0; i < n; ++i) {
    std::string digits;
    for (int d = 0; d < 5; ++d) {
      x = x * 1103515245u + 12345u;
      digits += char('0' + (x >> 16) % 10);
    }
    text += std::to_string(2024001 + i) + " " + digits + "\n";
  }
  return text;
}

std::string SettingsFile(const std::string& value) {
  return "; kept\r\n[" + std::string(kTxtFltSection) + "]\r\nVeltrin=" + value +
         "\r\n\r\n[other]\r\nkey=1\r\n";
}

std::string Join(const std::vector<std::string>& lines, const std::string& head = "") {
  std::string value = head;
  for (const std::string& line : lines) value += line + ";";
  return value;
}

class HostAidesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = ScratchPath("dir") + "/";
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    history_ = dir_ + "history.txt";
    WriteFileBytes(history_, HistoryText(200));
    std::string error;
    ASSERT_TRUE(host::LoadHistory(history_, 5, draws_, error)) << error;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // What the engine's batch assistant makes of `lines` over the history, fed
  // the sample the host's call interface hands out.
  std::vector<std::string> EngineBatch(const std::vector<std::string>& lines, int64_t keepShare) {
    host::HostSettings settings;
    settings.History = draws_;
    settings.HasHistory = true;
    settings.KeepShare = keepShare;
    host::HostCallWrapper* wrapper = host::HostCallWrapper::Create(settings);
    TBatFltSet request{}, sample{};
    EXPECT_EQ(wrapper->GetBatchAideData(&request, &sample), kS_OK);
    TStringList* list = TStringList::Create();
    list->Lines() = lines;
    TProGradeFilter* filter = TProGradeFilter::New();
    EXPECT_GT(filter->RunBatchAide(list, &sample), 0);
    filter->Free();
    std::vector<std::string> out = list->Lines();
    list->Release();
    ReleaseBatFltSet(sample);
    wrapper->Release();
    return out;
  }

  std::string dir_, history_;
  DrawHistory draws_;
};

TEST_F(HostAidesTest, BatchSavesTheAssistantsRangesAndKeepsTheRest) {
  const std::string flt = dir_ + "s.flt";
  WriteFileBytes(flt, SettingsFile(Join(kConditions, "E|0-1;")));
  ProcessResult r = RunProcess(
      HostPath(), {"batch", "--settings", flt, "--history", history_, "--keep-share", "8000"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string expected = Join(EngineBatch(kConditions, 8000), "E|0-1;");
  ASSERT_NE(expected, Join(kConditions, "E|0-1;"));  // the ranges did move
  EXPECT_EQ(TExtIniFile(flt).ReadString(kTxtFltSection, "Veltrin", ""), expected);
  const std::string saved = ReadFileBytes(flt);
  EXPECT_EQ(saved.rfind("; kept\r\n", 0), 0u) << saved;
  EXPECT_NE(saved.find("[other]\r\nkey=1"), std::string::npos) << saved;
  EXPECT_NE(r.err.find("condition(s) updated"), std::string::npos) << r.err;

  // A UTF-8 settings file is read and stays UTF-8.
  const std::string utf8 = dir_ + "utf8.flt";
  const std::string section = host::GbkToUtf8(kTxtFltSection);
  WriteFileBytes(
      utf8, "[" + section + "]\nVeltrin=" + host::GbkToUtf8(Join(kConditions, "E|0-1;")) + "\n");
  r = RunProcess(HostPath(), {"batch", "--settings", utf8, "--history", history_, "--keep-share",
                              "8000", "--quiet"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(TExtIniFile(utf8).ReadString(section, "Veltrin", ""), host::GbkToUtf8(expected));

  // --out writes elsewhere and leaves the settings file alone; a settings
  // file behind a link is saved where the link leads.
  const std::string before = ReadFileBytes(flt);
#if !defined(_WIN32)
  const std::string real = dir_ + "real.flt", link = dir_ + "link.flt";
  WriteFileBytes(real, "[x]\r\ny=2\r\n");
  fs::create_symlink("real.flt", link);
  r = RunProcess(HostPath(), {"batch", "--settings", flt, "--history", history_, "--keep-share",
                              "8000", "--out", link});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(TExtIniFile(real).ReadString(kTxtFltSection, "Veltrin", ""), expected);
  EXPECT_EQ(TExtIniFile(real).ReadString("x", "y", ""), "2");
  EXPECT_EQ(ReadFileBytes(flt), before);
#endif
}

TEST_F(HostAidesTest, ToleranceProposesWhatTheDialogsAideProposes) {
  std::string condition;
  for (const std::string& line : kConditions) condition += line + ";";
  // The engine's failing counts, and the host's proposal over them.
  TProGradeFilter* filter = TProGradeFilter::New();
  filter->FilterStr = condition;
  ASSERT_TRUE(filter->PrepareRun());
  host::Distribution failing;
  for (const host::Draw& draw : draws_.Draws) ++failing[filter->CountFailed(draw.Digits.c_str())];
  filter->Free();
  const auto proposal = host::ProposeTolerance(failing, 7000);
  ASSERT_TRUE(proposal);

  ProcessResult r = RunProcess(HostPath(), {"tolerance", "--condition", "E|5-9;" + condition,
                                            "--history", history_, "--keep-share", "7000"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("\nE|" + proposal->Text() + "\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("keeps " + std::to_string(proposal->Kept) + " of 200 draws"),
            std::string::npos)
      << r.out;
}

TEST_F(HostAidesTest, HistoryReportsEachConditionAndTheVerdicts) {
  const std::string setting = Join(kConditions, "E|0-1;");
  TProGradeFilter* filter = TProGradeFilter::New();
  filter->FilterStr = setting;
  ASSERT_TRUE(filter->PrepareRun());
  int kept = 0;
  std::vector<int> inside(kConditions.size());
  for (const host::Draw& draw : draws_.Draws) {
    kept += filter->Execute(draw.Digits.c_str()) == 0;
    for (size_t i = 0; i < kConditions.size(); ++i) {
      int64_t score = 0;
      TFilterCodeGrade parsed;
      ASSERT_TRUE(TProGradeFilter::ParseCondition(kConditions[i], parsed));
      ASSERT_TRUE(TProGradeFilter::ScoreBet(draw.Digits, parsed, score));
      inside[i] += score >= parsed.Lower && score <= parsed.Upper;
    }
  }
  filter->Free();

  const std::string flt = dir_ + "s.flt";
  WriteFileBytes(flt, SettingsFile(setting));
  ProcessResult r = RunProcess(HostPath(), {"history", "--settings", flt, "--history", history_});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  for (size_t i = 0; i < kConditions.size(); ++i) {
    const std::string head = "condition " + std::to_string(i + 1) + ": ";
    const size_t at = r.out.find(head);
    ASSERT_NE(at, std::string::npos) << r.out;
    EXPECT_NE(r.out.find(": " + std::to_string(inside[i]) + " of 200 draws", at), std::string::npos)
        << r.out;
  }
  EXPECT_NE(r.out.find("The setting keeps " + std::to_string(kept) + " of 200 draws"),
            std::string::npos)
      << r.out;
}

TEST(HostOptionsTest, OptionsThatDoNotApplyAreRefused) {
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* message;
  } cases[] = {
      {{"filter", "--history", "h.txt"}, 2, "--history does not apply to filter"},
      {{"filter", "--keep-share", "10"}, 2, "--keep-share does not apply to filter"},
      {{"table", "--keep-share", "10"}, 2, "--keep-share does not apply to table"},
      {{"debug", "--out", "x", "12345"}, 2, "--out does not apply to debug"},
      {{"history", "--keep-share", "10"}, 2, "--keep-share does not apply to history"},
      {{"tolerance", "--out", "x"}, 2, "--out does not apply to tolerance"},
      {{"batch"}, 1, "give --history FILE"},
  };
  for (const Case& c : cases) {
    ProcessResult r = RunProcess(HostPath(), c.args);
    EXPECT_EQ(r.exitCode, c.status) << c.args[0] << ": " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
}  // namespace veltrin::test
