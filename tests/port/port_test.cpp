// The platform layer: what each platform file must answer alike.
#include "port/port.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/host/run_process.h"

namespace veltrin::port {
namespace {

TEST(PortIntTest, TellsNoIntegerFromOutOfRange) {
  struct Case {
    const char* text;
    IntStatus status;
    int64_t value;
  } cases[] = {
      {"42", IntStatus::Ok, 42},          {" 7", IntStatus::Ok, 7},
      {"+10000", IntStatus::Ok, 10000},   {"10001", IntStatus::OutOfRange, 0},
      {"-1", IntStatus::OutOfRange, 0},   {"99999999999999999999999", IntStatus::OutOfRange, 0},
      {"", IntStatus::NotInteger, 0},     {"-", IntStatus::NotInteger, 0},
      {"12a", IntStatus::NotInteger, 0},  {"1 2", IntStatus::NotInteger, 0},
      {"0x10", IntStatus::NotInteger, 0}, {"12 ", IntStatus::NotInteger, 0},
  };
  for (const Case& c : cases) {
    int64_t v = -99;
    EXPECT_EQ(ParseInt(c.text, 0, 10000, v), c.status) << '"' << c.text << '"';
    if (c.status == IntStatus::Ok) {
      EXPECT_EQ(v, c.value) << c.text;
    }
  }
  EXPECT_EQ(IntProblem(IntStatus::OutOfRange, "--digits", "12", 1, 9),
            "--digits '12' is out of range [1, 9]");
  EXPECT_EQ(IntProblem(IntStatus::NotInteger, "--digits", "x", 1, 9),
            "--digits 'x' is not an integer");
}

TEST(PortTextTest, ConvertsBetweenGbkUtf8AndUtf16) {
  const std::string gbk = "\xB9\xFD\xC2\xCB";  // 过滤
  const std::string utf8 = "\xE8\xBF\x87\xE6\xBB\xA4";
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
  std::string back;
  ASSERT_TRUE(Utf8ToGbk(utf8, back));
  EXPECT_EQ(back, gbk);
  EXPECT_FALSE(Utf8ToGbk("\xF0\x9F\x98\x80", back));  // no GBK form
  EXPECT_FALSE(Utf8ToGbk("\xC3", back));              // no UTF-8
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\\x81");            // shown, not dropped
  EXPECT_EQ(Utf16ToUtf8(GbkToUtf16(gbk)), utf8);
  EXPECT_EQ(Utf16ToGbk(Utf8ToUtf16(utf8 + "\xF0\x9F\x98\x80")), gbk + "?");
  // A pair beyond the basic plane survives; a lone surrogate does not.
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("\xF0\x9F\x98\x80")), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
  // A window shows a byte that starts no GBK character as U+FFFD, and only
  // that byte: the characters around it stay.
  EXPECT_EQ(GbkToUtf16("a\x81"), u"a\uFFFD");
  EXPECT_EQ(GbkToUtf16("\xFF" + gbk + "\x81"), u"\uFFFD\u8FC7\u6EE4\uFFFD");
}

TEST(PortFileTest, ReplacingFileIsWholeOrAbsent) {
  namespace fs = std::filesystem;
  const std::string dir = test::ScratchPath("dir");
  fs::create_directories(dir);
  const std::string target = (fs::path(dir) / "t.txt").string();
  test::WriteFileBytes(target, "old");
  std::string error;
  {
    ReplacingFile f;
    ASSERT_TRUE(f.Open(target, error)) << error;
    std::fputs("half", f.Stream());
  }  // dropped: the old file stays, nothing beside it
  EXPECT_EQ(test::ReadFileBytes(target), "old");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
  ReplacingFile f;
  ASSERT_TRUE(f.Open(target, error)) << error;
  std::fputs("new", f.Stream());
  ASSERT_TRUE(f.Commit(error)) << error;
  EXPECT_EQ(test::ReadFileBytes(target), "new");
  EXPECT_FALSE(f.Open(dir, error));
  EXPECT_NE(error.find("folder"), std::string::npos) << error;
  EXPECT_TRUE(SameFile(target, (fs::path(dir) / "." / "t.txt").string()));
  EXPECT_FALSE(SameFile(target, dir));
  EXPECT_EQ(KindOf(dir), PathKind::Folder);
  EXPECT_EQ(KindOf(target), PathKind::File);
  EXPECT_EQ(KindOf(target + ".none"), PathKind::Missing);
  std::string content;
  EXPECT_FALSE(ReadFile(target + ".none", content, error));
  EXPECT_NE(error.find("cannot open"), std::string::npos) << error;
  fs::remove_all(dir);
}

TEST(PortFileTest, ProgramFolderHoldsThisProgram) {
  const std::string folder = ProgramFolder();
  ASSERT_FALSE(folder.empty());
  EXPECT_TRUE(folder.back() == kPathSeparator);
  // Linked into this program, the module is the program.
  EXPECT_EQ(ModuleFolder(), folder);

  EXPECT_EQ(JoinPath("a", "b"), std::string("a") + kPathSeparator + "b");
  EXPECT_EQ(JoinPath("a/", "b"), "a/b");
}

TEST(PortLibraryTest, LoadsTheSharedMemoryModuleAndSaysWhyNot) {
  std::string error;
  void* library =
      OpenLibrary(JoinPath(ProgramFolder(), "veltrin_sharemem" VELTRIN_LIBRARY_SUFFIX), error);
  ASSERT_NE(library, nullptr) << error;
  EXPECT_NE(LibrarySymbol(library, "ShareGetMem"), nullptr);
  EXPECT_EQ(LibrarySymbol(library, "NoSuchExport"), nullptr);
  EXPECT_EQ(LibrarySymbol(nullptr, "ShareGetMem"), nullptr);
  CloseLibrary(library);
  CloseLibrary(nullptr);  // ignored

  const std::string missing = JoinPath(ProgramFolder(), "no-such-library" VELTRIN_LIBRARY_SUFFIX);
  EXPECT_EQ(OpenLibrary(missing, error), nullptr);
  EXPECT_EQ(error.rfind("cannot load " + missing + ": ", 0), 0u) << error;
  EXPECT_GT(error.size(), ("cannot load " + missing + ": ").size()) << error;
}

}  // namespace
}  // namespace veltrin::port
