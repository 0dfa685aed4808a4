// The subcommands of veltrin-host. Each returns the process exit status:
// 0 done, 1 failed (reported on standard error).
#pragma once

#include "host/options.h"

namespace veltrin::host {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

int RunFilter(const Options& options);
int RunDebug(const Options& options);
int RunOpen(const Options& options);
int RunTable(const Options& options);
int RunBatch(const Options& options);
int RunTolerance(const Options& options);
int RunHistory(const Options& options);

}  // namespace veltrin::host
