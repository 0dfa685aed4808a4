// veltrin-host tolerance: the settings dialog's tolerance aide over the
// history, and what the proposed tolerance keeps of all candidates.
#include <cstdio>
#include <string>

#include "common/text.h"
#include "host/aide_support.h"
#include "host/aides.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/format.h"
#include "host/insight.h"
#include "host/output.h"
#include "host/setting.h"

namespace veltrin::host {
namespace {

// What the setting keeps of all candidates with the proposed tolerance, as
// the library counts it; empty when it cannot tell.
std::string KeptWith(const Session& session, const SettingLines& lines,
                     const ToleranceProposal& proposal, bool& keepsAll) {
  SettingLines with = lines;
  with.Tolerance = {"E|" + proposal.Text()};
  InsightResult r;
  std::string error;
  keepsAll = false;
  if (!Explain(session.Api(), JoinSetting(with), session.Host().Settings().DigitCount, "", 0,
               kExplainSetting, r, error) ||
      !r.HasSetting)
    return {};
  if (r.Exact) {
    keepsAll = r.SettingKept == r.SettingOf;
    return "With it the setting keeps " + r.SettingKept + " of " + r.SettingOf + " candidates (" +
           Percent(r.SettingShare) + ", exact).";
  }
  keepsAll = r.SettingShare >= 1.0;
  return "With it the setting keeps about " + Percent(r.SettingShare) +
         " of all candidates (estimated from " + r.SettingOf + " sampled candidates).";
}

}  // namespace

int RunTolerance(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "tolerance", session, text, source) || !NeedFilterObjects(session))
    return kExitFailed;
  // The condition lines alone, as the dialog hands its object over: the
  // aide proposes the tolerance itself.
  SettingLines lines = SplitSetting(text);
  const std::vector<std::string> given = lines.Tolerance;
  lines.Tolerance.clear();
  session.Api().SetFilterStr(JoinSetting(lines).c_str());
  FilterHandle filter(session.Api());
  if (!filter.get() || !filter.Slots().Prepare(filter.get())) {
    ReportInvalidSetting(session, JoinSetting(lines), source,
                         "the tolerance aide could not prepare the setting");
    return kExitFailed;
  }
  const HostSettings& host = session.Host().Settings();
  const ToleranceCheck check = RunToleranceCheck(*filter.get(), host.History, host.KeepShare);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n",
               GbkToUtf8(ToleranceReport(check, host.KeepShare, Delivery::Printed, "")).c_str());
  if (check.Proposal) {
    bool keepsAll = false;
    const std::string kept = KeptWith(session, lines, *check.Proposal, keepsAll);
    if (!kept.empty()) std::fprintf(stdout, "%s\n", kept.c_str());
    if (keepsAll)
      Error("warning: E|" + check.Proposal->Text() +
            " keeps every candidate: with it the filter removes nothing");
    // The setting's own line, when it starts above 0, removes the best bets.
    for (const std::string& line : given) {
      const std::string_view range = TextAfter(line, '|');
      if ((line[0] | 0x20) == 'e' && IntText(TextBefore(range, '-')).value_or(0) > 0)
        Error("note: the setting's " + line +
              " has a lower bound above 0: it removes the bets that pass every condition");
    }
    std::fprintf(stdout, "E|%s\n", check.Proposal->Text().c_str());
  }
  if (!FinishStandardOutput()) return kExitFailed;
  return check.Proposal ? kExitOk : kExitFailed;
}

}  // namespace veltrin::host
