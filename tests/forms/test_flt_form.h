// A small dialog on TfrmFltBase for tests: its condition lines are a plain
// list, and its filter is the pair-score filter.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "filter/filter_sup.h"
#include "filter/pro_grade.h"
#include "forms/flt_base_form.h"

namespace veltrin::test {

class TTestFltForm final : public TfrmFltBase {
 public:
  TTestFltForm() : TfrmFltBase("frmTestFlt") {}

  std::vector<std::string> Lines;
  std::string LastSetText;
  int SetCalls = 0;
  bool WithFilter = true;
  bool FailSet = false;  // SetConditionsText raises a conversion error

  std::string GetConditionsText() override {
    std::string text;
    for (const std::string& line : Lines) text += line + "\r\n";
    return text;
  }
  void SetConditionsText(std::string_view text) override {
    ++SetCalls;
    LastSetText = text;
    if (FailSet) throw EConvertError(std::string(text));
    Lines.clear();
    SplitLines(TSupFilter::SemicolonsToLines(text),
               [&](std::string_view line) { Lines.emplace_back(line); });
  }
  TFilter* CreateFilter() override { return WithFilter ? TProGradeFilter::New() : nullptr; }
};

}  // namespace veltrin::test
