#include "workload.h"

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <tuple>

#include "common/texts.h"
#include "filter/cp_share.h"

namespace veltrin::bench {
namespace {

// mt19937_64 is fully specified, so the data are the same on every machine.
std::vector<std::string> RandomBets(uint64_t seed, int digits, size_t count) {
  std::mt19937_64 rng(seed);
  std::vector<std::string> bets(count, std::string(size_t(digits), '0'));
  for (std::string& bet : bets)
    for (char& c : bet) c = char('0' + rng() % 10);
  return bets;
}

void AppendCodes(const std::string& bet, std::vector<uint8_t>& out) {
  for (size_t i = 0; i + 1 < bet.size(); ++i)
    out.push_back(uint8_t((bet[i] - '0') * 10 + (bet[i + 1] - '0')));
}

// Condition `index` of a lottery: its scores depend on the seed and index
// only, so a smaller condition count takes a prefix of a larger one.
PlainCondition RandomCondition(uint64_t seed, int index) {
  std::mt19937_64 rng(seed * 1000003u + uint64_t(index));
  PlainCondition c{};
  for (uint8_t& s : c.Score) s = uint8_t(rng() % 11);
  return c;
}

// The range that keeps kConditionKeepShare of the bets, found with the
// batch assistant's trimming, as a user who fits ranges to a sample gets.
void FitRange(PlainCondition& c, const std::vector<uint8_t>& codes, int codeCount) {
  std::vector<int32_t> histogram(size_t(10 * codeCount + 1), 0);
  for (size_t b = 0; b + size_t(codeCount) <= codes.size(); b += size_t(codeCount)) {
    int sum = 0;
    for (int k = 0; k < codeCount; ++k) sum += c.Score[codes[b + size_t(k)]];
    ++histogram[size_t(sum)];
  }
  const std::string range = TCPBaseFunc::RangeFromHistogram(histogram, kConditionKeepShare);
  const size_t dash = range.find('-');
  if (dash == std::string::npos) throw std::logic_error("no range for a benchmark condition");
  c.Lower = std::stoi(range.substr(0, dash));
  c.Upper = std::stoi(range.substr(dash + 1));
}

std::string ConditionLine(const PlainCondition& c, const std::string& range) {
  return std::string(kTxtModeStraight) + ":" + GridTableText(c.Score) + ":" + range;
}

}  // namespace

std::string GridTableText(const uint8_t (&scores)[100]) {
  std::string text;
  for (int score = 0; score <= 100; ++score) {
    if (score > 0) text += ',';
    text += std::to_string(score) + "=";
    bool first = true;
    for (int code = 0; code < 100; ++code) {
      if (scores[code] != score) continue;
      if (!first) text += ' ';
      first = false;
      text += char('0' + code / 10);
      text += char('0' + code % 10);
    }
  }
  return text;
}

const Workload& EvaluationWorkload(int digits, int conditions, bool tolerance) {
  static std::map<std::tuple<int, int, bool>, std::unique_ptr<Workload>> cache;
  std::unique_ptr<Workload>& slot = cache[{digits, conditions, tolerance}];
  if (slot) return *slot;

  auto w = std::make_unique<Workload>();
  w->Digits = digits;
  w->CodeCount = digits - 1;
  w->Conditions = conditions;
  w->Tolerance = tolerance;
  w->TolMin = 0;
  w->TolMax = std::max(1, conditions / 10);

  const std::vector<std::string> bets = RandomBets(uint64_t(digits), digits, kBetPoolSize);
  w->BetCount = bets.size();
  w->BetStride = size_t(digits) + 1;
  w->BetTexts.assign(w->BetCount * w->BetStride, '\0');
  for (size_t i = 0; i < bets.size(); ++i) {
    bets[i].copy(w->BetTexts.data() + i * w->BetStride, bets[i].size());
    AppendCodes(bets[i], w->BetCodes);
  }

  if (tolerance)
    w->ConditionText = "E|" + std::to_string(w->TolMin) + "-" + std::to_string(w->TolMax) + "\r\n";
  for (int i = 0; i < conditions; ++i) {
    PlainCondition c = RandomCondition(uint64_t(digits), i);
    FitRange(c, w->BetCodes, w->CodeCount);
    w->Plain.push_back(c);
    w->ConditionLines.push_back(
        ConditionLine(c, std::to_string(c.Lower) + "-" + std::to_string(c.Upper)));
    w->ConditionText += w->ConditionLines.back() + "\r\n";
  }
  slot = std::move(w);
  return *slot;
}

const BatchWorkload& BatchAideWorkload(int digits, int conditions, int bets) {
  static std::map<std::tuple<int, int, int>, std::unique_ptr<BatchWorkload>> cache;
  std::unique_ptr<BatchWorkload>& slot = cache[{digits, conditions, bets}];
  if (slot) return *slot;

  auto w = std::make_unique<BatchWorkload>();
  w->Digits = digits;
  w->CodeCount = digits - 1;
  w->KeepShare = kConditionKeepShare;
  w->BetTexts = RandomBets(uint64_t(digits) + 100, digits, size_t(bets));
  for (const std::string& bet : w->BetTexts) AppendCodes(bet, w->BetCodes);
  // The ranges the lines start with are what the assistant replaces.
  const std::string wideRange = "0-" + std::to_string(100 * (digits - 1));
  for (int i = 0; i < conditions; ++i) {
    PlainCondition c = RandomCondition(uint64_t(digits) + 100, i);
    c.Lower = 0;
    c.Upper = 100 * (digits - 1);
    w->Plain.push_back(c);
    w->ConditionLines.push_back(ConditionLine(c, wideRange));
  }
  slot = std::move(w);
  return *slot;
}

}  // namespace veltrin::bench
