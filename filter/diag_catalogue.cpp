#include "filter/diag_catalogue.h"

#include <iterator>

#include "filter/insight_texts.h"

namespace veltrin {

namespace {

struct TDiagEntry {
  const char* Name;
  TSeverity Severity;
  const char* Text;
};

constexpr TDiagEntry kDiagTable[] = {
#define VELTRIN_DIAG_ENTRY(name, id, severity) {id, TSeverity::severity, kTxtDiag##name},
    VELTRIN_DIAG_CODES(VELTRIN_DIAG_ENTRY)
#undef VELTRIN_DIAG_ENTRY
};

constexpr TDiagCode kDiagCodes[] = {
#define VELTRIN_DIAG_VALUE(name, id, severity) TDiagCode::name,
    VELTRIN_DIAG_CODES(VELTRIN_DIAG_VALUE)
#undef VELTRIN_DIAG_VALUE
};

const TDiagEntry* Entry(TDiagCode code) {
  const size_t i = size_t(code);
  return i < sizeof kDiagTable / sizeof kDiagTable[0] ? &kDiagTable[i] : nullptr;
}

}  // namespace

const char* DiagCodeName(TDiagCode code) {
  const TDiagEntry* e = Entry(code);
  return e ? e->Name : "unknown";
}

TSeverity DiagSeverity(TDiagCode code) {
  const TDiagEntry* e = Entry(code);
  return e ? e->Severity : TSeverity::Warning;
}

const char* DiagText(TDiagCode code) {
  const TDiagEntry* e = Entry(code);
  return e ? e->Text : "";
}

std::vector<TDiagCode> AllDiagCodes() { return {std::begin(kDiagCodes), std::end(kDiagCodes)}; }

const char* FieldName(TField field) {
  static const char* const kNames[] = {"line", "mode", "table", "range", "tolerance"};
  const size_t i = size_t(field);
  return i < 5 ? kNames[i] : "line";
}

const char* SeverityName(TSeverity severity) {
  return severity == TSeverity::Invalid ? "invalid" : "warning";
}

std::string FillText(std::string_view text, std::initializer_list<std::string> values) {
  std::string out;
  auto next = values.begin();
  size_t i = 0;
  while (i < text.size()) {
    if (text[i] == '{' && i + 1 < text.size() && text[i + 1] == '}' && next != values.end()) {
      out += *next++;
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

}  // namespace veltrin
