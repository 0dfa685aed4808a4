// Fuzzes the condition text and the bets the way a host drives them:
// SetFilterStr, SzcPrepare, then SzcExecute and SzcFltDebug for each bet.
//
// Input: the condition text, then bets, each introduced by a zero byte
//   <condition text> \0 <bet> \0 <bet> ...
// (a text crosses the boundary as a C string, so a zero byte can only end
// it). Without bets a few fixed ones are used.
//
// Checked on every input, for every bet:
//  - SzcPrepare answers as a fresh engine object prepared from the same text;
//    a text that fails to prepare leaves the previous tables whole (each
//    input starts from a known text, so that "previous" is known);
//  - a bet with anything but digits: SzcExecute -1, the debug record without
//    lines, ErrCount 0, Verdict -1;
//  - otherwise every condition's score, recomputed over the parsed score
//    table (not the compiled lookup the exports use), gives the debug
//    record's Value and Failed for every line, ErrCount is the full failing
//    count (also with a tolerance whose upper bound lets Execute stop early),
//    and SzcExecute's verdict, the debug Verdict and the tolerance rule
//    applied to ErrCount all agree;
//  - each text and bet is handed over in a block of exactly its size, so
//    ASan reports any read beyond what was handed over, and the records are
//    reused across bets, so LeakSanitizer reports any line not released.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/counted.h"
#include "common/records.h"
#include "common/texts.h"
#include "filter/insight.h"
#include "filter/pro_grade.h"
#include "fuzz/fuzz_check.h"
#if VELTRIN_FUZZ_EXPORTS
#include "plugin/exports.h"
#endif

namespace {

using namespace veltrin;

// A text in a heap block of exactly its length plus the zero.
std::unique_ptr<char[]> ExactCopy(std::string_view text) {
  std::unique_ptr<char[]> p(new char[text.size() + 1]);
  std::memcpy(p.get(), text.data(), text.size());
  p[text.size()] = '\0';
  return p;
}

// What the fuzzer drives: the exports when they are linked in, otherwise an
// engine object driven the way the exports drive theirs.
#if VELTRIN_FUZZ_EXPORTS
void SubjectSetText(const char* text) { SetFilterStr(text); }
const char* SubjectGetText() { return GetFilterStr(); }
bool SubjectPrepare() { return SzcPrepare(); }
int32_t SubjectExecute(const char* bet) { return SzcExecute(bet); }
void SubjectDebug(TDebugResult* r, const char* bet, bool all) { SzcFltDebug(r, bet, all); }
#else
TProGradeFilter& Engine() {
  static TProGradeFilter* f = TProGradeFilter::New();
  return *f;
}
void SubjectSetText(const char* text) { Engine().FilterStr = text ? text : ""; }
const char* SubjectGetText() { return Engine().FilterStr.c_str(); }
bool SubjectPrepare() { return Engine().PrepareRun(); }
int32_t SubjectExecute(const char* bet) { return Engine().Execute(bet ? bet : ""); }
void SubjectDebug(TDebugResult* r, const char* bet, bool all) {
  if (r) Engine().Debug(bet ? bet : "", all, r);
}
#endif

// The text every input starts from.
const std::string& BaselineText() {
  static const std::string text = std::string("E|0-1\r\n") + kTxtModeStraight +
                                  ":0=00 01 02,1=12 21,2=:2-48\r\n" + kTxtModeStraight +
                                  ":5=12,9=12 34:0-20\r\n";
  return text;
}

// An engine object prepared from `text`, with every condition line parsed
// the slow way (groups scanned in order, no compiled lookup).
struct Expected {
  TProGradeFilter* filter = TProGradeFilter::New();
  bool prepared = false;
  std::vector<TFilterCodeGrade> parsed;

  explicit Expected(const char* text) {
    filter->FilterStr = text;
    prepared = filter->PrepareRun();
    // The explanation comes from the same parse: the same verdict, and for
    // a valid text the same compiled conditions.
    const TTextExplanation ex = ExplainConditionText(filter->FilterStr, 3);
    CHECK(ex.Valid == prepared, "explanation and Prepare disagree");
    if (!prepared) return;
    CHECK(size_t(ex.ConditionCount()) == filter->Conditions().size(), "explained conditions");
    for (const TLineExplanation& l : ex.Lines)
      if (l.Condition >= 0)
        CHECK(l.Compiled.Score == filter->Conditions()[size_t(l.Condition)].Score &&
                  l.Compiled.Lower == filter->Conditions()[size_t(l.Condition)].Lower &&
                  l.Compiled.Upper == filter->Conditions()[size_t(l.Condition)].Upper,
              l.Text);
    parsed.resize(filter->ConditionList.size());
    for (size_t i = 0; i < parsed.size(); ++i)
      CHECK(TProGradeFilter::ParseCondition(filter->ConditionList[i], parsed[i]),
            filter->ConditionList[i]);
  }
  ~Expected() { filter->Free(); }
  Expected(const Expected&) = delete;
  Expected& operator=(const Expected&) = delete;
};

bool IsDigitText(std::string_view bet) {
  for (char c : bet)
    if (c < '0' || c > '9') return false;
  return true;
}

std::string Str(const char* counted) { return std::string(CountedStrView(counted)); }

void CheckBet(const Expected& e, std::string_view bet, TDebugResult& all, TDebugResult& failing) {
  const std::unique_ptr<char[]> copy = ExactCopy(bet);
  const int32_t verdict = SubjectExecute(copy.get());
  SubjectDebug(&all, copy.get(), true);
  SubjectDebug(&failing, copy.get(), false);
  const std::string context = "bet '" + std::string(bet) + "'";

  if (!IsDigitText(bet)) {
    CHECK(verdict == kBetInvalid, context);
    for (const TDebugResult* r : {&all, &failing}) {
      CHECK(r->Verdict == kBetInvalid, context);
      CHECK(r->DebugLines == nullptr, context);
      CHECK(r->ErrCount == 0, context);
    }
    CHECK(e.filter->CountFailed(copy.get()) == kBetInvalid, context);
    return;
  }

  const TProGradeFilter& f = *e.filter;
  const size_t n = e.parsed.size();
  std::vector<int64_t> scores(n);
  std::vector<bool> failed(n);
  int32_t failCount = 0;
  for (size_t i = 0; i < n; ++i) {
    CHECK(TProGradeFilter::ScoreBet(bet, e.parsed[i], scores[i]), context);
    failed[i] = scores[i] < e.parsed[i].Lower || scores[i] > e.parsed[i].Upper;
    failCount += failed[i] ? 1 : 0;
  }

  // Every line, in condition order, with its score and failure.
  CHECK(DynArrayLength(all.DebugLines) == int32_t(n), context);
  for (size_t i = 0; i < n; ++i) {
    const TOneDebugResult& line = all.DebugLines[i];
    CHECK(Str(line.Condition) == f.ConditionList[i], context);
    CHECK(Str(line.Value) == std::to_string(scores[i]), context + " line " + std::to_string(i));
    CHECK(line.Failed == (failed[i] ? 1 : 0), context);
  }
  // Only the failing lines, in the same order.
  CHECK(DynArrayLength(failing.DebugLines) == failCount, context);
  size_t k = 0;
  for (size_t i = 0; i < n; ++i) {
    if (!failed[i]) continue;
    const TOneDebugResult& line = failing.DebugLines[k++];
    CHECK(Str(line.Condition) == f.ConditionList[i], context);
    CHECK(line.Failed == 1, context);
  }

  CHECK(all.ErrCount == failCount && failing.ErrCount == failCount, context);
  CHECK(e.filter->CountFailed(copy.get()) == failCount, context);
  const int32_t byRule = f.CanErr ? (failCount < f.CanErrMin || failCount > f.CanErrMax ? 1 : 0)
                                  : (failCount > 0 ? 1 : 0);
  CHECK(verdict == byRule, context + " verdict " + std::to_string(verdict));
  CHECK(all.Verdict == verdict && failing.Verdict == verdict, context);
  for (const TDebugResult* r : {&all, &failing}) {
    CHECK(r->SupErrCount == 0, context);
    CHECK(r->AuxText == nullptr, context);
    CHECK(Str(r->FilterName) == "Veltrin", context);
    CHECK(Str(r->CanErrText) == f.CanErrDescription(), context);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const size_t cut = input.find('\0');
  const std::string_view text = input.substr(0, cut);
  std::vector<std::string_view> bets;
  if (cut == std::string_view::npos) {
    bets = {"", "7", "121", "1212", "0123456789", "5090", "12a", " 12", "-12", "\xD6\xB1"};
  } else {
    std::string_view rest = input.substr(cut + 1);
    for (;;) {
      const size_t z = rest.find('\0');
      bets.push_back(rest.substr(0, z));
      if (z == std::string_view::npos || bets.size() == 64) break;
      rest = rest.substr(z + 1);
    }
  }

  // A known prepared state first: a text that fails leaves it in place.
  static const Expected baseline(BaselineText().c_str());
  CHECK(baseline.prepared, "baseline text");
  SubjectSetText(BaselineText().c_str());
  CHECK(SubjectPrepare(), "baseline text");

  const std::unique_ptr<char[]> copy = ExactCopy(text);
  SubjectSetText(copy.get());
  CHECK(std::string_view(SubjectGetText()) == text, "GetFilterStr after SetFilterStr");
  const bool ok = SubjectPrepare();
  const Expected fresh(copy.get());
  CHECK(ok == fresh.prepared, std::string("SzcPrepare answered ") + (ok ? "true" : "false"));
  // Text changes nothing until it is prepared; the copy is the plug-in's own.
  CHECK(std::string_view(SubjectGetText()) == text, "GetFilterStr after SzcPrepare");
  const Expected& expected = ok ? fresh : baseline;

  TDebugResult all{}, failing{};
  for (std::string_view bet : bets) CheckBet(expected, bet, all, failing);
  // A null bet is the empty bet.
  const int32_t empty = SubjectExecute("");
  CHECK(SubjectExecute(nullptr) == empty, "null bet");
  SubjectDebug(nullptr, "12", true);
  ReleaseDebugResult(all);
  ReleaseDebugResult(failing);
  return 0;
}
