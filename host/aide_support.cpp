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
#include "host/aide_support.h"
#include "host/aides.h"
#include "host/commands.h"
#include "host/encoding.h"
#include "host/files.h"
#include "host/insight.h"
#include "host/setting.h"
#include "host/string_list.h"

namespace veltrin::host {

namespace {

bool IsErrLine(std::string_view line, char letter) {
  const size_t dash = line.find('-');
  if (dash == std::string_view::npos || line.empty()) return false;
  if ((line[0] | 0x20) != letter) return false;
  return dash > 2 && IntText(line.substr(2, dash - 2)) && IntText(line.substr(dash + 1, 9));
}

}  // namespace

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

std::string JoinSetting(const SettingLines& lines) {
  std::string value;
  for (const auto* part : {&lines.Tolerance, &lines.Conditions})
    for (const std::string& line : *part) value += line + ";";
  return value;
}

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

void ReportInvalidSetting(const Session& session, const std::string& text,
                          const std::string& source, const std::string& what) {
  InsightResult r;
  std::string error;
  const InsightDiag* bad = nullptr;
  if (Explain(session.Api(), text, 0, "", 0, 0, r, error)) {
    AddHostDiagnostics(r);
    bad = r.FirstInvalid();
  }
  if (!bad) {
    Error(what + ": the setting from " + source + " is not valid");
    return;
  }
  Error(what + ": the setting from " + source + " is not valid: " +
        (bad->Line > 0 ? "line " + std::to_string(bad->Line) : std::string("the text")) + ", " +
        bad->Field + ": " + GbkToUtf8(bad->Message));
}

}  // namespace veltrin::host
