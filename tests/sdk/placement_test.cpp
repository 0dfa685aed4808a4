// The C example host run as a program against copies of the library placed
// where a host puts them: the library finds its shared memory module beside
// itself, wherever that is, and nowhere else (not in the build folder).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "host/run_process.h"
#include "plugin/exports.h"
#include "plugin/library.h"

namespace veltrin::test {
namespace {

namespace fs = std::filesystem;

#if defined(_WIN32)
constexpr char kExampleHost[] = "c_host.exe";
#else
constexpr char kExampleHost[] = "c_host";
#endif

// A folder of its own for the example host, without any library beside it,
// and a plug-in folder holding copies of the given files of the build.
struct Placement {
  fs::path root, bin, plugins;
  explicit Placement(std::initializer_list<const char*> files) {
    root = fs::path(ScratchPath("placed"));
    bin = root / "bin";
    plugins = root / "plugins";
    fs::create_directories(bin);
    fs::create_directories(plugins);
    fs::copy_file(TestBinaryDir() + kExampleHost, bin / kExampleHost);
    for (const char* f : files) fs::copy_file(TestBinaryDir() + f, plugins / f);
  }
  ~Placement() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  ProcessResult Run() const {
    return RunProcess((bin / kExampleHost).string(),
                      {(plugins / kLibraryFileName).string(), "345", "120"});
  }
};

TEST(LibraryPlacement, FindsItsSharedMemoryModuleBesideItself) {
  Placement placed({kLibraryFileName, kShareMemFileName});
  ProcessResult r = placed.Run();
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("345 keep"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("120 remove"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("debug 345: verdict 0, 0 failed, 1 line(s)"), std::string::npos) << r.out;
}

// Without its module beside it the library is not taken from the build
// folder. Natively the loader refuses it; the Windows library loads without
// it, answers as if memory had run out, and the host learns the module is
// missing. Either way the host ends with a message, not a crash.
TEST(LibraryPlacement, WithoutItsModuleFailsCleanly) {
  Placement placed({kLibraryFileName});
  ProcessResult r = placed.Run();
  ASSERT_TRUE(r.started);
  EXPECT_EQ(r.exitCode, 1) << r.out << r.err;
#if defined(_WIN32)
  EXPECT_NE(r.err.find("shared memory module"), std::string::npos) << r.err;
#else
  EXPECT_NE(r.err.find("cannot load"), std::string::npos) << r.err;
#endif
}

}  // namespace
}  // namespace veltrin::test
