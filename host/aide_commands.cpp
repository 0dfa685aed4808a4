// The dialogs' aides without a window: batch, tolerance and history over
// the draw history, each through the library's own code paths.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/records.h"
#include "common/text.h"
#include "host/aides.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/setting.h"
#include "host/string_list.h"

namespace veltrin::host {

namespace {

// A setting split as the condition list dialog loads it: a tolerance line
// ("E|lo-hi") on top and a super tolerance line ("S|lo-hi") after it go to
// the dialog's boxes; every other line is a list line.
struct SettingLines {
  std::vector<std::string> Tolerance;
  std::vector<std::string> Conditions;
};

bool IsErrLine(std::string_view line, char letter) {
  const size_t dash = line.find('-');
  if (dash == std::string_view::npos || line.empty()) return false;
  if ((line[0] | 0x20) != letter) return false;
  return dash > 2 && IntText(line.substr(2, dash - 2)) && IntText(line.substr(dash + 1, 9));
}

SettingLines SplitSetting(std::string_view text) {
  SettingLines out;
  std::vector<std::string> lines;
  SplitLines(ReplaceChar(text, ';', '\r'),
             [&](std::string_view line) { lines.emplace_back(line); });
  size_t first = 0;
  if (first < lines.size() && IsErrLine(lines[first], 'e')) out.Tolerance.push_back(lines[first++]);
  if (first < lines.size() && IsErrLine(lines[first], 's')) out.Tolerance.push_back(lines[first++]);
  out.Conditions.assign(lines.begin() + std::ptrdiff_t(first), lines.end());
  return out;
}

// The lines in the one-line form of settings files, each closed by ";".
std::string JoinSetting(const SettingLines& lines) {
  std::string value;
  for (const auto* part : {&lines.Tolerance, &lines.Conditions})
    for (const std::string& line : *part) value += line + ";";
  return value;
}

// A filter object of the library's class, released with its own Free slot.
class FilterHandle {
 public:
  explicit FilterHandle(const PluginExports& api)
      : object_(api.VeltrinCreateFilter ? static_cast<TFilterObject*>(api.VeltrinCreateFilter())
                                        : nullptr) {}
  ~FilterHandle() {
    if (object_) object_->Slots->Free(object_);
  }
  FilterHandle(const FilterHandle&) = delete;
  FilterHandle& operator=(const FilterHandle&) = delete;
  TFilterObject* get() const { return object_; }
  const TFilterSlots& Slots() const { return *object_->Slots; }

 private:
  TFilterObject* object_;
};

// The common start of the aides: the setting, the history and the library.
bool StartAide(const Options& o, const char* command, Session& session, std::string& text,
               std::string& source) {
  if (!LoadSetting(o, text, source)) return false;
  if (o.HistoryFile.empty()) {
    Error(std::string(command) + " works over a draw history: give --history FILE");
    return false;
  }
  return session.Start(o);
}

bool NeedFilterObjects(const Session& session) {
  if (session.Api().VeltrinCreateFilter) return true;
  Error(session.Path() +
        " offers no VeltrinCreateFilter: this aide needs the library's filter "
        "objects");
  return false;
}

std::string RangeOf(std::string_view line) {
  const std::optional<ScoreRange> range = ConditionRange(line);
  return range ? std::to_string(range->Lower) + "-" + std::to_string(range->Upper) : "?";
}

}  // namespace

int RunBatch(const Options& o) {
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
    Error(
        "the batch aide updated no condition: every condition line must be valid, one "
        "condition to a line");
    return kExitFailed;
  }
  if (!o.Quiet) {
    const size_t draws = session.Host().Settings().History.Draws.size();
    std::fprintf(stderr, "batch aide over %zu draws, keeping %.4g%% of them per condition:\n",
                 draws, double(o.KeepShare) / 100.0);
    for (size_t i = 0; i < before.size(); ++i) {
      const bool changed = before[i] != lines.Conditions[i];
      std::fprintf(stderr, "  condition %zu: %s %s\n", i + 1, RangeOf(before[i]).c_str(),
                   changed ? ("-> " + RangeOf(lines.Conditions[i])).c_str() : "(unchanged)");
    }
    std::fprintf(stderr, "%d condition(s) updated\n", int(updated));
  }
  const std::string value = JoinSetting(lines);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n", GbkToUtf8(value).c_str());
  if (std::fflush(stdout) != 0) {
    Error("cannot write the new setting to standard output");
    return kExitFailed;
  }
  const std::string target = !o.OutFile.empty() ? o.OutFile : o.SettingsFile;
  if (target.empty()) {
    if (!o.HasCondition)
      std::fprintf(stderr,
                   "veltrin-host: not saved: the setting came from the bundled example "
                   "(--out FILE saves)\n");
    return kExitOk;
  }
  if (!SaveSetting(target, value)) return kExitFailed;
  if (!o.Quiet) std::fprintf(stderr, "veltrin-host: saved to %s\n", target.c_str());
  return kExitOk;
}

int RunTolerance(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "tolerance", session, text, source) || !NeedFilterObjects(session))
    return kExitFailed;
  // The condition lines alone, as the dialog hands its object over: the
  // aide proposes the tolerance itself.
  SettingLines lines = SplitSetting(text);
  lines.Tolerance.clear();
  session.Api().SetFilterStr(JoinSetting(lines).c_str());
  FilterHandle filter(session.Api());
  if (!filter.get() || !filter.Slots().Prepare(filter.get())) {
    Error("the filter setting from " + source + " is not valid: the library could not prepare it");
    return kExitFailed;
  }
  const HostSettings& host = session.Host().Settings();
  const ToleranceCheck check = RunToleranceCheck(*filter.get(), host.History, host.KeepShare);
  SetBinaryMode(stdout);
  std::fprintf(stdout, "%s\n",
               GbkToUtf8(ToleranceReport(check, host.KeepShare, Delivery::Printed, "")).c_str());
  if (check.Proposal) std::fprintf(stdout, "E|%s\n", check.Proposal->Text().c_str());
  if (std::fflush(stdout) != 0) return kExitFailed;
  return check.Proposal ? kExitOk : kExitFailed;
}

namespace {

// Scores draws under one condition of the prepared setting, from the
// library's own debug records (all conditions of a draw at once, kept).
class DebugScores final : public IScoreCallback {
 public:
  DebugScores(const PluginExports& api, const std::vector<Draw>& draws) {
    TDebugResult record{};
    for (const Draw& draw : draws) {
      api.SzcFltDebug(&record, draw.Digits.c_str(), true);
      std::vector<int32_t>& scores = scores_[draw.Digits];
      scores.clear();
      const int32_t n = DynArrayLength(record.DebugLines);
      for (int32_t i = 0; i < n; ++i) {
        const std::optional<int32_t> v = IntText(CountedStrView(record.DebugLines[i].Value));
        scores.push_back(v ? *v : 0);
        if (conditions_.size() < size_t(n))
          conditions_.emplace_back(CountedStrView(record.DebugLines[i].Condition));
      }
    }
    ReleaseDebugResult(record);
  }
  const std::vector<std::string>& Conditions() const { return conditions_; }
  void Select(size_t condition) { condition_ = condition; }

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override {
    if (!out) return kE_POINTER;
    *out = nullptr;
    if (!iid || !(*iid == IID_IUnknown || *iid == IID_IScoreCallback)) return kE_NOINTERFACE;
    *out = static_cast<IScoreCallback*>(this);
    return kS_OK;
  }
  // Lives on the stack for the whole check.
  uint32_t VELTRIN_API AddRef() override { return 1; }
  uint32_t VELTRIN_API Release() override { return 1; }
  int32_t VELTRIN_API ScoreBet(const char* bet, int32_t* score) override {
    if (!score) return kE_POINTER;
    *score = 0;
    const auto it = scores_.find(bet ? bet : "");
    if (it == scores_.end() || condition_ >= it->second.size()) return kE_FAIL;
    *score = it->second[condition_];
    return kS_OK;
  }

 private:
  std::map<std::string, std::vector<int32_t>> scores_;
  std::vector<std::string> conditions_;
  size_t condition_ = 0;
};

}  // namespace

int RunHistory(const Options& o) {
  Session session;
  std::string text, source;
  if (!StartAide(o, "history", session, text, source)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  const std::vector<Draw>& draws = session.Host().Settings().History.Draws;
  SetBinaryMode(stdout);
  // Each condition as the dialog's history check reports it.
  DebugScores scores(session.Api(), draws);
  for (size_t i = 0; i < scores.Conditions().size(); ++i) {
    scores.Select(i);
    const HistoryCheck check =
        RunHistoryCheck(scores, session.Host().Settings().History, scores.Conditions()[i]);
    std::fprintf(stdout, "condition %zu: %s\n\n", i + 1,
                 GbkToUtf8(HistoryCheckReport(check, scores.Conditions()[i])).c_str());
  }
  // Then the whole setting's verdicts, tolerance included.
  uint64_t kept = 0, removed = 0, invalid = 0;
  std::string lastRemoved;
  for (const Draw& draw : draws) {
    const int32_t verdict = session.Api().SzcExecute(draw.Digits.c_str());
    if (verdict == 0) {
      ++kept;
    } else if (verdict < 0) {
      ++invalid;
    } else {
      ++removed;
      lastRemoved = draw.Issue.empty() ? draw.Digits : draw.Issue + " " + draw.Digits;
    }
  }
  std::fprintf(stdout, "The setting keeps %llu of %zu draws (%.1f%%), removes %llu",
               (unsigned long long)kept, draws.size(),
               draws.empty() ? 0.0 : 100.0 * double(kept) / double(draws.size()),
               (unsigned long long)removed);
  if (invalid) std::fprintf(stdout, ", cannot evaluate %llu", (unsigned long long)invalid);
  std::fprintf(stdout, ".\n");
  if (!lastRemoved.empty()) std::fprintf(stdout, "Last draw removed: %s\n", lastRemoved.c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

}  // namespace veltrin::host
