#include "filter/pro_grade.h"

#include <algorithm>
#include <climits>

// Vector instructions score conditions in blocks; VELTRIN_NO_LANE_KERNELS
// keeps the scalar kernels (to measure or test them on any machine).
#if defined(__SSE2__) && !defined(VELTRIN_NO_LANE_KERNELS)
#include <emmintrin.h>
#define VELTRIN_LANE_KERNELS 1
#endif

#include "common/counted.h"
#include "common/lottery.h"
#include "common/string_list.h"
#include "common/text.h"
#include "common/texts.h"
#include "filter/cp_share.h"

namespace veltrin {

#if VELTRIN_LANE_KERNELS
namespace {
// Conditions per block, one 16-bit lane each.
constexpr unsigned kLanes = 8;
constexpr unsigned kTableCodes = 100;
}  // namespace

// Eight prepared conditions scored at once: the bet's codes index rows that
// hold the code's score under each condition of the block, so a block costs
// one load and one add per code and no branch. Read with unaligned loads:
// 32-bit Windows heaps align to 8 bytes only.
struct TConditionBlock {
  int16_t Rows[kTableCodes][kLanes];  // Rows[k][j]: the score of code k under condition j
  // The bounds clamped to 16 bits. Sums of at most 7 codes (1785) stay far
  // inside, so a clamped bound passes the same sums.
  int16_t Lower[kLanes];
  int16_t Upper[kLanes];
};
#else
// Without vector instructions the blocks are not built.
struct TConditionBlock {};
#endif

namespace {

SettingsDialogFn g_settingsDialog = nullptr;

// Longest bet (in codes) whose sum cannot overflow 32 bits: 255 per code.
constexpr size_t kMaxCodesFor32BitSum = size_t(INT32_MAX) / 255;
// Largest batch histogram; a score beyond it (only hand-written tables
// over absurdly long bets reach one) leaves that condition's range as it is.
constexpr int64_t kMaxHistogramSize = int64_t(1) << 24;
// Digit counts a host may report for a lottery.
constexpr int32_t kMaxDigitCount = 100;

// The codes of a digit text, or false when it holds anything else.
bool DigitTextCodes(std::string_view bet, std::vector<uint8_t>& codes) {
  codes.clear();
  if (bet.empty()) return true;
  codes.reserve(bet.size() - 1);
  unsigned prev = unsigned(static_cast<unsigned char>(bet[0])) - '0';
  if (prev > 9) return false;
  for (size_t i = 1; i < bet.size(); ++i) {
    unsigned d = unsigned(static_cast<unsigned char>(bet[i])) - '0';
    if (d > 9) return false;
    codes.push_back(uint8_t(prev * 10 + d));
    prev = d;
  }
  return true;
}

// Bets of up to this many digits (7 codes) are decoded into one 64-bit word
// and scored by kernels unrolled for their exact code count: a
// runtime-length inner loop costs more than the few lookups it does.
constexpr unsigned kMaxPackedDigits = 8;

// The failing count over conditions [c, end), stopping once it passes
// `limit`. `packed` holds code k in byte k. Sums of at most 7 codes of at
// most 255 fit in 32 bits.
template <unsigned kCodes>
int32_t CountPacked(const TCompiledCondition* c, const TCompiledCondition* end, uint64_t packed,
                    int32_t limit) noexcept {
  uint8_t codes[kCodes > 0 ? kCodes : 1];
  for (unsigned k = 0; k < kCodes; ++k) codes[k] = uint8_t(packed >> (8 * k));
  int32_t failed = 0;
  for (; c != end; ++c) {
    int32_t sum = 0;
    for (unsigned k = 0; k < kCodes; ++k) sum += c->Score[codes[k]];
    if (sum < c->Lower || sum > c->Upper) {
      if (++failed > limit) break;
    }
  }
  return failed;
}

using PackedKernel = int32_t (*)(const TCompiledCondition*, const TCompiledCondition*, uint64_t,
                                 int32_t) noexcept;
// Indexed by the digit count: n digits give n - 1 codes, the empty bet none.
constexpr PackedKernel kPackedKernels[kMaxPackedDigits + 1] = {
    CountPacked<0>, CountPacked<0>, CountPacked<1>, CountPacked<2>, CountPacked<3>,
    CountPacked<4>, CountPacked<5>, CountPacked<6>, CountPacked<7>,
};

// Scores every sample bet of kCodes codes (bet after bet in `codes`) under
// one condition into `histogram`, which covers every score possible.
template <unsigned kCodes>
void ScoreSample(const TCompiledCondition& c, const uint8_t* codes, size_t bets,
                 int32_t* histogram) noexcept {
  for (size_t k = 0; k < bets; ++k, codes += kCodes) {
    int32_t sum = 0;
    for (unsigned j = 0; j < kCodes; ++j) sum += c.Score[codes[j]];
    ++histogram[sum];
  }
}

using SampleScorer = void (*)(const TCompiledCondition&, const uint8_t*, size_t, int32_t*) noexcept;
// Indexed by the code count.
constexpr SampleScorer kSampleScorers[kMaxPackedDigits] = {
    ScoreSample<0>, ScoreSample<1>, ScoreSample<2>, ScoreSample<3>,
    ScoreSample<4>, ScoreSample<5>, ScoreSample<6>, ScoreSample<7>,
};

#if VELTRIN_LANE_KERNELS
// The number of set bits of every byte value: failing lanes of a block.
struct TLaneCounts {
  uint8_t Of[256];
  constexpr TLaneCounts() : Of() {
    for (unsigned m = 0; m < 256; ++m)
      for (unsigned b = m; b; b >>= 1) Of[m] = uint8_t(Of[m] + (b & 1));
  }
};
constexpr TLaneCounts kLaneCounts;

inline __m128i Lanes(const int16_t (&v)[kLanes]) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(v));
}

// The failing lanes of one block for a bet of kCodes codes.
template <unsigned kCodes>
int32_t FailingLanes(const TConditionBlock& b, const unsigned (&codes)[kCodes]) noexcept {
  __m128i sum = Lanes(b.Rows[codes[0]]);
  for (unsigned k = 1; k < kCodes; ++k) sum = _mm_add_epi16(sum, Lanes(b.Rows[codes[k]]));
  const __m128i bad =
      _mm_or_si128(_mm_cmplt_epi16(sum, Lanes(b.Lower)), _mm_cmpgt_epi16(sum, Lanes(b.Upper)));
  // One bit per lane.
  return kLaneCounts.Of[_mm_movemask_epi8(_mm_packs_epi16(bad, _mm_setzero_si128()))];
}

// The failing count over blocks [b, end) for a bet of kCodes (1..7) codes,
// stopping once it passes `limit`. The count is tested every second block
// only: whether a bet fails is as unpredictable as the bets are, and a
// mispredicted test costs more than scoring eight more conditions.
template <unsigned kCodes>
int32_t CountLanes(const TConditionBlock* b, const TConditionBlock* end, uint64_t packed,
                   int32_t limit) noexcept {
  static_assert(kCodes >= 1 && kCodes <= 7, "sums must stay below the 16-bit clamps");
  unsigned codes[kCodes];
  for (unsigned k = 0; k < kCodes; ++k) codes[k] = unsigned(packed >> (8 * k)) & 0xFFu;
  int32_t failed = 0;
  if (b == end) return failed;
  for (;;) {
    failed += FailingLanes<kCodes>(*b, codes);
    if (++b == end) break;
    failed += FailingLanes<kCodes>(*b, codes);
    // One branch on both: at the last block it is taken whatever the count,
    // so a bet of a setting with one or two blocks meets no branch that
    // depends on it.
    if ((++b == end) | (failed > limit)) break;
  }
  return failed;
}

using LaneKernel = int32_t (*)(const TConditionBlock*, const TConditionBlock*, uint64_t,
                               int32_t) noexcept;
// Indexed by the digit count, from 2 digits (1 code) on.
constexpr LaneKernel kLaneKernels[kMaxPackedDigits + 1] = {
    nullptr,       nullptr,       CountLanes<1>, CountLanes<2>, CountLanes<3>,
    CountLanes<4>, CountLanes<5>, CountLanes<6>, CountLanes<7>,
};

int16_t Clamp16(int32_t v, int32_t lo) {
  return int16_t(std::min<int32_t>(std::max(v, lo), 32767));
}

// The lane layout of the prepared conditions.
std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>& conditions) {
  std::vector<TConditionBlock> blocks((conditions.size() + kLanes - 1) / kLanes);
  for (size_t b = 0; b < blocks.size(); ++b) {
    TConditionBlock& block = blocks[b];
    for (unsigned j = 0; j < kLanes; ++j) {
      const size_t i = b * kLanes + j;
      // A lane past the last condition scores 0 and passes every sum.
      block.Lower[j] = i < conditions.size() ? Clamp16(conditions[i].Lower, 0) : 0;
      block.Upper[j] = i < conditions.size() ? Clamp16(conditions[i].Upper, -1) : 32767;
      for (unsigned k = 0; k < kTableCodes; ++k)
        block.Rows[k][j] = i < conditions.size() ? conditions[i].Score[k] : 0;
    }
  }
  return blocks;
}
#else
std::vector<TConditionBlock> BuildBlocks(const std::vector<TCompiledCondition>&) { return {}; }
#endif

int64_t ScoreCompiled(const std::vector<uint8_t>& codes, const TCompiledCondition& c) {
  int64_t sum = 0;
  for (uint8_t code : codes) sum += c.Score[code];
  return sum;
}

}  // namespace

void SetSettingsDialog(SettingsDialogFn fn) { g_settingsDialog = fn; }

TCompiledCondition CompileCondition(const TFilterCodeGrade& condition) {
  TCompiledCondition c;
  c.Lower = condition.Lower;
  c.Upper = condition.Upper;
  if (condition.Mode != kModeStraight) return c;  // no codes: every bet scores 0
  for (unsigned code = 0; code < 100; ++code) {
    for (const TCodeGradeItem& item : condition.Table) {
      if (item.Has(code)) {
        c.Score[code] = item.Score;
        break;
      }
    }
  }
  return c;
}

TProGradeFilter::TProGradeFilter() {
  FilterName = "Veltrin";
  codes_.reserve(64);
}

TProGradeFilter::~TProGradeFilter() = default;

TFilter* VELTRIN_API TProGradeFilter::Create() noexcept {
  try {
    return new TProGradeFilter();
  } catch (...) {
    return nullptr;
  }
}

int32_t TProGradeFilter::ParseSelectMode(std::string_view mode) {
  if (mode == kTxtModeStraight) return kModeStraight;
  if (mode == kTxtModeGroup) return kModeGroup;
  return kModeUnknown;
}

bool TProGradeFilter::BetToCodes(std::string_view bet, int32_t mode, std::vector<uint8_t>& codes) {
  if (mode != kModeStraight) return true;
  std::vector<uint8_t> fresh;
  if (!DigitTextCodes(bet, fresh)) return false;
  codes.swap(fresh);
  return true;
}

bool TProGradeFilter::ParseGradeTable(std::string_view text, TArrCodeGrade& table) {
  table.clear();
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) return true;
  const std::string groups = ReplaceChar(text, ',', '\n');
  bool ok = true;
  SplitLines(groups, [&](std::string_view raw) {
    if (!ok) return;
    TCodeGradeItem& item = table.emplace_back();
    std::string_view group = TrimBlanks(raw);
    if (group.empty()) return;
    std::optional<int32_t> score = IntText(TextBefore(group, '='));
    if (!score) {
      ok = false;
      return;
    }
    item.Score = uint8_t(uint32_t(*score));  // low 8 bits: 300 is 44, -1 is 255
    std::string_view codes = TextAfter(group, '=');
    const size_t count = (codes.size() + 1) / 3;
    for (size_t k = 0; k < count; ++k) {
      std::optional<int32_t> code = IntText(codes.substr(3 * k, 2));
      if (!code) {
        ok = false;
        return;
      }
      if (*code >= 0 && *code <= 103) item.Add(unsigned(*code));
    }
  });
  return ok;
}

int64_t TProGradeFilter::ScoreCodes(const std::vector<uint8_t>& codes, const TArrCodeGrade& table) {
  int64_t sum = 0;
  for (uint8_t code : codes) {
    for (const TCodeGradeItem& item : table) {
      if (item.Has(code)) {
        sum += item.Score;
        break;
      }
    }
  }
  return sum;
}

bool TProGradeFilter::ParseCondition(std::string_view line, TFilterCodeGrade& out) {
  out = TFilterCodeGrade();
  out.Mode = ParseSelectMode(TextBefore(line, ':'));
  std::string_view rest = TextAfter(line, ':');
  if (!ParseGradeTable(TextBefore(rest, ':'), out.Table)) return false;
  std::string_view range = TextAfter(rest, ':');
  std::optional<int32_t> lower = IntText(TextBefore(range, '-'));
  std::optional<int32_t> upper = IntText(TextAfter(range, '-'));
  if (!lower || !upper) return false;
  out.Lower = *lower;
  out.Upper = *upper;
  return true;
}

bool TProGradeFilter::ScoreBet(std::string_view bet, const TFilterCodeGrade& condition,
                               int64_t& score) {
  std::vector<uint8_t> codes;
  if (!DigitTextCodes(bet, codes)) return false;
  if (condition.Mode != kModeStraight) codes.clear();
  score = ScoreCodes(codes, condition.Table);
  return true;
}

bool VELTRIN_API TProGradeFilter::Prepare() noexcept {
  try {
    TFraming framing;
    std::vector<TCompiledCondition> compiled;
    TFilterCodeGrade parsed;
    // Lines are kept only once they parse: a malformed text costs no more
    // than its lines up to the first bad one.
    if (!FrameConditionLines(FilterStr, framing, [&](std::string_view line) {
          if (!ParseCondition(line, parsed)) return false;
          compiled.push_back(CompileCondition(parsed));
          framing.Lines.emplace_back(line);
          return true;
        }))
      return false;
    // Lines, tolerance and tables change together, or not at all.
    std::vector<TConditionBlock> blocks = BuildBlocks(compiled);
    ApplyFraming(std::move(framing));
    conditions_.swap(compiled);
    blocks_.swap(blocks);
    return true;
  } catch (...) {
    return false;
  }
}

bool TProGradeFilter::DecodeBet(const char* bet) noexcept {
  codes_.clear();
  if (!bet || !bet[0]) return true;
  unsigned prev = unsigned(static_cast<unsigned char>(bet[0])) - '0';
  if (prev > 9) return false;
  for (const char* p = bet + 1; *p; ++p) {
    unsigned d = unsigned(static_cast<unsigned char>(*p)) - '0';
    if (d > 9) return false;
    if (codes_.size() == codes_.capacity()) {
      // Only a bet longer than any before reaches here.
      try {
        codes_.reserve(codes_.capacity() * 2 + 64);
      } catch (...) {
        return false;
      }
    }
    codes_.push_back(uint8_t(prev * 10 + d));
    prev = d;
  }
  return true;
}

template <class Sum>
int32_t TProGradeFilter::CountOverCodes(int32_t limit) const noexcept {
  const uint8_t* codes = codes_.data();
  const size_t n = codes_.size();
  int32_t failed = 0;
  for (const TCompiledCondition& c : conditions_) {
    Sum sum = 0;
    for (size_t k = 0; k < n; ++k) sum += c.Score[codes[k]];
    if (sum < c.Lower || sum > c.Upper) {
      if (++failed > limit) break;
    }
  }
  return failed;
}

int32_t TProGradeFilter::CountFailedUpTo(const char* bet, int32_t limit) noexcept {
  // Digit k goes to byte k; one test per character finds both the end of
  // the text and a non-digit.
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bet ? bet : "");
  uint64_t digits = 0;
  unsigned n = 0;
  for (;; ++n) {
    const unsigned d = unsigned(p[n]) - '0';
    if (d > 9) break;
    if (n == kMaxPackedDigits) return CountLongBet(bet, limit);
    digits |= uint64_t(d) << (8 * n);
  }
  if (p[n] != 0) return kBetInvalid;
  // Byte k becomes 10 x digit k + digit k+1, code k; no byte carries (99 at
  // most).
  const uint64_t codes = digits * 10 + (digits >> 8);
  // With this many conditions a full count could meet the pass-through
  // value, so it must not stop early.
#if VELTRIN_LANE_KERNELS
  if (n >= 2) {
    if (blocks_.size() >= size_t(kVerdictPassThrough) / kLanes) limit = INT32_MAX;
    return kLaneKernels[n](blocks_.data(), blocks_.data() + blocks_.size(), codes, limit);
  }
#endif
  if (conditions_.size() >= size_t(kVerdictPassThrough)) limit = INT32_MAX;
  return kPackedKernels[n](conditions_.data(), conditions_.data() + conditions_.size(), codes,
                           limit);
}

int32_t TProGradeFilter::CountLongBet(const char* bet, int32_t limit) noexcept {
  if (!DecodeBet(bet)) return kBetInvalid;
  if (conditions_.size() >= size_t(kVerdictPassThrough)) limit = INT32_MAX;
  if (codes_.size() <= kMaxCodesFor32BitSum) return CountOverCodes<int32_t>(limit);
  return CountOverCodes<int64_t>(limit);
}

int32_t VELTRIN_API TProGradeFilter::CountFailed(const char* bet) noexcept {
  return CountFailedUpTo(bet, INT32_MAX);
}

int32_t VELTRIN_API TProGradeFilter::DebugConditions(const char* bet, bool showAll,
                                                     TDebugResult* result) noexcept {
  if (!result) return kE_POINTER;
  try {
    std::vector<uint8_t> codes;
    if (!DigitTextCodes(bet ? std::string_view(bet) : std::string_view(), codes))
      return kBetInvalid;
    struct Line {
      size_t Index;
      int64_t Score;
      bool Failed;
    };
    std::vector<Line> lines;
    int32_t failedCount = 0;
    for (size_t i = 0; i < conditions_.size(); ++i) {
      const int64_t score = ScoreCompiled(codes, conditions_[i]);
      const bool failed = !conditions_[i].Passes(score);
      if (failed) ++failedCount;
      if (showAll || failed) lines.push_back({i, score, failed});
    }

    // Keep what the record already listed, then the new lines.
    const int32_t old = DynArrayLength(result->DebugLines);
    TOneDebugResult* merged = DynArrayNew<TOneDebugResult>(size_t(old) + lines.size());
    try {
      for (int32_t i = 0; i < old; ++i) {
        merged[i].Condition = CountedStrAddRef(result->DebugLines[i].Condition);
        merged[i].Value = CountedStrAddRef(result->DebugLines[i].Value);
        merged[i].Failed = result->DebugLines[i].Failed;
      }
      for (size_t k = 0; k < lines.size(); ++k) {
        TOneDebugResult& out = merged[size_t(old) + k];
        const size_t i = lines[k].Index;
        out.Condition = CountedStrNew(i < ConditionList.size() ? ConditionList[i] : std::string());
        out.Value = CountedStrNew(std::to_string(lines[k].Score));
        out.Failed = lines[k].Failed ? 1 : 0;
      }
    } catch (...) {
      TDebugResult scratch{};
      scratch.DebugLines = merged;
      ReleaseDebugLines(scratch);
      throw;
    }
    ReleaseDebugLines(*result);
    result->DebugLines = merged;
    result->ErrCount += failedCount;
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

bool VELTRIN_API TProGradeFilter::ShowSettings() noexcept {
  try {
    if (IIWrapper) {
      TLotteryInfo info{};
      if (Succeeded(IIWrapper->GetLotteryInfo(&info)) && info.DigitCount >= 0 &&
          info.DigitCount <= kMaxDigitCount) {
        ChipDigitCount = info.DigitCount;
        // The dialogs size their one-bet box from the description.
        LotteryInfo.DigitCount = info.DigitCount;
        LotteryInfo.ExtraDigitCount =
            (info.ExtraDigitCount >= 0 && info.ExtraDigitCount <= kMaxDigitCount)
                ? info.ExtraDigitCount
                : 0;
      }
      ReleaseLotteryInfo(info);
    }
    if (g_settingsDialog) g_settingsDialog(*this);
  } catch (...) {
    // The dialog reports its own errors; the host only learns of a change
    // through the condition text.
  }
  return true;
}

int32_t VELTRIN_API TProGradeFilter::BatchAide(IStringList* conditions, TBatFltSet* data) noexcept {
  try {
    if (!conditions || !data) return 0;
    IEditableStringList* editable = nullptr;
    if (!Succeeded(conditions->QueryInterface(&IID_IEditableStringList,
                                              reinterpret_cast<void**>(&editable))) ||
        !editable)
      return 0;
    struct Releaser {
      IEditableStringList* p;
      ~Releaser() { p->Release(); }
    } releaser{editable};

    std::vector<std::string> lines;
    if (!ReadStringList(conditions, lines)) return 0;
    std::string text;
    for (const std::string& line : lines) text.append(line).append("\r\n");
    FilterStr = text;
    if (!Prepare()) return 0;
    // Rewrite only when every list line is one prepared condition; a
    // tolerance line or a ";" inside a line would shift the pairing.
    if (ConditionList.size() != lines.size()) return 0;

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
      if (!DigitTextCodes(bet ? std::string_view(bet) : std::string_view(), codes)) continue;
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
      const TCompiledCondition& c = conditions_[i];
      if (bets == 0) continue;
      if (unrolled) {
        // Bets of one short length: score straight into a histogram sized by
        // the highest score possible; the zeros above the highest score
        // reached do not change the range.
        const int32_t top =
            int32_t(*std::max_element(c.Score.begin(), c.Score.end())) * int32_t(width);
        histogram.assign(size_t(top) + 1, 0);
        kSampleScorers[width](c, allCodes.data(), bets, histogram.data());
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
      const std::string& line = lines[i];
      const size_t first = line.find(':');
      const size_t second = first == std::string::npos ? first : line.find(':', first + 1);
      if (second == std::string::npos) continue;
      const std::string rewritten = line.substr(0, second + 1) + range;
      if (!Succeeded(editable->Put(int32_t(i), rewritten.c_str()))) continue;
      ++count;
    }
    return count;
  } catch (...) {
    return 0;
  }
}

}  // namespace veltrin
