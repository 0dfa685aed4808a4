// The batch range assistant of TProGradeFilter: a range for each condition
// of a list from the scores of a sample of bets.
#include <algorithm>
#include <cstdint>

#include "common/counted.h"
#include "common/string_list.h"
#include "common/text.h"
#include "filter/cp_share.h"
#include "filter/pro_grade_kernels.h"

namespace veltrin {

namespace {

// Largest batch histogram; a score beyond it (only hand-written tables
// over absurdly long bets reach one) leaves that condition's range as it is.
constexpr int64_t kMaxHistogramSize = int64_t(1) << 24;

constexpr size_t kNoLine = SIZE_MAX;

// The list line that holds each prepared condition alone, or kNoLine.
// Framed on its own, every list line yields the prepared conditions that
// follow in order; only a line that is exactly one condition line (no
// tolerance line, no ";", no line break of its own) may be rewritten.
// Tolerance lines, blank lines and lines holding several conditions pair
// with none. Empty when the list does not yield the prepared conditions in
// order, so that no range can land on another condition's line.
std::vector<size_t> PairConditionLines(const std::vector<std::string>& lines,
                                       const std::vector<std::string>& prepared) {
  std::vector<size_t> lineOf(prepared.size(), kNoLine);
  size_t next = 0;
  TFraming own;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsBlank(lines[i])) continue;
    TSupFilter::FrameConditionText(lines[i], own);
    if (own.Lines.size() > prepared.size() - next ||
        !std::equal(own.Lines.begin(), own.Lines.end(), prepared.begin() + ptrdiff_t(next)))
      return {};
    if (own.Lines.size() == 1 && own.Lines[0] == lines[i]) lineOf[next] = i;
    next += own.Lines.size();
  }
  if (next != prepared.size()) return {};
  return lineOf;
}

}  // namespace

int32_t VELTRIN_API TProGradeFilter::BatchAide(IStringList* conditions, TBatFltSet* data) noexcept {
  try {
    if (!conditions || !data) return 0;
    const TComRef<IEditableStringList> editable = QueryAs<IEditableStringList>(conditions);
    if (!editable) return 0;

    std::vector<std::string> lines;
    if (!ReadStringList(conditions, lines)) return 0;
    // A blank line holds no condition; the others must prepare as one text.
    std::string text;
    for (const std::string& line : lines)
      if (!IsBlank(line)) text.append(line).append("\r\n");
    FilterStr = text;
    if (!Prepare()) return 0;
    const std::vector<size_t> lineOf = PairConditionLines(lines, ConditionList);
    if (lineOf.empty()) return 0;

    // Every sample bet's codes, computed once for all conditions. A bet that
    // is not a digit text cannot be scored and stays out of the sample.
    int32_t sampleCount = DynArrayLength(data->Bets);
    int32_t listed = 0;
    if (!data->BetTexts || !Succeeded(data->BetTexts->Count(&listed))) return 0;
    sampleCount = std::min(sampleCount, listed);
    std::vector<uint8_t> allCodes;
    std::vector<size_t> starts{0};
    std::vector<uint8_t> codes;
    // The code count shared by every sample bet, as in any real sample, or
    // kMixedWidths.
    constexpr size_t kMixedWidths = SIZE_MAX;
    size_t width = kMixedWidths;
    for (int32_t k = 0; k < sampleCount; ++k) {
      const char* bet = nullptr;
      if (!Succeeded(data->BetTexts->Get(k, &bet))) continue;
      if (!DecodeBet(bet ? std::string_view(bet) : std::string_view(), codes)) continue;
      if (starts.size() == 1) allCodes.reserve(codes.size() * size_t(sampleCount));
      width = (starts.size() == 1 || codes.size() == width) ? codes.size() : kMixedWidths;
      allCodes.insert(allCodes.end(), codes.begin(), codes.end());
      starts.push_back(allCodes.size());
    }
    const size_t bets = starts.size() - 1;
    const int64_t keepShare = std::max<int64_t>(data->KeepShare, 0);
    const bool unrolled = width < kMaxPackedDigits;

    std::vector<int64_t> scores(unrolled ? 0 : bets);
    std::vector<int32_t> histogram;
    int32_t count = 0;
    for (size_t i = 0; i < conditions_.size(); ++i) {
      if (lineOf[i] == kNoLine || bets == 0) continue;
      const TCompiledCondition& c = conditions_[i];
      if (unrolled) {
        // Bets of one short length: score straight into a histogram sized by
        // the highest score possible; the zeros above the highest score
        // reached do not change the range.
        const int32_t top =
            int32_t(*std::max_element(c.Score.begin(), c.Score.end())) * int32_t(width);
        histogram.assign(size_t(top) + 1, 0);
        ScoreSample(c, width, allCodes.data(), bets, histogram.data());
      } else {
        int64_t top = 0;
        for (size_t k = 0; k < bets; ++k) {
          int64_t sum = 0;
          for (size_t j = starts[k]; j < starts[k + 1]; ++j) sum += c.Score[allCodes[j]];
          scores[k] = sum;
          top = std::max(top, sum);
        }
        if (top >= kMaxHistogramSize) continue;
        histogram.assign(size_t(top) + 1, 0);
        for (int64_t s : scores) ++histogram[size_t(s)];
      }
      const std::string range = TCPBaseFunc::RangeFromHistogram(histogram, keepShare);
      if (range.empty()) continue;
      // Keep everything up to the second ":" (mode and table), new range after.
      const std::string& line = lines[lineOf[i]];
      const size_t first = line.find(':');
      const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
      if (second == std::string::npos) continue;
      const std::string rewritten = line.substr(0, second + 1) + range;
      if (!Succeeded(editable->Put(int32_t(lineOf[i]), rewritten.c_str()))) continue;
      ++count;
    }
    return count;
  } catch (...) {
    return 0;
  }
}

}  // namespace veltrin
