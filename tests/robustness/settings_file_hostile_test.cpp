// Settings files that no dialog wrote: empty, binary, huge, lines without
// end. Whatever a file holds, reading answers a value or the default,
// writing a key makes it read back, and every line it did not touch is
// saved as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/inifile.h"
#include "common/texts.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;

class SettingsFileHostileTest : public testing::Test {
 protected:
  void SetUp() override {
#if defined(_WIN32)
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    dir_ =
        fs::temp_directory_path() / ("veltrin_hostile_" + std::to_string(pid) + "_" +
                                     testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "f.flt").string();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }

  void Write(const std::string& bytes) {
    std::FILE* f = std::fopen(path_.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
  }
  std::string Read() const {
    std::string bytes;
    std::FILE* f = std::fopen(path_.c_str(), "rb");
    if (!f) return bytes;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
    std::fclose(f);
    return bytes;
  }
  // Writes one key and checks that it reads back from a fresh load and that
  // the write changed nothing but its own line (replaced or inserted) or
  // added its section at the end; returns the lines of the fresh load.
  std::vector<std::string> WriteAndReload(const std::string& section, const std::string& key,
                                          const std::string& value) {
    std::vector<std::string> before;
    {
      TExtIniFile ini(path_);
      before = ini.Lines();
      ini.WriteString(section, key, value);
    }
    TExtIniFile again(path_);
    EXPECT_EQ(again.ReadString(section, key, "DEF"), value);
    std::vector<std::string> after = again.Lines();
    const std::string entry = key + "=" + value;
    if (after.size() == before.size() + 2) {
      EXPECT_EQ(after.back(), entry);
      after.resize(before.size());  // the new section and its key, at the end
    } else {
      auto at = std::find(after.begin(), after.end(), entry);
      EXPECT_NE(at, after.end());
      if (after.size() == before.size() + 1 && at != after.end()) {
        after.erase(at);  // inserted into its section
      } else if (after.size() == before.size() && at != after.end()) {
        *at = before[size_t(at - after.begin())];  // replaced in place
      }
    }
    EXPECT_TRUE(after == before) << "a line the write did not concern changed";
    return again.Lines();
  }

  fs::path dir_;
  std::string path_;
};

TEST_F(SettingsFileHostileTest, EmptyFileGivesDefaultsAndTakesAKey) {
  Write("");
  {
    TExtIniFile ini(path_);
    EXPECT_TRUE(ini.Lines().empty());
    EXPECT_EQ(ini.ReadString(kTxtFltSection, "k", "DEF"), "DEF");
    EXPECT_EQ(ini.ReadString("", "", "DEF"), "DEF");
  }
  WriteAndReload(kTxtFltSection, "k", "v");
  EXPECT_EQ(Read(), std::string("[") + kTxtFltSection + "]\r\nk=v\r\n");
}

TEST_F(SettingsFileHostileTest, BinaryFileWithoutZeroBytesKeepsEveryLine) {
  // 64 KiB of random bytes 1..255: lines of anything, some looking like
  // headers or entries by chance.
  std::mt19937 random(20240601);
  std::string bytes(1 << 16, '\0');
  for (char& c : bytes) c = char(1 + random() % 255);
  Write(bytes);
  const std::vector<std::string> lines = WriteAndReload(kTxtFltSection, "k", "v");
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2], std::string("[") + kTxtFltSection + "]");
  EXPECT_EQ(lines.back(), "k=v");
}

TEST_F(SettingsFileHostileTest, BinaryFileWithZeroBytesStillTakesAKey) {
  std::string bytes;
  for (int round = 0; round < 64; ++round)
    for (int b = 0; b < 256; ++b) bytes += char((b * 37 + round) & 0xFF);
  Write(bytes);
  {
    TExtIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "DEF");
  }
  WriteAndReload("S", "k", "v");
}

TEST_F(SettingsFileHostileTest, HugeFileOfManyEntries) {
  // 200,000 entries of one section, 6 MB: a read and a write stay linear.
  std::string bytes = std::string("[") + kTxtFltSection + "]\r\n";
  bytes.reserve(7 << 20);
  for (int i = 0; i < 200000; ++i)
    bytes += "key" + std::to_string(i) + "=" + std::string(12, 'v') + "\r\n";
  Write(bytes);
  {
    TExtIniFile ini(path_);
    ASSERT_EQ(ini.Lines().size(), 200001u);
    EXPECT_EQ(ini.ReadString(kTxtFltSection, "key199999", "DEF"), std::string(12, 'v'));
    EXPECT_EQ(ini.ReadString(kTxtFltSection, "key200000", "DEF"), "DEF");
  }
  const std::vector<std::string> lines = WriteAndReload(kTxtFltSection, "key200000", "new");
  ASSERT_EQ(lines.size(), 200002u);
  EXPECT_EQ(lines.back(), "key200000=new");
  EXPECT_EQ(Read().size(), bytes.size() + std::string("key200000=new\r\n").size());
}

TEST_F(SettingsFileHostileTest, LinesWithoutEnd) {
  // A file of one 10 MB line and no line end at all.
  const std::string line(10 << 20, 'x');
  Write(line);
  const std::vector<std::string> lines = WriteAndReload("S", "k", "v");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], line);
  EXPECT_EQ(Read(), line + "\r\n[S]\r\nk=v\r\n");

  // A 10 MB value on the last line, without its line end, reads whole.
  Write("[S]\r\nbig=" + line);
  {
    TExtIniFile ini(path_);
    EXPECT_EQ(ini.ReadString("S", "big", "DEF"), line);
  }
  WriteAndReload("S", "k", "v");
  TExtIniFile again(path_);
  EXPECT_EQ(again.ReadString("S", "big", "DEF"), line);
}

TEST_F(SettingsFileHostileTest, FilesOfLineEndsOnly) {
  // 100,000 CRs: as many empty lines. An empty line ends a section's body,
  // so a key written under a header among them lands right after it.
  Write(std::string(100000, '\r'));
  {
    TExtIniFile ini(path_);
    EXPECT_EQ(ini.Lines().size(), 100000u);
  }
  WriteAndReload("S", "k", "v");

  Write("[S]" + std::string(50000, '\n') + "k=old");
  const std::vector<std::string> lines = WriteAndReload("S", "k", "v");
  EXPECT_EQ(lines[1], "k=v");
  EXPECT_EQ(lines.back(), "k=old") << "outside the section's body, so not the key";
}

TEST_F(SettingsFileHostileTest, HugeSectionAndKeyNames) {
  const std::string section(1 << 20, 'S');
  const std::string key(1 << 20, 'k');
  Write("");
  WriteAndReload(section, key, "v");
  TExtIniFile ini(path_);
  EXPECT_EQ(ini.ReadString(std::string(1 << 20, 's'), key, "DEF"), "v") << "ASCII case ignored";
  EXPECT_EQ(ini.ReadString(section, std::string(1 << 20, 'K'), "DEF"), "DEF");
}

}  // namespace
}  // namespace veltrin
