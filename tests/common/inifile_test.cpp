#include "common/inifile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>
#endif

namespace veltrin {
namespace {

namespace fs = std::filesystem;

// 过滤 and 直选 in GBK.
constexpr char kGbkSection[] = "\xB9\xFD\xC2\xCB";
constexpr char kGbkValue[] = "\xD6\xB1\xD1\xA1";

class IniFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    // Unique per process too: several builds may run the same test at once.
#if defined(_WIN32)
    const unsigned long pid = GetCurrentProcessId();
#else
    const unsigned long pid = static_cast<unsigned long>(getpid());
#endif
    std::string name =
        "veltrin_ini_" + std::to_string(pid) + "_" + info->test_suite_name() + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    dir_ = fs::temp_directory_path() / name;
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }

  // Test paths are plain ASCII, so the narrow form is the same on every platform.
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  static void WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    ASSERT_EQ(std::fclose(f), 0);
  }

  static std::string ReadBytes(const std::string& path) {
    std::string out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buf[4096];
    size_t got;
    while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, got);
    std::fclose(f);
    return out;
  }

  std::vector<std::string> DirEntries() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    return names;
  }

  fs::path dir_;
};

// --- reading ----------------------------------------------------------------

struct ReadCase {
  const char* label;
  std::string content;
  std::string section;
  std::string ident;
  std::string expected;
};

class IniReadTest : public IniFileTest, public testing::WithParamInterface<ReadCase> {};

TEST_P(IniReadTest, ReadsValueOrDefault) {
  const ReadCase& c = GetParam();
  std::string path = PathOf("f.flt");
  WriteBytes(path, c.content);
  TExtIniFile ini(path);
  EXPECT_EQ(ini.ReadString(c.section, c.ident, "DEF"), c.expected);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    IniDialect, IniReadTest,
    testing::Values(
        ReadCase{"SectionCaseInsensitive", "[Abc]\r\nk=1", "ABC", "k", "1"},
        ReadCase{"SectionLowerRequest", "[ABC]\r\nk=1", "abc", "k", "1"},
        ReadCase{"KeyCaseSensitive", "[Abc]\r\nk=1", "ABC", "K", "DEF"},
        ReadCase{"BlanksAroundEquals", "[Abc]\r\nk = 1", "Abc", "k", "DEF"},
        ReadCase{"BlankBeforeKey", "[Abc]\r\n k=1", "Abc", "k", "DEF"},
        ReadCase{"BlankBeforeHeader", " [Abc]\r\nk=1", "Abc", "k", "DEF"},
        ReadCase{"BlankAfterHeader", "[Abc] \r\nk=1", "Abc", "k", "DEF"},
        ReadCase{"EmptyLineEndsBody", "[S]\r\na=1\r\n\r\nb=2", "S", "b", "DEF"},
        ReadCase{"BeforeEmptyLine", "[S]\r\na=1\r\n\r\nb=2", "S", "a", "1"},
        ReadCase{"NextHeaderEndsBody", "[S]\r\n[T]\r\nk=1", "S", "k", "DEF"},
        ReadCase{"AnyBracketLineEndsBody", "[S]\r\n[not a header\r\nk=1", "S", "k", "DEF"},
        ReadCase{"SecondSection", "[S]\r\n[T]\r\nk=1", "T", "k", "1"},
        ReadCase{"ValueWithEquals", "[S]\r\nk=x=y", "S", "k", "x=y"},
        ReadCase{"ValueKeptAsItStands", "[S]\r\nk= a ;b ", "S", "k", " a ;b "},
        ReadCase{"EmptyValueIsNotDefault", "[S]\r\nk=", "S", "k", ""},
        ReadCase{"FirstEntryWins", "[S]\r\nk=1\r\nk=2", "S", "k", "1"},
        ReadCase{"OnlyFirstSectionCounts", "[S]\r\nk=1\r\n[S]\r\nj=2", "S", "j", "DEF"},
        ReadCase{"FirstOfTwoSections", "[s]\r\nk=1\r\n[S]\r\nk=2", "S", "k", "1"},
        ReadCase{"OtherLinesSkipped", "[S]\r\n;note\r\njunk\r\n   \r\nk=1", "S", "k", "1"},
        ReadCase{"KeyIsNotAPrefix", "[S]\r\nkk=1", "S", "k", "DEF"},
        ReadCase{"KeyLongerThanLine", "[S]\r\nk=1", "S", "kk", "DEF"},
        ReadCase{"KeyWithoutEquals", "[S]\r\nk", "S", "k", "DEF"},
        ReadCase{"EntryOutsideSection", "k=1\r\n[S]\r\na=2", "S", "k", "DEF"},
        ReadCase{"MissingSection", "[T]\r\nk=1", "S", "k", "DEF"},
        ReadCase{"EmptyFile", "", "S", "k", "DEF"}, ReadCase{"CrOnly", "[S]\rk=1", "S", "k", "1"},
        ReadCase{"LfOnly", "[S]\nk=1\n", "S", "k", "1"},
        ReadCase{"LfThenCrIsTwoBreaks", "[S]\n\rk=1", "S", "k", "DEF"},
        ReadCase{"ZeroByteEndsText", "[S]\r\nk=1\0\r\nj=2"s, "S", "j", "DEF"},
        ReadCase{"BeforeZeroByte", "[S]\r\nk=1\0\r\nj=2"s, "S", "k", "1"},
        ReadCase{"GbkSection", "["s + kGbkSection + "]\r\nk=" + kGbkValue, kGbkSection, "k",
                 kGbkValue},
        ReadCase{"MixedSection", "[ab"s + kGbkSection + "]\r\nk=1", "AB"s + kGbkSection, "k", "1"},
        // Only a-z fold: a byte that a Latin-1 locale would fold stays as it is.
        ReadCase{"NonAsciiDoesNotFold", "[\xE9]\r\nk=1", "\xC9", "k", "DEF"}),
    [](const testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.label); });

TEST_F(IniFileTest, MissingFileIsEmpty) {
  TExtIniFile ini(PathOf("none.flt"));
  EXPECT_TRUE(ini.Lines().empty());
  EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "DEF");
  EXPECT_EQ(ini.FileName(), PathOf("none.flt"));
  EXPECT_EQ(ReadBytes(PathOf("none.flt")), "<missing>") << "reading must not create the file";
}

TEST_F(IniFileTest, LoadSplitsLinesAndKeepsBytes) {
  std::string path = PathOf("f.flt");
  WriteBytes(path, "[S]\r\na=1\n\nb=\xB9\xFD\r\r\n;x");
  TExtIniFile ini(path);
  EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "a=1", "", "b=\xB9\xFD", "", ";x"}));
}

// --- writing ----------------------------------------------------------------

struct WriteCase {
  const char* label;
  std::string before;  // "<missing>" for no file
  std::string section;
  std::string ident;
  std::string value;
  std::string after;
};

class IniWriteTest : public IniFileTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(IniWriteTest, WritesFileExactly) {
  const WriteCase& c = GetParam();
  std::string path = PathOf("f.flt");
  if (c.before != "<missing>") WriteBytes(path, c.before);
  {
    TExtIniFile ini(path);
    ini.WriteString(c.section, c.ident, c.value);
  }
  EXPECT_EQ(ReadBytes(path), c.after);
  // Whatever was written reads back through a fresh object, unless a later
  // duplicate or an empty line hides it (cases built so that it does not).
  TExtIniFile again(path);
  EXPECT_EQ(again.ReadString(c.section, c.ident, "DEF"), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    IniDialect, IniWriteTest,
    testing::Values(
        WriteCase{"NewFile", "<missing>", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"EmptyFile", "", "S", "k", "v", "[S]\r\nk=v\r\n"},
        WriteCase{"InsertBeforeEmptyLine", "[S]\r\na=1\r\n\r\nb=2", "S", "b", "3",
                  "[S]\r\na=1\r\nb=3\r\n\r\nb=2\r\n"},
        WriteCase{"InsertBeforeNextHeader", "[S]\r\na=1\r\n[T]\r\nx=1", "S", "k", "v",
                  "[S]\r\na=1\r\nk=v\r\n[T]\r\nx=1\r\n"},
        WriteCase{"InsertRightAfterHeader", "[S]\r\n\r\nz=1", "S", "k", "v",
                  "[S]\r\nk=v\r\n\r\nz=1\r\n"},
        WriteCase{"HeaderIsLastLine", "[A]\r\nx=1\r\n[S]", "S", "k", "v",
                  "[A]\r\nx=1\r\n[S]\r\nk=v\r\n"},
        WriteCase{"AppendAtEndOfLastSection", "[S]\r\na=1", "S", "k", "v", "[S]\r\na=1\r\nk=v\r\n"},
        WriteCase{"ReplaceInPlace", "[S]\r\nk=1\r\nj=2", "S", "k", "9", "[S]\r\nk=9\r\nj=2\r\n"},
        WriteCase{"ReplaceWithEmptyValue", "[S]\r\nk=1", "S", "k", "", "[S]\r\nk=\r\n"},
        WriteCase{"NewSectionAsSpelled", "[A]\r\nx=1", "sEc", "k", "v",
                  "[A]\r\nx=1\r\n[sEc]\r\nk=v\r\n"},
        WriteCase{"NewSectionAfterTrailingEmptyLine", "[A]\r\nx=1\r\n\r\n", "S", "k", "v",
                  "[A]\r\nx=1\r\n\r\n[S]\r\nk=v\r\n"},
        WriteCase{"HeaderMatchedWithoutCase", "[abc]\r\nk=1", "ABC", "k", "2", "[abc]\r\nk=2\r\n"},
        WriteCase{"KeyCaseSensitive", "[S]\r\nK=1", "S", "k", "2", "[S]\r\nK=1\r\nk=2\r\n"},
        WriteCase{"BlanksAroundEqualsNotAnEntry", "[S]\r\nk = 1", "S", "k", "2",
                  "[S]\r\nk = 1\r\nk=2\r\n"},
        WriteCase{"OnlyFirstOfTwoHeaders", "[S]\r\na=1\r\n[S]\r\nk=1", "S", "k", "2",
                  "[S]\r\na=1\r\nk=2\r\n[S]\r\nk=1\r\n"},
        WriteCase{"HeaderWithBlankNotMatched", " [S]\r\nk=1", "S", "k", "2",
                  " [S]\r\nk=1\r\n[S]\r\nk=2\r\n"},
        WriteCase{"ValueWithEquals", "[S]\r\nk=1", "S", "k", "x=y;z", "[S]\r\nk=x=y;z\r\n"},
        WriteCase{"OtherLinesUntouched", "[S]\n;note\r   \nk=1", "S", "k", "2",
                  "[S]\r\n;note\r\n   \r\nk=2\r\n"},
        WriteCase{"GbkUnchanged", "["s + kGbkSection + "]\nk=" + kGbkValue + "\r", kGbkSection, "j",
                  kGbkValue,
                  "["s + kGbkSection + "]\r\nk=" + kGbkValue + "\r\nj=" + kGbkValue + "\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) { return std::string(info.param.label); });

TEST_F(IniFileTest, WrittenValuesReadBack) {
  std::string path = PathOf("f.flt");
  const std::vector<std::pair<std::string, std::string>> values = {
      {"a", "1"}, {"b", " lead and trail "}, {"c", "x=y"}, {"d", "p;q;r"}, {"e", kGbkValue}};
  {
    TExtIniFile ini(path);
    for (const auto& [k, v] : values) ini.WriteString(kGbkSection, k, v);
    ini.WriteString("Other", "a", "2");
    ini.WriteString(kGbkSection, "a", "3");  // replace after another section followed
  }
  TExtIniFile ini(path);
  EXPECT_EQ(ini.ReadString(kGbkSection, "a", "DEF"), "3");
  for (size_t i = 1; i < values.size(); ++i)
    EXPECT_EQ(ini.ReadString(kGbkSection, values[i].first, "DEF"), values[i].second);
  EXPECT_EQ(ini.ReadString("OTHER", "a", "DEF"), "2");
  EXPECT_EQ(ini.Lines().size(), 8u);
}

TEST_F(IniFileTest, ValueWithLineBreakReadsBackToTheBreak) {
  std::string path = PathOf("f.flt");
  TExtIniFile(path).WriteString("S", "k", "a\r\nb");
  EXPECT_EQ(ReadBytes(path), "[S]\r\nk=a\r\nb\r\n");
  EXPECT_EQ(TExtIniFile(path).ReadString("S", "k", "DEF"), "a");
}

TEST_F(IniFileTest, WithoutAutoSaveOnlySaveWrites) {
  std::string path = PathOf("f.flt");
  WriteBytes(path, "[S]\nk=1");
  TExtIniFile ini(path, false);
  EXPECT_FALSE(ini.AutoSave());
  ini.WriteString("S", "k", "2");
  EXPECT_EQ(ReadBytes(path), "[S]\nk=1");
  EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "2");
  ini.Save();
  EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

TEST_F(IniFileTest, SaveNormalisesLineEndsOnly) {
  std::string path = PathOf("f.flt");
  WriteBytes(path, "x\ry\n\r\nz\xFF\x01");
  TExtIniFile(path, false).Save();
  EXPECT_EQ(ReadBytes(path), "x\r\ny\r\n\r\nz\xFF\x01\r\n");
}

TEST_F(IniFileTest, SavingEmptyListGivesEmptyFile) {
  std::string path = PathOf("f.flt");
  TExtIniFile(path, false).Save();
  EXPECT_EQ(ReadBytes(path), "");
}

TEST_F(IniFileTest, SaveLeavesNoOtherFileBehind) {
  std::string path = PathOf("f.flt");
  WriteBytes(path, "[S]\r\nk=1\r\n");
  TExtIniFile ini(path);
  ini.WriteString("S", "k", "2");
  ini.WriteString("S", "j", "3");
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"f.flt"});
}

#if !defined(_WIN32)
TEST_F(IniFileTest, SaveKeepsPermissions) {
  std::string path = PathOf("f.flt");
  WriteBytes(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  TExtIniFile(path).WriteString("S", "k", "2");
  struct stat st;
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFileTest, SaveThroughALinkReplacesItsTarget) {
  WriteBytes(PathOf("real.flt"), "[S]\r\nk=1\r\n");
  ASSERT_EQ(symlink("real.flt", PathOf("link.flt").c_str()), 0);
  TExtIniFile(PathOf("link.flt")).WriteString("S", "k", "2");
  EXPECT_TRUE(fs::is_symlink(PathOf("link.flt")));
  EXPECT_EQ(TExtIniFile(PathOf("real.flt")).ReadString("S", "k", ""), "2");
  std::vector<std::string> names = DirEntries();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"link.flt", "real.flt"}));
}
#endif

// --- odd content ------------------------------------------------------------

TEST_F(IniFileTest, BinaryContentLoads) {
  std::string bytes;
  for (int round = 0; round < 3; ++round)
    for (int b = 255; b >= 0; --b) bytes += char(b);
  std::string path = PathOf("bin.flt");
  WriteBytes(path, bytes);
  TExtIniFile ini(path);
  // Bytes 255..14, then 13 (CR), 12, 11, then 10 (LF), 9..1, then the zero
  // byte ends the text.
  ASSERT_EQ(ini.Lines().size(), 3u);
  EXPECT_EQ(ini.Lines()[0].size(), 242u);
  EXPECT_EQ(ini.Lines()[1], "\x0C\x0B");
  EXPECT_EQ(ini.Lines()[2].size(), 9u);
  EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "DEF");
}

TEST_F(IniFileTest, LargeFileLoads) {
  std::string bytes(3 << 20, 'x');  // one line without an end, then many short ones
  for (int i = 0; i < 100000; ++i) bytes += "\nk=" + std::to_string(i);
  bytes.insert(0, "[S]\r");
  std::string path = PathOf("big.flt");
  WriteBytes(path, bytes);
  TExtIniFile ini(path);
  ASSERT_EQ(ini.Lines().size(), 100002u);
  EXPECT_EQ(ini.Lines()[1].size(), size_t(3 << 20));
  EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "0");
}

// --- failures ---------------------------------------------------------------

TEST_F(IniFileTest, DirectoryCannotBeLoaded) {
  fs::create_directory(dir_ / "sub.flt");
  EXPECT_THROW(TExtIniFile ini(PathOf("sub.flt")), std::runtime_error);
}

TEST_F(IniFileTest, SaveIntoMissingDirectoryThrows) {
  std::string path = PathOf("nodir/f.flt");
  TExtIniFile ini(path);
  EXPECT_THROW(ini.WriteString("S", "k", "v"), std::runtime_error);
  // The change stays in memory even though the file could not be written.
  EXPECT_EQ(ini.ReadString("S", "k", "DEF"), "v");
  EXPECT_FALSE(fs::exists(dir_ / "nodir"));
}

TEST_F(IniFileTest, SaveBelowRegularFileThrows) {
  WriteBytes(PathOf("plain"), "data");
  std::string path = PathOf("plain") + "/f.flt";
  TExtIniFile ini(path);
  try {
    ini.WriteString("S", "k", "v");
    FAIL() << "save below a regular file succeeded";
  } catch (const std::runtime_error& e) {
    EXPECT_NE(std::string(e.what()).find("f.flt"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadBytes(PathOf("plain")), "data");
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"plain"});
}

TEST_F(IniFileTest, SaveOverDirectoryThrows) {
  TExtIniFile ini(PathOf("d.flt"), false);
  ini.WriteString("S", "k", "v");
  fs::create_directories(dir_ / "d.flt" / "inner");
  EXPECT_THROW(ini.Save(), std::runtime_error);
  EXPECT_TRUE(fs::is_directory(dir_ / "d.flt" / "inner"));
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"d.flt"});
}

#if defined(_WIN32)
TEST_F(IniFileTest, ReadOnlyTargetKeptWhole) {
  std::string path = PathOf("f.flt");
  const std::string original = "[S]\r\nk=1\r\n";
  WriteBytes(path, original);
  ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
  TExtIniFile ini(path);
  EXPECT_THROW(ini.WriteString("S", "k", "2"), std::runtime_error);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"f.flt"});
}

TEST_F(IniFileTest, GbkFileNameIsWidenedAsGbk) {
  std::string path = PathOf("") + kGbkSection + ".flt";
  TExtIniFile(path).WriteString("S", "k", "v");
  EXPECT_TRUE(fs::exists(dir_ / L"\u8FC7\u6EE4.flt"));
  EXPECT_EQ(TExtIniFile(path).ReadString("S", "k", "DEF"), "v");
}
#else
TEST_F(IniFileTest, GbkFileNameKeptAsBytes) {
  std::string path = PathOf("") + kGbkSection + ".flt";
  TExtIniFile(path).WriteString("S", "k", "v");
  EXPECT_EQ(ReadBytes(path), "[S]\r\nk=v\r\n");
}

TEST_F(IniFileTest, FailedWriteKeepsOriginalWhole) {
  // A file-size limit makes the write fail part-way, as a full disk would.
  std::string path = PathOf("f.flt");
  const std::string original = "[S]\r\nk=1\r\n";
  WriteBytes(path, original);
  TExtIniFile ini(path, false);
  ini.WriteString("S", "k", std::string(1 << 20, 'v'));

  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit small = saved;
  small.rlim_cur = 4096;
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  // Nothing below may print until the limit is lifted again.
  bool threw = false;
  try {
    ini.Save();
  } catch (const std::runtime_error&) {
    threw = true;
  }
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_TRUE(threw);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"f.flt"});
  EXPECT_EQ(ini.ReadString("S", "k", "DEF").size(), size_t(1 << 20));
}

TEST_F(IniFileTest, ReadOnlyDirectoryKeepsOriginalWhole) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  std::string path = PathOf("f.flt");
  const std::string original = "[S]\r\nk=1\r\n";
  WriteBytes(path, original);
  TExtIniFile ini(path);
  ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
  EXPECT_THROW(ini.WriteString("S", "k", "2"), std::runtime_error);
  chmod(dir_.c_str(), 0755);
  EXPECT_EQ(ReadBytes(path), original);
}

TEST_F(IniFileTest, ReadOnlyTargetKeptWhole) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  std::string path = PathOf("f.flt");
  const std::string original = "[S]\r\nk=1\r\n";
  WriteBytes(path, original);
  ASSERT_EQ(chmod(path.c_str(), 0444), 0);
  TExtIniFile ini(path);
  EXPECT_THROW(ini.WriteString("S", "k", "2"), std::runtime_error);
  EXPECT_EQ(ReadBytes(path), original);
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"f.flt"});
}

TEST_F(IniFileTest, UnreadableFileThrows) {
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind the superuser";
  std::string path = PathOf("f.flt");
  WriteBytes(path, "[S]\r\nk=1\r\n");
  ASSERT_EQ(chmod(path.c_str(), 0), 0);
  EXPECT_THROW(TExtIniFile ini(path), std::runtime_error);
}
#endif

}  // namespace
}  // namespace veltrin
