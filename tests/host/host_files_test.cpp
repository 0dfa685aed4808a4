// veltrin-host run as a program: the files it writes are whole or absent,
// and the files it reads are never lost to its output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/texts.h"
#include "tests/host/run_process.h"
#include "tests/plugin/library.h"

#if !defined(_WIN32)
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace veltrin::test {
namespace {

namespace fs = std::filesystem;

const std::string kNo12 = "\xE7\x9B\xB4\xE9\x80\x89:9=12:0-0";

// A fresh empty folder of this test.
std::string ScratchDir() {
  const std::string dir = ScratchPath("dir");
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir + "/";
}

[[maybe_unused]] std::vector<std::string> FilesIn(const std::string& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(HostFilesTest, OutputThatIsAnInputIsRefused) {
  const std::string dir = ScratchDir();
  const std::string bets = dir + "bets.txt", flt = dir + "s.flt";
  WriteFileBytes(bets, "123\n345\n");
  WriteFileBytes(flt, std::string("[") + kTxtFltSection + "]\r\nVeltrin=" + kTxtModeStraight +
                          ":9=12:0-0\r\n");
  std::error_code ec;
  fs::create_hard_link(bets, dir + "other-name.txt", ec);
  const std::string alias = ec ? bets : dir + "other-name.txt";
  struct Case {
    std::vector<std::string> args;
    const char* said;
  } cases[] = {
      {{"filter", "--condition", kNo12, "--bets", bets, "--out", bets}, "--bets"},
      {{"filter", "--condition", kNo12, "--bets", bets, "--out", alias}, "--bets"},
      {{"filter", "--digits", "3", "--settings", flt, "--out", flt}, "--settings"},
  };
  for (const Case& c : cases) {
    ProcessResult r = RunProcess(HostPath(), c.args);
    EXPECT_EQ(r.exitCode, 2) << r.err;
    EXPECT_NE(r.err.find("is the same file as " + std::string(c.said)), std::string::npos) << r.err;
  }
  EXPECT_EQ(ReadFileBytes(bets), "123\n345\n");
  fs::remove_all(dir);
}

#if !defined(_WIN32)

// Starts the host with a pipe for its standard input; `limitBytes` caps the
// size of any file it writes (a full disk, as far as the host can tell).
struct Child {
  pid_t pid = -1;
  int input = -1;
  std::string errPath;
  Child(const std::vector<std::string>& args, long limitBytes = 0) {
    errPath = ScratchPath("stderr.txt");
    const std::string path = HostPath();
    int fds[2];
    if (pipe(fds) != 0) return;
    pid = fork();
    if (pid == 0) {
      dup2(fds[0], 0);
      close(fds[0]);
      close(fds[1]);
      FILE* err = std::fopen(errPath.c_str(), "w");
      if (err) dup2(fileno(err), 2);
      if (limitBytes) {
        rlimit limit{rlim_t(limitBytes), rlim_t(limitBytes)};
        setrlimit(RLIMIT_FSIZE, &limit);
        signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
      }
      std::vector<char*> argv{const_cast<char*>(path.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(path.c_str(), argv.data());
      _exit(127);
    }
    close(fds[0]);
    input = fds[1];
  }
  void CloseInput() {
    if (input >= 0) close(input);
    input = -1;
  }
  int Wait() {
    CloseInput();
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
};

TEST(HostFilesTest, InterruptedRunLeavesTheEarlierFileWhole) {
  for (int sig : {SIGINT, SIGTERM}) {
    const std::string dir = ScratchDir();
    const std::string out = dir + "kept.txt";
    WriteFileBytes(out, "earlier\n");
    Child child({"filter", "--condition", kNo12, "--bets", "-", "--out", out});
    ASSERT_GT(child.pid, 0);
    // Once these writes return, the host has read nearly all of them; its
    // input stays open, so it is waiting for more when the signal comes.
    std::string block;
    for (int i = 0; i < 20000; ++i) block += "34567\n12345\n";
    for (int i = 0; i < 10; ++i)
      ASSERT_EQ(write(child.input, block.data(), block.size()), ssize_t(block.size()));
    kill(child.pid, sig);
    const int status = child.Wait();
    const std::string err = ReadFileBytes(child.errPath);
    EXPECT_EQ(status, 128 + sig) << err;
    EXPECT_NE(err.find(sig == SIGINT ? "interrupted by SIGINT" : "interrupted by SIGTERM"),
              std::string::npos)
        << err;
    const size_t at = err.find("candidates: ");
    ASSERT_NE(at, std::string::npos) << err;
    EXPECT_GT(std::atoll(err.c_str() + at + 12), 300000) << err;
    EXPECT_EQ(ReadFileBytes(out), "earlier\n");
    EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"kept.txt"});
    fs::remove_all(dir);
  }
}

TEST(HostFilesTest, WriteErrorSaysWhyAndKeepsTheEarlierFile) {
  const std::string dir = ScratchDir();
  const std::string out = dir + "kept.txt";
  WriteFileBytes(out, "earlier\n");
  Child child({"filter", "--digits", "6", "--condition", kNo12, "--out", out}, 100000);
  const int status = child.Wait();
  const std::string err = ReadFileBytes(child.errPath);
  EXPECT_EQ(status, 1) << err;
  EXPECT_NE(err.find(std::strerror(EFBIG)), std::string::npos) << err;
  EXPECT_EQ(ReadFileBytes(out), "earlier\n");
  EXPECT_EQ(FilesIn(dir), std::vector<std::string>{"kept.txt"});
  fs::remove_all(dir);
}

TEST(HostFilesTest, CompletedRunReplacesTheFileBehindALink) {
  const std::string dir = ScratchDir();
  WriteFileBytes(dir + "real.txt", "earlier\n");
  fs::create_symlink("real.txt", dir + "link.txt");
  ProcessResult r = RunProcess(
      HostPath(), {"filter", "--digits", "2", "--condition", kNo12, "--out", dir + "link.txt"});
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(fs::is_symlink(dir + "link.txt"));
  EXPECT_EQ(Lines(ReadFileBytes(dir + "real.txt")).size(), 99u);
  EXPECT_EQ(FilesIn(dir), (std::vector<std::string>{"link.txt", "real.txt"}));
  fs::remove_all(dir);
}

#endif

}  // namespace
}  // namespace veltrin::test
