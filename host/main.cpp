// veltrin-host: a reference host for the Veltrin filter library. It loads
// the library by path and drives it only through its exports, the way a
// lottery host program does.
#include <cstdio>
#include <exception>
#include <string>

#include "host/commands.h"
#include "host/options.h"
#include "host/output.h"
#include "port/port.h"

int main(int argc, char** argv) {
  using namespace veltrin::host;
  veltrin::port::UseUtf8Console();
  Options options;
  std::string error;
  if (!ParseOptions(veltrin::port::Arguments(argc, argv), options, error)) {
    std::fprintf(stderr, "veltrin-host: %s\n(veltrin-host --help lists the options)\n",
                 error.c_str());
    return kExitUsage;
  }
  try {
    if (const CommandSpec* command = FindCommand(options.Cmd)) return command->Run(options);
    std::fputs(UsageText().c_str(), stdout);
    return FinishStandardOutput() ? kExitOk : kExitFailed;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "veltrin-host: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "veltrin-host: unexpected failure\n");
  }
  return kExitFailed;
}
