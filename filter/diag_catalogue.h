// The diagnostic catalogue: every diagnostic condition insight can give, in
// one table from which the enum, the stable identifiers, the severities and
// the texts come. include/veltrin.h lists the identifiers for host
// developers; a test holds that list to this table.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace veltrin {

enum class TSeverity : int32_t { Warning = 0, Invalid = 1 };

// The part of a line a diagnostic is about.
enum class TField : int32_t { Line = 0, Mode = 1, Table = 2, Range = 3, Tolerance = 4 };

// X(name, identifier, severity): the text of each is kTxtDiag<name>
// (filter/insight_texts.h). Identifiers are stable: tools match on them.
// Invalid ones are what makes Prepare answer false.
#define VELTRIN_DIAG_CODES(X)                                                                  \
  X(BadScore, "bad-score", Invalid)            /* a score that is not an integer text */       \
  X(BadCode, "bad-code", Invalid)              /* a code that is not an integer text */        \
  X(BadLower, "bad-lower", Invalid)            /* the lower bound is not an integer text */    \
  X(BadUpper, "bad-upper", Invalid)            /* the upper bound is not an integer text */    \
  X(BlankText, "blank-text", Invalid)          /* nothing but blanks */                        \
  X(NoConditions, "no-conditions", Invalid)    /* nothing but tolerance lines */               \
  X(ModeUnknown, "mode-unknown", Warning)      /* every bet scores 0 */                        \
  X(ModeGroup, "mode-group", Warning)          /* a mode that takes no codes */                \
  X(ModeBlanks, "mode-blanks", Warning)        /* a mode word with blanks around it */         \
  X(NoColon, "no-colon", Warning)              /* the whole line is mode, table and range */   \
  X(OneColon, "one-colon", Warning)            /* table and range are the same text */         \
  X(TableEmpty, "table-empty", Warning)        /* no "=" (or "=" first): every bet scores 0 */ \
  X(GroupNoEquals, "group-no-equals", Warning) /* its text is score and codes */               \
  X(ScoreWraps, "score-wraps", Warning)        /* read modulo 256 */                           \
  X(CodeNotTwoDigits, "code-not-two-digits", Warning)                                          \
  X(CodeSeparator, "code-separator", Warning) /* not one blank between codes */                \
  X(CodeLeftover, "code-leftover", Warning)   /* characters at the end are ignored */          \
  X(CodeOutside, "code-outside", Warning)     /* never occurs in a bet */                      \
  X(CodeRepeated, "code-repeated", Warning)   /* the first group gives its score */            \
  X(RangeNoDash, "range-no-dash", Warning)    /* lower = upper */                              \
  X(RangeReversed, "range-reversed", Warning) /* keeps nothing */                              \
  X(RangeKeepsNothing, "range-keeps-nothing", Warning)                                         \
  X(RangeKeepsAll, "range-keeps-all", Warning)                                                 \
  X(LineBlanks, "line-blanks", Warning)              /* blanks at the start or end */          \
  X(EmptyLine, "empty-line", Warning)                /* an empty line read as a condition */   \
  X(SupToleranceLine, "sup-tolerance-line", Warning) /* read and not used */                   \
  X(ToleranceNotFirst, "tolerance-not-first", Warning)                                         \
  X(ToleranceUnread, "tolerance-unread", Warning)                                              \
  X(ToleranceLeftOn, "tolerance-left-on", Warning)                                             \
  X(ToleranceSeparator, "tolerance-separator", Warning)                                        \
  X(ToleranceLongUpper, "tolerance-long-upper", Warning)                                       \
  X(ToleranceAboveCount, "tolerance-above-count", Warning)                                     \
  X(ToleranceKeepsNothing, "tolerance-keeps-nothing", Warning)                                 \
  X(FullWidth, "full-width", Warning) /* an input method's full-width , : | blank digit */

enum class TDiagCode : int32_t {
#define VELTRIN_DIAG_ENUM(name, id, severity) name,
  VELTRIN_DIAG_CODES(VELTRIN_DIAG_ENUM)
#undef VELTRIN_DIAG_ENUM
};

struct TDiagnostic {
  TSeverity Severity = TSeverity::Warning;
  TField Field = TField::Line;
  TDiagCode Code = TDiagCode::ModeUnknown;
  std::string Text;     // the offending text in whole characters (GBK)
  std::string Message;  // what it means, in the system's words (GBK)
};

// Stable identifiers (ASCII).
const char* DiagCodeName(TDiagCode code);
const char* FieldName(TField field);
const char* SeverityName(TSeverity severity);
TSeverity DiagSeverity(TDiagCode code);
// The message text of a code, "{}" where values go (GBK).
const char* DiagText(TDiagCode code);
// Every code, in table order.
std::vector<TDiagCode> AllDiagCodes();

// A text with every "{}" replaced by the next value, in order.
std::string FillText(std::string_view text, std::initializer_list<std::string> values);

}  // namespace veltrin
