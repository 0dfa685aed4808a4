// veltrin-host: a reference host for the Veltrin filter library. It loads
// the library by path and drives it only through its ten exports, the way a
// lottery host program does.
#include <cstdio>
#include <string>
#include <vector>

#include "host/commands.h"
#include "host/insight.h"
#include "host/options.h"

#if defined(_WIN32)
#include <windows.h>
// shellapi.h needs windows.h first.
#include <shellapi.h>

#include "host/encoding.h"
#endif

namespace {

// The arguments as UTF-8: on Windows from the UTF-16 command line, so that
// any character survives whatever the system's code page.
std::vector<std::string> Arguments(int argc, char** argv) {
  std::vector<std::string> args;
#if defined(_WIN32)
  (void)argc;
  (void)argv;
  int n = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
  for (int i = 1; wide && i < n; ++i) args.push_back(veltrin::host::WideToUtf8(wide[i]));
  if (wide) LocalFree(wide);
#else
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
#endif
  return args;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace veltrin::host;
#if defined(_WIN32)
  // A console shows the UTF-8 that the host writes.
  SetConsoleOutputCP(CP_UTF8);
#endif
  Options options;
  std::string error;
  if (!ParseOptions(Arguments(argc, argv), options, error)) {
    std::fprintf(stderr, "veltrin-host: %s\n(veltrin-host --help lists the options)\n",
                 error.c_str());
    return kExitUsage;
  }
  try {
    switch (options.Cmd) {
      case Command::Filter:
        return RunFilter(options);
      case Command::Debug:
        return RunDebug(options);
      case Command::Open:
        return RunOpen(options);
      case Command::Table:
        return RunTable(options);
      case Command::Batch:
        return RunBatch(options);
      case Command::Tolerance:
        return RunTolerance(options);
      case Command::History:
        return RunHistory(options);
      case Command::Check:
        return RunCheck(options);
      case Command::Report:
        return RunReport(options);
      case Command::Help:
      case Command::None:
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veltrin-host: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "veltrin-host: unexpected failure\n");
  }
  return kExitFailed;
}
