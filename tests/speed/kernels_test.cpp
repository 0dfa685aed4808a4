// The fast evaluation paths (bets decoded into one word, conditions scored
// eight at a time in 16-bit lanes where the build has vector instructions,
// long bets on the general path) must count exactly what scoring each
// condition on its own counts. Random settings and bets, compared with the
// per-condition scorer, including the bounds that 16-bit lanes must clamp.
#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "filter/pro_grade.h"
#include "support/gbk.h"

namespace veltrin::test {
namespace {

struct FilterDeleter {
  void operator()(TFilter* f) const { f->Free(); }
};
using FilterPtr = std::unique_ptr<TProGradeFilter, FilterDeleter>;

// A score table: mostly the grid's shape, sometimes hand-written groups with
// scores past 255 (kept to their low 8 bits) and codes held by two groups.
std::string RandomTable(std::mt19937& rng) {
  std::string table;
  if (rng() % 4 == 0) {
    const int groups = 1 + int(rng() % 6);
    for (int g = 0; g < groups; ++g) {
      if (g) table += ',';
      table += std::to_string(rng() % 400) + "=";
      const int codes = int(rng() % 30);
      for (int k = 0; k < codes; ++k) {
        if (k) table += ' ';
        const unsigned code = rng() % 100;
        table += char('0' + code / 10);
        table += char('0' + code % 10);
      }
    }
    return table;
  }
  uint8_t score[100];
  static const unsigned kTops[] = {2, 10, 101};
  const unsigned top = kTops[rng() % 3];
  for (uint8_t& s : score) s = uint8_t(rng() % top);
  for (int s = 0; s <= 100; ++s) {
    if (s) table += ',';
    table += std::to_string(s) + "=";
    bool first = true;
    for (int code = 0; code < 100; ++code) {
      if (score[code] != s) continue;
      if (!first) table += ' ';
      first = false;
      table += char('0' + code / 10);
      table += char('0' + code % 10);
    }
  }
  return table;
}

int64_t RandomBound(std::mt19937& rng) {
  static const int64_t kEdges[] = {INT32_MIN, -40000, -2,    -1,    0,        0,
                                   1,         2,      255,   1785,  1786,     32767,
                                   32768,     65535,  65536, 70000, INT32_MAX};
  if (rng() % 2 == 0) return kEdges[rng() % (sizeof kEdges / sizeof kEdges[0])];
  return int64_t(rng() % 400);
}

std::string RandomBet(std::mt19937& rng) {
  const int length = rng() % 10 == 0 ? int(rng() % 40) : int(rng() % 10);
  std::string bet;
  for (int i = 0; i < length; ++i) bet += char('0' + rng() % 10);
  if (!bet.empty() && rng() % 25 == 0) bet[rng() % bet.size()] = "a -:/"[rng() % 5];
  return bet;
}

// The failing count of each condition scored on its own; -1 for a bet that
// is not a digit text.
int32_t ReferenceCount(const std::vector<TFilterCodeGrade>& conditions, const std::string& bet) {
  int32_t failed = 0;
  for (const TFilterCodeGrade& c : conditions) {
    int64_t score = 0;
    if (!TProGradeFilter::ScoreBet(bet, c, score)) return kBetInvalid;
    if (score < c.Lower || score > c.Upper) ++failed;
  }
  return failed;
}

TEST(FastEvaluation, CountsAndVerdictsMatchScoringEachCondition) {
  std::mt19937 rng(20240611);
  for (int setting = 0; setting < 60; ++setting) {
    // Counts around the block size of eight, and a few larger ones.
    const int count = setting < 40 ? 1 + setting % 20 : 30 + int(rng() % 40);
    std::string text;
    const bool tolerance = rng() % 2;
    const int tolMin = int(rng() % 3), tolMax = tolMin + int(rng() % 4);
    if (tolerance) text = "E|" + std::to_string(tolMin) + "-" + std::to_string(tolMax) + "\r\n";
    std::vector<TFilterCodeGrade> parsed;
    for (int i = 0; i < count; ++i) {
      int64_t lo = RandomBound(rng), hi = RandomBound(rng);
      if (rng() % 4 != 0 && lo > hi) std::swap(lo, hi);  // mostly proper ranges
      const std::string line =
          Straight(RandomTable(rng), std::to_string(lo) + "-" + std::to_string(hi));
      // "-5--3" has an empty lower bound: such a line does not prepare.
      TFilterCodeGrade c;
      if (!TProGradeFilter::ParseCondition(line, c)) {
        --i;
        continue;
      }
      parsed.push_back(c);
      text += line + "\r\n";
    }
    FilterPtr filter(TProGradeFilter::New());
    filter->FilterStr = text;
    ASSERT_TRUE(filter->PrepareRun()) << setting;

    for (int b = 0; b < 300; ++b) {
      const std::string bet = RandomBet(rng);
      const int32_t expected = ReferenceCount(parsed, bet);
      SCOPED_TRACE("setting " + std::to_string(setting) + ", bet '" + bet + "'");
      ASSERT_EQ(filter->CountFailed(bet.c_str()), expected);
      filter->UseVerdict = true;
      ASSERT_EQ(filter->Execute(bet.c_str()),
                expected < 0 ? kBetInvalid : filter->MapVerdict(expected));
      filter->UseVerdict = false;
      ASSERT_EQ(filter->Execute(bet.c_str()), expected);
    }
  }
}

}  // namespace
}  // namespace veltrin::test
