// The host's one escaper per output format and its one number formatter:
// every command that writes JSON, CSV or HTML, or shows a share, goes
// through these.
#pragma once

#include <string>
#include <string_view>

namespace veltrin::host {

// A text (UTF-8) as a JSON string, quotes included: quotes, backslashes and
// control characters escaped.
std::string JsonString(std::string_view utf8);
// A text as a CSV field: quoted when it holds a separator, a quote or a
// line break.
std::string CsvField(std::string_view text);
// A text (UTF-8) as HTML text or attribute value.
std::string HtmlText(std::string_view utf8);

// A text of an input (GBK) as a message shows it: UTF-8, with control
// bytes (a NUL among them) as \xNN, so that nothing cuts or garbles it.
std::string ShownText(std::string_view gbk);

// A share 0..1 as a percentage with up to two decimals, trailing zeros
// dropped ("90%", "66.67%", "3.8%"); a share too small to show that way
// still shows that it is not zero ("0.00042%").
std::string Percent(double share);
// With a rounding direction and a number of decimals (0..12): Down and Up
// round toward that side, so that a bound printed this way still holds.
enum class Rounding { Nearest, Down, Up };
std::string Percent(double share, Rounding rounding, int decimals);

// An interval of shares as "<lo> and <hi>": lo rounded down and hi rounded
// up, with two decimals or more, so that a step of the last is at most a
// tenth of the interval.
std::string PercentBetween(double lo, double hi);

}  // namespace veltrin::host
