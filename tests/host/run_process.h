// Starts a program with arguments, feeds it a standard input text and
// collects its exit status, standard output and standard error (through
// temporary files, so that neither pipe can fill up and block).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace veltrin::test {

struct ProcessResult {
  bool started = false;
  int exitCode = -1;
  std::string out;
  std::string err;
};

inline std::string ReadFileBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f << bytes;
}

// A path for a scratch file of this test run.
inline std::string ScratchPath(const std::string& name) {
  static int counter = 0;
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string test = info ? info->name() : "test";
  for (char& c : test)
    if (c == '/') c = '_';
#if defined(_WIN32)
  const unsigned long pid = GetCurrentProcessId();
#else
  const unsigned long pid = (unsigned long)getpid();
#endif
  return ::testing::TempDir() + "veltrin_" + std::to_string(pid) + "_" + test + "_" +
         std::to_string(++counter) + "_" + name;
}

#if defined(_WIN32)

inline std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
  std::wstring w(size_t(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), w.data(), n);
  return w;
}

// One argument quoted the way CommandLineToArgvW reads it back.
inline std::wstring QuoteArgument(const std::wstring& arg) {
  std::wstring out = L"\"";
  size_t backslashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"')
      out.append(backslashes * 2 + 1, L'\\');
    else
      out.append(backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  out += L'"';
  return out;
}

inline HANDLE InheritableFile(const std::string& path, bool write) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(Widen(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, write ? CREATE_ALWAYS : OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
}

#endif

inline ProcessResult RunProcess(const std::string& exe, const std::vector<std::string>& args,
                                const std::string& stdinText = std::string()) {
  ProcessResult r;
  const std::string inPath = ScratchPath("stdin.txt");
  const std::string outPath = ScratchPath("stdout.txt");
  const std::string errPath = ScratchPath("stderr.txt");
  WriteFileBytes(inPath, stdinText);
#if defined(_WIN32)
  std::wstring cmd = QuoteArgument(Widen(exe));
  for (const std::string& a : args) cmd += L" " + QuoteArgument(Widen(a));
  HANDLE in = InheritableFile(inPath, false);
  HANDLE out = InheritableFile(outPath, true);
  HANDLE err = InheritableFile(errPath, true);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  r.started = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                             &pi) != 0;
  CloseHandle(in);
  CloseHandle(out);
  CloseHandle(err);
  if (r.started) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    r.exitCode = int(code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  }
#else
  pid_t pid = fork();
  if (pid == 0) {
    int in = open(inPath.c_str(), O_RDONLY);
    int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0) _exit(126);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  r.started = pid > 0;
  if (r.started) {
    int status = 0;
    waitpid(pid, &status, 0);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.started = r.exitCode != 127;
  }
#endif
  r.out = ReadFileBytes(outPath);
  r.err = ReadFileBytes(errPath);
  std::remove(inPath.c_str());
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return r;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream s(text);
  while (std::getline(s, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

}  // namespace veltrin::test
