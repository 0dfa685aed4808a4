#include "forms/condition_list.h"

#include <algorithm>

#include "common/text.h"
#include "filter/filter_base.h"
#include "filter/filter_sup.h"

namespace veltrin {

TConditionList::TConditionList() : lines_(TStringList::Create()) {}

TConditionList::~TConditionList() { lines_->Release(); }

std::string TConditionList::Line(int32_t index) const {
  if (index < 0 || index >= Count()) return {};
  return Lines()[size_t(index)];
}

std::string TConditionList::Text() const {
  std::string text;
  for (const std::string& line : Lines()) text += line + "\r\n";
  return text;
}

void TConditionList::SetText(std::string_view text) {
  std::vector<std::string> lines;
  SplitLines(TSupFilter::SemicolonsToLines(text),
             [&lines](std::string_view line) { lines.emplace_back(line); });
  lines_->Lines() = std::move(lines);
}

void TConditionList::AppendText(std::string_view text) {
  SplitLines(text, [this](std::string_view line) { lines_->Lines().emplace_back(line); });
}

bool TConditionList::Contains(std::string_view line) const {
  return std::any_of(Lines().begin(), Lines().end(),
                     [line](const std::string& existing) { return SameTextAscii(existing, line); });
}

int32_t TConditionList::Append(std::string line) {
  lines_->Lines().push_back(std::move(line));
  return Count() - 1;
}

bool TConditionList::Replace(int32_t index, std::string line) {
  if (index < 0 || index >= Count()) return false;
  lines_->Lines()[size_t(index)] = std::move(line);
  return true;
}

int32_t TConditionList::Delete(const std::vector<int32_t>& selected, int32_t current) {
  std::vector<std::string>& lines = lines_->Lines();
  std::vector<bool> gone(lines.size(), false);
  for (int32_t i : selected)
    if (i >= 0 && i < int32_t(lines.size())) gone[size_t(i)] = true;
  size_t kept = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (gone[i]) continue;
    if (kept != i) lines[kept] = std::move(lines[i]);
    ++kept;
  }
  lines.resize(kept);
  const int32_t count = Count();
  if (current < 0 || count == 0) return -1;
  return std::min(current, count - 1);
}

void TConditionList::Clear() { lines_->Lines().clear(); }

void TConditionList::SetKeepRemove(const std::vector<int32_t>& selected, bool keep) {
  for (int32_t i : selected) {
    if (i < 0 || i >= Count()) continue;
    std::string& line = lines_->Lines()[size_t(i)];
    if (!line.empty() && (line[0] == 'K' || line[0] == 'D')) line[0] = keep ? 'K' : 'D';
  }
}

int32_t TConditionList::RunBatchAide(TFilter& filter, TBatFltSet* data) {
  return filter.RunBatchAide(lines_, data);
}

}  // namespace veltrin
