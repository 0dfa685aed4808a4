// Condition insight in the reference host: calls the library's optional
// VeltrinExplain export and reads its versioned answer. The host never links
// the engine; what it shows is what the library says.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/options.h"
#include "host/plugin_library.h"

namespace veltrin::host {

// What VeltrinExplain adds on request (include/veltrin.h).
inline constexpr int32_t kExplainDistributions = 1;
inline constexpr int32_t kExplainSetting = 2;
inline constexpr int32_t kExplainDrawScores = 4;
inline constexpr int32_t kExplainExact = 8;  // with kExplainSetting: count every candidate

// Texts are GBK as the library wrote them (unescaped).
struct InsightDiag {
  int32_t Line = 0;  // 0: the whole text
  std::string Severity, Field, Code, Text, Message;
  bool Invalid() const { return Severity == "invalid"; }
};

struct InsightLine {
  int32_t Number = 0;
  std::string Kind;  // condition, tolerance, ignored
  int32_t Index = -1;
  int32_t Mode = -1;
  int64_t Lower = 0, Upper = 0;
  std::string Text;
  int32_t Count = 1;            // the lines from Number on that this one stands for
  std::string ModeWordGbk;      // the library's word for the mode, "-" when unknown
  std::vector<int32_t> Scores;  // codes 00..99
  bool HasKept = false;
  std::string Kept, Total;  // exact decimal counts
  double Share = 0;
  int32_t MinScore = 0, MaxScore = 0;
  std::vector<std::pair<int32_t, double>> Dist;  // score, candidates
  bool HasHits = false;
  int64_t Hits = 0, Draws = 0;
  std::vector<int32_t> DrawScores;  // latest first
  std::vector<InsightDiag> Diags;
  bool Invalid() const;
};

struct InsightResult {
  int32_t Version = 0;
  bool Valid = false;
  int32_t Digits = 0;
  int32_t Conditions = 0;
  std::string Tolerance;  // "lo-hi" or "-"
  std::vector<InsightDiag> TextDiags;
  std::vector<InsightLine> Lines;
  std::vector<std::pair<int32_t, std::string>> HistoryDiags;
  bool HasHistory = false;
  int64_t HistoryDraws = 0, HistoryKept = 0;
  std::vector<std::string> DrawLabels;  // "issue=digits", latest first
  std::vector<int32_t> DrawFails;
  bool HasSetting = false;
  bool Exact = false;
  std::string SettingKept, SettingOf;
  double SettingShare = 0, SettingBound = 0;
  // Where the true share lies with at least SettingLevel (exact: all three
  // equal the share and the level is 1). An older library gives only the
  // bound: then lo/hi are share -/+ bound, clamped to 0..1.
  double SettingLo = 0, SettingHi = 0, SettingLevel = 0.99;
  std::string SettingSeed;
  std::vector<double> Failures;  // candidates failing 0, 1, ... conditions
  bool Complete = false;         // the "end" record was read
  // The first invalid diagnostic, or null.
  const InsightDiag* FirstInvalid() const;
};

// Reads a VELTRIN-EXPLAIN answer; false with `error` for another format or
// version, or an answer cut short.
bool ParseInsight(std::string_view text, InsightResult& out, std::string& error);

// Calls VeltrinExplain (flags as in include/veltrin.h) and reads its answer.
bool Explain(const PluginExports& api, const std::string& conditionText, int32_t digits,
             const std::string& historyText, int32_t last, int32_t flags, InsightResult& out,
             std::string& error);

// Before a run: prints the setting's warnings to standard error and, when
// SzcPrepare answered false, which line and field are invalid and why.
// Says nothing more when the library has no VeltrinExplain.
void PrintSettingDiagnostics(const PluginExports& api, const std::string& text,
                             const std::string& source, bool prepared);

// Adds the host's own words where the library's would mislead: a bound too
// large for its field is out of range (with the range), and "E|1" on the
// first line looks like a tolerance line without its upper bound.
void AddHostDiagnostics(InsightResult& r);

// A condition line's mode as a word (UTF-8): the library's word, "unknown"
// where it knows none, "-" for a line that is no valid condition.
std::string ModeWord(const InsightLine& line);

// "\\", "\t", "\r", "\n" and "\xHH" of an answer's field back to the bytes.
std::string Unescaped(std::string_view field);

int RunCheck(const Options& options);
int RunReport(const Options& options);

}  // namespace veltrin::host
