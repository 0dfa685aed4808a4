// veltrin-host filter: every bet through the library's SzcExecute.
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

struct Tally {
  uint64_t Candidates = 0, Kept = 0, Removed = 0, Invalid = 0;
  // Lines of a bets file that were no bet, and bets of another length than
  // the lottery's: counted, never scored.
  uint64_t Unreadable = 0, OtherLength = 0;
  void Count(int32_t verdict) {
    ++Candidates;
    if (verdict == 0)
      ++Kept;
    else if (verdict < 0)
      ++Invalid;
    else
      ++Removed;
  }
};

// Reports the first few problem lines of an input and counts the rest.
class Problems {
 public:
  explicit Problems(bool quiet) : quiet_(quiet) {}
  void Report(uint64_t lineNo, const std::string& message) {
    if (++count_ > kLimit || quiet_) return;
    std::fprintf(stderr, "veltrin-host: line %llu: %s\n", (unsigned long long)lineNo,
                 message.c_str());
  }
  void Finish() const {
    if (!quiet_ && count_ > kLimit)
      std::fprintf(stderr, "veltrin-host: ... and %llu more such lines\n",
                   (unsigned long long)(count_ - kLimit));
  }

 private:
  static constexpr uint64_t kLimit = 5;
  bool quiet_;
  uint64_t count_ = 0;
};

bool AllDigits(std::string_view text) {
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// Writes every bet with its verdict, its failed count and each condition's
// score, from the library's debug record of the bet.
class ScoredWriter {
 public:
  ScoredWriter(Format format, const PluginExports& api, OutputBuffer& out)
      : format_(format), api_(api), out_(out) {
    // The number of conditions, from any bet that can be evaluated.
    api_.SzcFltDebug(&record_, "0", true);
    conditions_ = DynArrayLength(record_.DebugLines);
    std::string head = "[";
    if (format_ == Format::Csv) {
      head = "bet,verdict,failed";
      for (int32_t i = 0; i < conditions_; ++i) head += ",score" + std::to_string(i + 1);
    }
    head += "\n";
    out_.Write(head.data(), head.size());
  }
  ~ScoredWriter() { ReleaseDebugResult(record_); }
  ScoredWriter(const ScoredWriter&) = delete;
  ScoredWriter& operator=(const ScoredWriter&) = delete;

  // Evaluates and writes one bet; its verdict (-1: cannot be evaluated).
  int32_t Take(const std::string& bet) {
    api_.SzcFltDebug(&record_, bet.c_str(), true);
    const int32_t verdict = record_.Verdict < 0 ? -1 : record_.Verdict == 0 ? 0 : 1;
    const int32_t n = DynArrayLength(record_.DebugLines);
    const char* word = verdict == 0 ? "keep" : verdict > 0 ? "remove" : "invalid";
    std::string row;
    if (format_ == Format::Csv) {
      row = CsvField(GbkToUtf8(bet)) + "," + word + ",";
      if (verdict >= 0) row += std::to_string(record_.ErrCount);
      for (int32_t i = 0; i < conditions_; ++i)
        row += "," + (i < n ? std::string(CountedStrView(record_.DebugLines[i].Value)) : "");
      row += "\n";
    } else {
      row = rows_++ ? ",\n" : "";
      row += "{\"bet\":" + JsonString(GbkToUtf8(bet)) + ",\"verdict\":\"" + word + "\"";
      row += ",\"failed\":" + (verdict >= 0 ? std::to_string(record_.ErrCount) : "null");
      row += ",\"scores\":[";
      for (int32_t i = 0; i < n; ++i)
        row += (i ? "," : "") + std::string(CountedStrView(record_.DebugLines[i].Value));
      row += "]}";
    }
    out_.Write(row.data(), row.size());
    return verdict;
  }
  void Finish() {
    if (format_ != Format::Json) return;
    const std::string end = rows_ ? "\n]\n" : "]\n";
    out_.Write(end.data(), end.size());
  }

 private:
  Format format_;
  const PluginExports& api_;
  OutputBuffer& out_;
  TDebugResult record_{};
  int32_t conditions_ = 0;
  uint64_t rows_ = 0;
};

}  // namespace

namespace {

void PrintSummary(const Session& session, const std::string& source, const Tally& tally,
                  double seconds, int signal) {
  const double share = tally.Candidates ? double(tally.Kept) / double(tally.Candidates) : 0.0;
  if (signal)
    std::fprintf(stderr, "interrupted by %s: the summary so far\n", SignalName(signal).c_str());
  std::fprintf(stderr, "library: %s (%s %s)\n", session.Path().c_str(),
               session.Api().GetFilterName(), session.Api().GetVersion());
  std::fprintf(stderr, "setting: %s\n", source.c_str());
  std::fprintf(stderr, "candidates: %llu\n", (unsigned long long)tally.Candidates);
  std::fprintf(stderr, "kept: %llu (%s)\n", (unsigned long long)tally.Kept, Percent(share).c_str());
  std::fprintf(stderr, "removed: %llu\n", (unsigned long long)tally.Removed);
  std::fprintf(stderr, "could not be evaluated: %llu\n", (unsigned long long)tally.Invalid);
  std::fprintf(stderr, "time: %.3f s\n", seconds);
  std::fprintf(stderr, "speed: %.0f bets/s\n",
               seconds > 0 ? double(tally.Candidates) / seconds : 0.0);
}

}  // namespace

int RunFilter(const Options& o) {
  std::string error;
  // Refused before any work: an output that is an input would be emptied
  // before it is read.
  if ((!o.OutFile.empty() && !OutputAllowed(o, "--out", o.OutFile, "", error)) ||
      (!o.RemovedFile.empty() && !OutputAllowed(o, "--removed", o.RemovedFile, "", error))) {
    Error(error);
    return kExitUsage;
  }
  std::string text, source;
  if (!LoadSetting(o, text, source)) return kExitFailed;
  Session session;
  if (!session.Start(o)) return kExitFailed;
  if (!PrepareSetting(session, text, source)) return kExitFailed;
  const PFN_SzcExecute execute = session.Api().SzcExecute;

  Output outFile, removedFile;
  if (o.OutFile.empty())
    outFile.OpenStandard();
  else if (!outFile.Open(o, "--out", o.OutFile, error)) {
    Error(error);
    return kExitFailed;
  }
  std::FILE* out = outFile.Stream();
  if (!o.RemovedFile.empty() && !removedFile.Open(o, "--removed", o.RemovedFile, error)) {
    Error(error);
    return kExitFailed;
  }
  CatchInterruptions();
  OutputBuffer output(out, outFile.LineEnd());
  std::optional<OutputBuffer> removedOutput;
  if (removedFile.Stream()) removedOutput.emplace(removedFile.Stream(), removedFile.LineEnd());
  std::optional<ScoredWriter> scored;
  if (o.OutFormat != Format::Default) scored.emplace(o.OutFormat, session.Api(), output);
  // Any bet by the slower road that writes more than the kept bets.
  auto take = [&](const std::string& bet) {
    const int32_t verdict = scored ? scored->Take(bet) : execute(bet.c_str());
    if (!scored && verdict == 0) output.Line(bet.data(), bet.size());
    if (removedOutput && verdict > 0) removedOutput->Line(bet.data(), bet.size());
    return verdict;
  };
  Progress progress(!o.Quiet && IsTerminal(stderr));
  Tally tally;
  Problems problems(o.Quiet);
  size_t digits = o.DigitsGiven ? size_t(o.Digits) : 0;
  const auto start = std::chrono::steady_clock::now();
  bool readFailed = false;

  if (o.BetsFile.empty()) {
    // Every bet of the lottery, in order: a decimal odometer of N digits.
    char bet[16];
    const int n = o.Digits < 1 ? 1 : o.Digits > 9 ? 9 : o.Digits;
    digits = size_t(n);
    uint64_t total = 1;
    for (int i = 0; i < n; ++i) total *= 10;
    std::memset(bet, '0', sizeof bet);
    bet[n] = '\0';
    if (!scored && !removedOutput) {
      // The plain run: kept bets only, nothing allocated per bet.
      for (uint64_t k = 0; k < total; ++k) {
        const int32_t verdict = execute(bet);
        tally.Count(verdict);
        if (verdict == 0) output.Line(bet, size_t(n));
        for (int d = n - 1; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
        if ((k & 0xFFF) == 0 && Interruption()) break;
        progress.Update(k, total);
      }
    } else {
      std::string current;
      for (uint64_t k = 0; k < total; ++k) {
        current.assign(bet, size_t(n));
        tally.Count(take(current));
        for (int d = n - 1; d >= 0 && ++bet[d] > '9'; --d) bet[d] = '0';
        if ((k & 0xFFF) == 0 && Interruption()) break;
        progress.Update(k, total);
      }
    }
  } else {
    bool owned = false;
    std::FILE* in = OpenBets(o.BetsFile, owned);
    if (!in) return kExitFailed;
    uint64_t size = 0;
    if (owned && std::fseek(in, 0, SEEK_END) == 0) {
      const long end = std::ftell(in);
      size = end > 0 ? uint64_t(end) : 0;
      std::rewind(in);
    }
    LineReader reader(in);
    std::string line, issue, bet, why;
    uint64_t bytes = 0;
    while (!Interruption() && reader.Next(line)) {
      bytes += line.size() + 1;
      std::string_view view = line;
      if (reader.LineNumber() == 1) view = WithoutBom(view);
      const LineKind kind = ReadDrawLine(view, issue, bet, why);
      if (kind == LineKind::Blank) continue;
      if (kind == LineKind::Malformed) {
        ++tally.Unreadable;
        problems.Report(reader.LineNumber(), "'" + ShownText(view) + "': " + why);
        continue;
      }
      const bool digitText = AllDigits(bet);
      // The first bet sets the length unless --digits did.
      if (digits == 0 && digitText) digits = bet.size();
      if (digitText && bet.size() != digits) {
        ++tally.OtherLength;
        problems.Report(reader.LineNumber(), "'" + bet + "' has " + std::to_string(bet.size()) +
                                                 " digits, not " + std::to_string(digits) +
                                                 ": not scored");
        continue;
      }
      const int32_t verdict = take(bet);
      tally.Count(verdict);
      // Shown as UTF-8 so that a stray byte is visible rather than garbled.
      if (verdict < 0)
        problems.Report(reader.LineNumber(),
                        "'" + ShownText(bet) + "' cannot be evaluated (not 0-9)");
      progress.UpdateBytes(tally.Candidates, bytes, size);
    }
    readFailed = reader.Failed();
    if (reader.Form() != InputForm::Plain && !o.Quiet)
      Error("note: --bets " + o.BetsFile + " is " + FormName(reader.Form()) + "; read as its text");
    if (owned) std::fclose(in);
  }
  if (scored) scored->Finish();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  progress.Finish();
  problems.Finish();
  const auto printSummary = [&](int signal) {
    if (!o.Quiet || signal) {
      PrintSummary(session, source, tally, seconds, signal);
    } else if (tally.Invalid || tally.OtherLength || tally.Unreadable) {
      // Quiet hides the lines, never the counts.
      std::fprintf(stderr,
                   "veltrin-host: could not be evaluated: %llu, other length: %llu, not a "
                   "bet: %llu\n",
                   (unsigned long long)tally.Invalid, (unsigned long long)tally.OtherLength,
                   (unsigned long long)tally.Unreadable);
    }
    if (tally.OtherLength && (!o.Quiet || signal))
      std::fprintf(stderr, "other length: %llu (bets of %zu digits were scored)\n",
                   (unsigned long long)tally.OtherLength, digits);
    if (tally.Unreadable && (!o.Quiet || signal))
      std::fprintf(stderr, "not a bet: %llu\n", (unsigned long long)tally.Unreadable);
  };
  if (const int signal = Interruption()) {
    // Nothing half-written stays behind; an earlier file keeps its place.
    outFile.Discard();
    removedFile.Discard();
    if (!o.OutFile.empty() || !o.RemovedFile.empty())
      Error("interrupted: nothing was written to " + (o.OutFile.empty() ? o.RemovedFile
                                                      : o.RemovedFile.empty()
                                                          ? o.OutFile
                                                          : o.OutFile + " or " + o.RemovedFile));
    else
      output.Flush();
    printSummary(signal);
    return InterruptedStatus(signal);
  }
  const std::string kept = " (an earlier file of that name is left as it was)";
  if (readFailed) {
    Error("cannot read bets from " + o.BetsFile + ": " + LastErrorText() +
          (o.OutFile.empty() ? "" : "; " + o.OutFile + " was not written"));
    return kExitFailed;
  }
  if (!output.Flush()) {
    Error("cannot write the kept bets to " +
          (o.OutFile.empty() ? std::string("standard output") : o.OutFile) + ": " +
          output.ErrorText() + (o.OutFile.empty() ? "" : kept));
    return kExitFailed;
  }
  if (removedOutput && !removedOutput->Flush()) {
    Error("cannot write the removed bets to " + o.RemovedFile + ": " + removedOutput->ErrorText() +
          kept);
    return kExitFailed;
  }
  // The removed bets are put in place only once the kept ones are.
  if (!outFile.Commit(error) || !removedFile.Commit(error)) {
    Error("cannot write the bets: " + error + kept);
    return kExitFailed;
  }
  printSummary(0);
  return kExitOk;
}

}  // namespace veltrin::host
