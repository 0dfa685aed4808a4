// veltrin-host debug: what the library says about each bet, condition by
// condition.
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
#include "host/format.h"
#include "host/history.h"
#include "host/io.h"
#include "host/output.h"
#include "host/plugin_library.h"
#include "host/setting.h"

namespace veltrin::host {

namespace {

// A text of the library's with its markup as plain text: a line break tag
// becomes "; ", any other tag goes.
std::string PlainText(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '<') {
      out += text[i];
      continue;
    }
    const size_t close = text.find('>', i);
    if (close == std::string_view::npos) {
      out.append(text.substr(i));
      break;
    }
    if (AsciiUpper(text.substr(i, close - i + 1)).rfind("<BR", 0) == 0) out += "; ";
    i = close;
  }
  return out;
}

// Explains bets as a compact table: per condition its number, the bet's
// score, the range, pass or FAIL and the bet's codes with their scores.
class DebugTable {
 public:
  DebugTable(const PluginExports& api, bool showAll, bool fullText)
      : api_(api), showAll_(showAll), fullText_(fullText) {}
  ~DebugTable() {
    ReleaseDebugResult(record_);
    ReleaseDebugResult(codeRecord_);
  }
  DebugTable(const DebugTable&) = delete;
  DebugTable& operator=(const DebugTable&) = delete;

  void Print(std::FILE* out, const std::string& bet) {
    api_.SzcFltDebug(&record_, bet.c_str(), showAll_);
    const TDebugResult& r = record_;
    if (r.Verdict == -1) {
      std::fprintf(out, "bet %s: cannot be evaluated (-1): it holds a character other than 0-9\n",
                   ShownText(bet).c_str());
      return;
    }
    const char* word = r.Verdict == 0 ? "keep" : r.Verdict == 1 ? "remove" : "other";
    std::fprintf(out, "bet %s: %s (%d), %d failed; tolerance %s\n", bet.c_str(), word,
                 int(r.Verdict), int(r.ErrCount),
                 GbkToUtf8(PlainText(CountedStrView(r.CanErrText))).c_str());
    if (CountedStrLength(r.AuxText) > 0)
      std::fprintf(out, "  note: %s\n", GbkToUtf8(PlainText(CountedStrView(r.AuxText))).c_str());
    const int32_t n = DynArrayLength(r.DebugLines);
    if (n == 0) return;
    if (conditions_.empty()) {
      // Every condition's text, in order, from a bet that can be evaluated.
      api_.SzcFltDebug(&codeRecord_, "0", true);
      for (int32_t i = 0; i < DynArrayLength(codeRecord_.DebugLines); ++i)
        conditions_.emplace_back(CountedStrView(codeRecord_.DebugLines[i].Condition));
    }
    const std::vector<std::vector<std::string>> codeScores = CodeScores(bet);
    std::fprintf(out, "    #   score  range       result  codes (code:score)\n");
    int32_t index = 0;
    for (int32_t i = 0; i < n; ++i) {
      const TOneDebugResult& line = r.DebugLines[i];
      const std::string_view condition = CountedStrView(line.Condition);
      // Lines name their condition by text; with --only-failed the number
      // is found by it.
      index = ConditionIndex(condition, index);
      std::string codes;
      for (size_t k = 0; k + 1 < bet.size(); ++k) {
        codes += (k ? " " : "") + bet.substr(k, 2) + ":";
        codes += size_t(index) < codeScores[k].size() ? codeScores[k][size_t(index)] : "?";
      }
      const std::optional<ScoreRange> range = ConditionRange(condition);
      const std::string rangeText =
          range ? std::to_string(range->Lower) + "-" + std::to_string(range->Upper) : "?";
      std::fprintf(out, "  %3d  %6s  %-10s  %-6s  %s\n", int(index + 1),
                   std::string(CountedStrView(line.Value)).c_str(), rangeText.c_str(),
                   line.Failed ? "FAIL" : "pass", codes.c_str());
      if (fullText_) std::fprintf(out, "       %s\n", GbkToUtf8(condition).c_str());
      ++index;
    }
  }

 private:
  // For each code of the bet, its score under every condition: the score
  // of the two-digit bet that is just that code.
  std::vector<std::vector<std::string>> CodeScores(const std::string& bet) {
    std::vector<std::vector<std::string>> out(bet.size() > 1 ? bet.size() - 1 : 0);
    for (size_t k = 0; k + 1 < bet.size(); ++k) {
      api_.SzcFltDebug(&codeRecord_, bet.substr(k, 2).c_str(), true);
      const int32_t n = DynArrayLength(codeRecord_.DebugLines);
      for (int32_t i = 0; i < n; ++i)
        out[k].emplace_back(CountedStrView(codeRecord_.DebugLines[i].Value));
    }
    return out;
  }
  int32_t ConditionIndex(std::string_view condition, int32_t from) const {
    for (size_t i = size_t(from); i < conditions_.size(); ++i)
      if (conditions_[i] == condition) return int32_t(i);
    return from;
  }

  const PluginExports& api_;
  bool showAll_, fullText_;
  TDebugResult record_{}, codeRecord_{};
  std::vector<std::string> conditions_;
};

}  // namespace

namespace {

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace

int RunDebug(const Options& o) {
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  SetBinaryMode(stdout);

  DebugTable table(session.Api(), !o.OnlyFailed, o.FullText);
  const auto explain = [&](const std::string& bet) {
    if (o.DigitsGiven && AllDigits(bet) && bet.size() != size_t(o.Digits))
      std::fprintf(stdout, "bet %s: has %zu digits, not %d: not scored\n", bet.c_str(), bet.size(),
                   int(o.Digits));
    else
      table.Print(stdout, bet);
  };
  int status = kExitOk;
  for (const std::string& bet : o.Bets) explain(TypedTextToGbk(bet, TerminalIsGbk()));
  if (!o.BetsFile.empty()) {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) {
      status = kExitFailed;
    } else {
      LineReader reader(in);
      std::string line, issue, bet, why;
      while (reader.Next(line)) {
        std::string_view view = line;
        if (reader.LineNumber() == 1) view = WithoutBom(view);
        const LineKind kind = ReadDrawLine(view, issue, bet, why);
        if (kind == LineKind::Draw) explain(bet);
        if (kind == LineKind::Malformed)
          std::fprintf(stdout, "line %llu: %s\n", (unsigned long long)reader.LineNumber(),
                       why.c_str());
      }
      if (reader.Failed()) {
        Error("cannot read bets from " + o.BetsFile + ": " + LastErrorText());
        status = kExitFailed;
      }
      if (owned) std::fclose(in);
    }
  }
  if (!FinishStandardOutput()) status = kExitFailed;
  return status;
}

}  // namespace veltrin::host
