// What the host adds to the library's diagnostics of a setting, where the
// library's words would mislead a user.
#include <climits>
#include <string>

#include "common/text.h"
#include "host/insight.h"
#include "port/port.h"

namespace veltrin::host {
namespace {

// GBK texts of the host's own diagnostics.
constexpr char kTxtUpper[] = "\xC9\xCF\xCF\xDE";                       // 上限
constexpr char kTxtLower[] = "\xCF\xC2\xCF\xDE";                       // 下限
constexpr char kTxtOpenQuote[] = "\xA1\xB0";                           // “
constexpr char kTxtCloseQuote[] = "\xA1\xB1";                          // ”
constexpr char kTxtOutOfRange[] = "\xB3\xAC\xB3\xF6\xB7\xB6\xCE\xA7";  // 超出范围
// 第一行像容错行，但“
constexpr char kTxtLooksTolerance[] =
    "\xB5\xDA\xD2\xBB\xD0\xD0\xCF\xF1\xC8\xDD\xB4\xED\xD0\xD0\xA3\xAC\xB5\xAB\xA1\xB0";
// ”缺少上限：应写成 E|下限-上限
constexpr char kTxtNoUpper[] =
    "\xA1\xB1\xC8\xB1\xC9\xD9\xC9\xCF\xCF\xDE\xA3\xBA\xD3\xA6\xD0\xB4\xB3\xC9"
    " E|"
    "\xCF\xC2\xCF\xDE"
    "-"
    "\xC9\xCF\xCF\xDE";

// "E|1": a tolerance line without its upper bound.
bool LooksLikeTolerance(std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() < 3 || text[1] != '|' || ((text[0] | 0x20) != 'e' && (text[0] | 0x20) != 's'))
    return false;
  int64_t v = 0;
  return port::ParseInt(text.substr(2), 0, INT32_MAX, v) == port::IntStatus::Ok;
}

}  // namespace

void AddHostDiagnostics(InsightResult& r) {
  for (InsightLine& l : r.Lines) {
    for (InsightDiag& d : l.Diags) {
      if (d.Code != "bad-upper" && d.Code != "bad-lower") continue;
      // A bound of digits only that the field cannot hold is out of range,
      // not "not an integer".
      const std::string text(TrimBlanks(d.Text));
      int64_t v = 0;
      if (port::ParseInt(text, INT32_MIN, INT32_MAX, v) != port::IntStatus::OutOfRange) continue;
      d.Message = std::string(d.Code == "bad-upper" ? kTxtUpper : kTxtLower) + kTxtOpenQuote +
                  text + kTxtCloseQuote + kTxtOutOfRange + " [" + std::to_string(INT32_MIN) + ", " +
                  std::to_string(INT32_MAX) + "]";
    }
    if (l.Number == 1 && l.Invalid() && LooksLikeTolerance(l.Text)) {
      InsightDiag hint;
      hint.Line = l.Number;
      hint.Severity = "warning";
      hint.Field = "tolerance";
      hint.Code = "tolerance-no-upper";
      hint.Text = l.Text;
      hint.Message = kTxtLooksTolerance + std::string(TrimBlanks(l.Text)) + kTxtNoUpper;
      l.Diags.insert(l.Diags.begin(), hint);
    }
  }
}

}  // namespace veltrin::host
