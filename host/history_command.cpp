// veltrin-host history: every condition and the whole setting against the
// draw history, as the settings dialog's history check reports them.
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/records.h"
#include "common/text.h"
#include "host/aide_support.h"
#include "host/aides.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/format.h"
#include "host/output.h"
#include "host/setting.h"
#include "host/string_list.h"

namespace veltrin::host {

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
  std::fprintf(stdout, "The setting keeps %llu of %zu draws (%s), removes %llu",
               (unsigned long long)kept, draws.size(),
               Percent(draws.empty() ? 0.0 : double(kept) / double(draws.size())).c_str(),
               (unsigned long long)removed);
  if (invalid) std::fprintf(stdout, ", cannot evaluate %llu", (unsigned long long)invalid);
  std::fprintf(stdout, ".\n");
  if (!lastRemoved.empty()) std::fprintf(stdout, "Last draw removed: %s\n", lastRemoved.c_str());
  return FinishStandardOutput() ? kExitOk : kExitFailed;
}

}  // namespace veltrin::host
