// veltrin-host table: the pair-score table the host hands the library.
#include "host/commands.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "common/counted.h"
#include "common/records.h"
#include "common/text.h"
#include "common/texts.h"
#include "host/call_wrapper.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/history.h"
#include "host/io.h"
#include "host/output.h"
#include "host/plugin_library.h"
#include "host/setting.h"

namespace veltrin::host {

int RunTable(const Options& o) {
  HostSettings settings;
  if (!LoadHostSettings(o, settings)) return kExitFailed;
  if (!settings.HasHistory) {
    Error("no draw history: give --history FILE");
    return kExitFailed;
  }
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", PairScoreTableText(settings.History).c_str());
  return FinishStandardOutput() ? kExitOk : kExitFailed;
}

}  // namespace veltrin::host
