// veltrin-host batch: the settings dialog's batch aide over the history.
#include <cstdio>
#include <string>
#include <vector>

#include "common/records.h"
#include "host/aide_support.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/format.h"
#include "host/output.h"
#include "host/setting.h"
#include "host/string_list.h"

namespace veltrin::host {

namespace {

// Fewer draws than this, or than conditions, make a fit that says little:
// one draw narrows every range to the one score it reached.
constexpr size_t kFewDraws = 10;

}  // namespace

int RunBatch(const Options& o) {
  const std::string target = !o.OutFile.empty() ? o.OutFile : o.SettingsFile;
  std::string error;
  if (!target.empty() && !OutputAllowed(o, o.OutFile.empty() ? "--settings" : "--out", target,
                                        o.SettingsFile, error)) {
    Error(error);
    return kExitUsage;
  }
  Session session;
  std::string text, source;
  if (!StartAide(o, "batch", session, text, source) || !NeedFilterObjects(session))
    return kExitFailed;
  SettingLines lines = SplitSetting(text);
  if (lines.Conditions.empty()) {
    Error("the setting from " + source + " has no condition lines");
    return kExitFailed;
  }
  // The sample comes from the host's own answer to the library, exactly as
  // the dialog's batch button gets it.
  TBatFltSet request{}, sample{};
  if (!Succeeded(session.Host().GetBatchAideData(&request, &sample))) {
    Error("the host could not hand over the draw history");
    return kExitFailed;
  }
  HostStringList* list = HostStringList::Create(true);
  for (const std::string& line : lines.Conditions) list->Append(line);
  int32_t updated = 0;
  {
    FilterHandle filter(session.Api());
    if (filter.get()) updated = filter.Slots().BatchAide(filter.get(), list, &sample);
  }
  ReleaseBatFltSet(sample);
  const std::vector<std::string> before = lines.Conditions;
  lines.Conditions = list->Lines();
  list->Release();
  if (updated <= 0) {
    ReportInvalidSetting(session, text, source, "the batch aide updated no condition");
    return kExitFailed;
  }
  const size_t draws = session.Host().Settings().History.Draws.size();
  size_t changed = 0;
  for (size_t i = 0; i < before.size(); ++i) changed += before[i] != lines.Conditions[i];
  if (!o.Quiet) {
    std::fprintf(stderr, "batch aide over %zu draws, keeping %s of them per condition:\n", draws,
                 Percent(double(o.KeepShare) / 10000.0).c_str());
    for (size_t i = 0; i < before.size(); ++i) {
      const bool differs = before[i] != lines.Conditions[i];
      std::fprintf(stderr, "  condition %zu: %s %s\n", i + 1, RangeOf(before[i]).c_str(),
                   differs ? ("-> " + RangeOf(lines.Conditions[i])).c_str() : "(unchanged)");
    }
    std::fprintf(stderr, "%zu of %zu condition(s) updated\n", changed, before.size());
  }
  // Said even when quiet: a fit from a handful of draws is no fit.
  if (draws < kFewDraws || draws < before.size())
    Error("warning: the ranges were fitted from only " + std::to_string(draws) +
          " draw(s), fewer than " +
          (draws < before.size() ? "the " + std::to_string(before.size()) + " conditions"
                                 : std::to_string(kFewDraws)) +
          ": they may keep far too little");
  const std::string value = JoinSetting(lines);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", GbkToUtf8(value).c_str());
  if (!FinishStandardOutput()) return kExitFailed;
  if (target.empty()) {
    if (!o.HasCondition)
      std::fprintf(stderr,
                   "veltrin-host: not saved: the setting came from the bundled example "
                   "(--out FILE saves)\n");
    return kExitOk;
  }
  if (!SaveSetting(o, o.OutFile.empty() ? "--settings" : "--out", target, value))
    return kExitFailed;
  if (!o.Quiet) std::fprintf(stderr, "veltrin-host: saved to %s\n", target.c_str());
  return kExitOk;
}

}  // namespace veltrin::host
