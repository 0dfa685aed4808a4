// The host's history check and tolerance aide, called as the dialog calls
// them, with the reports captured instead of shown.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/texts.h"
#include "filter/pro_grade.h"
#include "host/aides.h"
#include "host/call_wrapper.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace veltrin::host {
namespace {

const std::string kStraight = kTxtModeStraight;  // 直选, GBK

DrawHistory History(const char* text, int32_t digits) {
  DrawHistory h;
  std::string error;
  EXPECT_TRUE(ParseHistory(text, digits, h, error)) << error;
  return h;
}

// Scores a bet as the sum of its digits; a bet holding a 7 cannot be scored.
class DigitSumScorer final : public IScoreCallback {
 public:
  std::vector<std::string> scored;
  int32_t refs = 0;

  int32_t VELTRIN_API QueryInterface(const VGuid*, void** out) override {
    if (out) *out = nullptr;
    return kE_NOINTERFACE;
  }
  uint32_t VELTRIN_API AddRef() override { return uint32_t(++refs); }
  uint32_t VELTRIN_API Release() override { return uint32_t(--refs); }
  int32_t VELTRIN_API ScoreBet(const char* bet, int32_t* score) override {
    scored.emplace_back(bet);
    std::string_view b(bet);
    if (b.find('7') != std::string_view::npos) return kE_FAIL;
    int32_t sum = 0;
    for (char c : b) sum += c - '0';
    *score = sum;
    return kS_OK;
  }
};

// A filter object as the library hands one over: its failing count is the
// bet's first digit, a bet starting with 9 cannot be evaluated, and Free
// only counts.
struct FakeFilter {
  const TFilterSlots* slots;
  int freed = 0;
  int counted = 0;
};
int32_t VELTRIN_API FakeCountFailed(void* self, const char* bet) {
  ++static_cast<FakeFilter*>(self)->counted;
  return bet[0] == '9' ? -1 : bet[0] - '0';
}
void VELTRIN_API FakeFree(void* self) { ++static_cast<FakeFilter*>(self)->freed; }
const TFilterSlots kFakeSlots = [] {
  TFilterSlots s{};
  s.CountFailed = &FakeCountFailed;
  s.Free = &FakeFree;
  return s;
}();

// The library's own filter class, counting the frees that reach it.
class CountedProGrade final : public TProGradeFilter {
 public:
  static int frees;
  void VELTRIN_API Free() noexcept override {
    ++frees;
    TProGradeFilter::Free();
  }
};
int CountedProGrade::frees = 0;

// Codes 12 and 34 each fail a condition of their own (CountedProGrade's
// conditions below): failing counts 2 1 1 0 0 1 0 1 2 0.
constexpr char kPairHistory[] =
    "1 1234\n2 1200\n3 3400\n4 0000\n5 5555\n6 0120\n7 6789\n8 1212\n9 3412\n10 9999\n";

class AideTest : public ::testing::Test {
 protected:
  HostCallWrapper* Host(const char* history, int32_t digits, int64_t keepShare = 9000) {
    HostSettings s;
    s.DigitCount = digits;
    s.KeepShare = keepShare;
    if (history) {
      s.History = History(history, digits);
      s.HasHistory = true;
    }
    s.Reporter = [this](std::string_view caption, std::string_view text) {
      if (throwing_) throw std::runtime_error("no display");
      reports_.emplace_back(caption, text);
    };
    hosts_.push_back(HostCallWrapper::Create(std::move(s)));
    return hosts_.back();
  }
  void TearDown() override {
    for (HostCallWrapper* h : hosts_) EXPECT_EQ(h->Release(), 0u);
  }
  const std::string& LastReport() const {
    static const std::string none;
    return reports_.empty() ? none : reports_.back().second;
  }

  std::vector<std::pair<std::string, std::string>> reports_;  // caption, text
  bool throwing_ = false;
  std::vector<HostCallWrapper*> hosts_;
};

TEST(AideFormatTest, DistributionIsCompact) {
  EXPECT_EQ(FormatDistribution({}), "");
  EXPECT_EQ(FormatDistribution({{0, 1}, {6, 2}, {15, 1}}), "  0: 1   6: 2   15: 1");
  Distribution nine;
  for (int v = 1; v <= 9; ++v) nine[v] = uint64_t(v);
  EXPECT_EQ(FormatDistribution(nine),
            "  1: 1   2: 2   3: 3   4: 4   5: 5   6: 6   7: 7   8: 8\n  9: 9");
  // Many distinct values: round buckets, empty ones left out.
  Distribution wide;
  for (int v = 0; v < 100; ++v)
    if (v < 40 || v >= 60) wide[v] = 1;
  EXPECT_EQ(FormatDistribution(wide),
            "  0..9: 10   10..19: 10   20..29: 10   30..39: 10   60..69: 10   70..79: 10   "
            "80..89: 10   90..99: 10");
  Distribution signedValues;
  for (int v = -25; v <= 25; ++v) signedValues[v] = 2;
  const std::string text = FormatDistribution(signedValues);
  EXPECT_EQ(text.rfind("  -25..-21: 10   -20..-16: 10", 0), 0u) << text;
  EXPECT_NE(text.find("25..29: 2"), std::string::npos) << text;
}

TEST(AideFormatTest, RangeIsTheTextAfterTheSecondColon) {
  auto range = ConditionRange(kStraight + ":1=12 21,2=34:2-48");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->Lower, 2);
  EXPECT_EQ(range->Upper, 48);
  range = ConditionRange("::0-0");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->Upper, 0);
  // Without separators the whole line is each field, as the dialog reads it.
  range = ConditionRange("3-7");
  ASSERT_TRUE(range);
  EXPECT_EQ(range->Lower, 3);
  for (std::string bad : {kStraight + ":1=12:-", kStraight + ":1=12:5-", kStraight + ":1=12:x-9",
                          kStraight + ":1=12:", std::string("")})
    EXPECT_FALSE(ConditionRange(bad)) << bad;
}

TEST(AideFormatTest, ProposalIsTheNarrowestRangeFromZeroKeepingTheShare) {
  const Distribution failing = {{0, 4}, {1, 4}, {2, 2}};
  auto p = ProposeTolerance(failing, 9000);  // at least 9 of 10
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Text(), "0-2");
  EXPECT_EQ(p->Kept, 10u);
  p = ProposeTolerance(failing, 8000);  // 8 of 10: 0-1, never 1-2 (6)
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Text(), "0-1");
  EXPECT_EQ(p->Kept, 8u);
  // A lower bound above 0 would remove the bets that pass every condition:
  // 1-1 keeps more draws here, yet 0-0 keeps the share asked.
  p = ProposeTolerance({{0, 4}, {1, 6}}, 4000);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Text(), "0-0");
  p = ProposeTolerance({{0, 5}, {3, 5}}, 5000);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Text(), "0-0");
  // No draw passes everything: the range still starts at 0.
  p = ProposeTolerance({{1, 5}, {2, 4}, {9, 1}}, 9000);
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Text(), "0-2");
  EXPECT_EQ(p->Kept, 9u);
  // Nothing to keep and out-of-range shares.
  EXPECT_FALSE(ProposeTolerance({}, 9000));
  EXPECT_EQ(ProposeTolerance(failing, 0)->Text(), "0-0");
  EXPECT_EQ(ProposeTolerance(failing, 20000)->Text(), "0-2");
}

TEST_F(AideTest, HistoryCheckScoresEveryDrawOnce) {
  HostCallWrapper* host = Host("1 123\n2 555\n3 007\n4 000\n5 451\n6 900\n7 222\n", 3);
  DigitSumScorer scorer;
  const std::string condition = kStraight + ":1=12:5-10";
  ASSERT_EQ(host->ShowHistoryFilter(&scorer, "Veltrin", condition.c_str()), kS_OK);
  EXPECT_EQ(scorer.scored,
            (std::vector<std::string>{"123", "555", "007", "000", "451", "900", "222"}));
  EXPECT_EQ(scorer.refs, 0);
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_EQ(reports_[0].first, "Veltrin");
  EXPECT_EQ(LastReport(), "History check of the condition\n  " + condition +
                              "\n7 draws: 6 scored, 1 could not be scored\n"
                              "Inside the range 5-10: 4 of 6 draws (66.67%); below: 1, above: 1\n"
                              "Scores (score: draws):\n  0: 1   6: 2   9: 1   10: 1   15: 1");
}

TEST_F(AideTest, HistoryCheckOfAConditionWithoutARange) {
  HostCallWrapper* host = Host("1 123\n2 777\n", 3);
  DigitSumScorer scorer;
  const std::string condition = kStraight + ":1=12:-";
  ASSERT_EQ(host->ShowHistoryFilter(&scorer, "Veltrin", condition.c_str()), kS_OK);
  EXPECT_NE(LastReport().find("no range"), std::string::npos) << LastReport();
  EXPECT_NE(LastReport().find("2 draws: 1 scored, 1 could not be scored"), std::string::npos);
  EXPECT_EQ(LastReport().find("Inside"), std::string::npos);
  EXPECT_NE(LastReport().find("  6: 1"), std::string::npos);

  // Nothing scores: said so; a null condition and caption are empty texts.
  HostCallWrapper* sevens = Host("1 777\n", 3);
  ASSERT_EQ(sevens->ShowHistoryFilter(&scorer, nullptr, nullptr), kS_OK);
  EXPECT_EQ(reports_.back().first, "");
  EXPECT_NE(LastReport().find("No draw could be scored."), std::string::npos) << LastReport();
}

TEST_F(AideTest, HistoryCheckNeedsACallbackAndAHistory) {
  DigitSumScorer scorer;
  HostCallWrapper* host = Host("1 123\n", 3);
  EXPECT_EQ(host->ShowHistoryFilter(nullptr, "Veltrin", "::0-1"), kE_POINTER);
  EXPECT_TRUE(reports_.empty());
  HostCallWrapper* bare = Host(nullptr, 3);
  EXPECT_EQ(bare->ShowHistoryFilter(&scorer, "Veltrin", "::0-1"), kE_FAIL);
  EXPECT_TRUE(scorer.scored.empty());
  ASSERT_EQ(reports_.size(), 1u);
  EXPECT_NE(LastReport().find("no draw history"), std::string::npos);
  // A reporter that fails is the aide's failure, never an exception.
  throwing_ = true;
  EXPECT_EQ(host->ShowHistoryFilter(&scorer, "Veltrin", "::0-1"), kE_FAIL);
}

TEST_F(AideTest, ToleranceAideOverTheLibrarysFilter) {
  for (int64_t share : {9000, 8000}) {
    CountedProGrade::frees = 0;
    auto* filter = new CountedProGrade();
    // As the dialog hands it over: its condition lines, prepared.
    filter->FilterStr = kStraight + ":1=12:0-0\r\n" + kStraight + ":1=34:0-0\r\n";
    ASSERT_TRUE(filter->PrepareRun());
    HostCallWrapper* host = Host(kPairHistory, 4, share);
    ASSERT_EQ(host->ShowToleranceAide(filter, "Veltrin", 0), kS_OK);
    EXPECT_EQ(CountedProGrade::frees, 1);
    const std::string proposal =
        share == 9000 ? "Proposed tolerance 0-2: keeps 10 of 10 draws (100%; at least 90% asked)\n"
                      : "Proposed tolerance 0-1: keeps 8 of 10 draws (80%; at least 80% asked)\n";
    EXPECT_EQ(LastReport().rfind("Tolerance aide over 10 draws\n"
                                 "Failing conditions (failed: draws):\n"
                                 "  0: 4   1: 4   2: 2\n" +
                                     proposal,
                                 0),
              0u)
        << LastReport();
#if defined(_WIN32)
    EXPECT_NE(LastReport().find("No window captioned \"Veltrin\" was found"), std::string::npos);
#else
    EXPECT_NE(LastReport().find("This build has no windows"), std::string::npos);
#endif
  }
}

TEST_F(AideTest, ToleranceAideFreesTheFilterOnEveryPath) {
  HostCallWrapper* host = Host("1 000\n2 100\n3 999\n4 200\n5 100\n", 3);
  EXPECT_EQ(host->ShowToleranceAide(nullptr, "Veltrin", 0), kE_POINTER);
  EXPECT_TRUE(reports_.empty());

  {  // The normal path; a draw the filter cannot evaluate is counted apart.
    FakeFilter fake{&kFakeSlots};
    ASSERT_EQ(host->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), "Veltrin", 0), kS_OK);
    EXPECT_EQ(fake.freed, 1);
    EXPECT_EQ(fake.counted, 5);
    EXPECT_EQ(LastReport().rfind("Tolerance aide over 5 draws, 1 could not be evaluated\n"
                                 "Failing conditions (failed: draws):\n"
                                 "  0: 1   1: 2   2: 1\n"
                                 "Proposed tolerance 0-2: keeps 4 of 4 draws",
                                 0),
              0u)
        << LastReport();
  }
  {  // No history.
    FakeFilter fake{&kFakeSlots};
    EXPECT_EQ(Host(nullptr, 3)->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), "Veltrin", 0),
              kE_FAIL);
    EXPECT_EQ(fake.freed, 1);
    EXPECT_EQ(fake.counted, 0);
    EXPECT_NE(LastReport().find("no draw history"), std::string::npos);
  }
  {  // Every draw beyond evaluation: no proposal.
    FakeFilter fake{&kFakeSlots};
    EXPECT_EQ(Host("1 999\n", 3)->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), "V", 0),
              kS_OK);
    EXPECT_EQ(fake.freed, 1);
    EXPECT_NE(LastReport().find("No proposal"), std::string::npos) << LastReport();
  }
  {  // A slot table without CountFailed.
    TFilterSlots slots{};
    slots.Free = &FakeFree;
    FakeFilter fake{&slots};
    EXPECT_EQ(host->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), "Veltrin", 0),
              kE_INVALIDARG);
    EXPECT_EQ(fake.freed, 1);
  }
  {  // The report cannot be shown.
    throwing_ = true;
    FakeFilter fake{&kFakeSlots};
    EXPECT_EQ(host->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), "Veltrin", 0), kE_FAIL);
    EXPECT_EQ(fake.freed, 1);
  }
}

#if defined(_WIN32)

std::string g_copied;
int g_copies = 0;

LRESULT CALLBACK CopyDataTarget(HWND window, UINT message, WPARAM wp, LPARAM lp) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lp);
    g_copied.assign(static_cast<const char*>(data->lpData), data->cbData);
    ++g_copies;
    return 0;
  }
  return DefWindowProcW(window, message, wp, lp);
}

TEST_F(AideTest, ToleranceProposalReachesTheDialogByItsCaption) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &CopyDataTarget;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VeltrinCopyDataTarget";
  RegisterClassW(&wc);
  // "Veltrin 测试": the caption arrives as GBK and must be matched as UTF-16.
  HWND target = CreateWindowExW(0, wc.lpszClassName, L"Veltrin \u6D4B\u8BD5", WS_OVERLAPPEDWINDOW,
                                0, 0, 100, 100, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(target, nullptr);
  g_copied.clear();
  g_copies = 0;

  HostCallWrapper* host = Host(kPairHistory, 4);
  FakeFilter fake{&kFakeSlots};
  const char caption[] = "Veltrin \xB2\xE2\xCA\xD4";
  ASSERT_EQ(host->ShowToleranceAide(reinterpret_cast<TFilter*>(&fake), caption, 0), kS_OK);
  EXPECT_EQ(fake.freed, 1);
  EXPECT_EQ(g_copies, 1);
  // The fake's counts are the first digits 1 1 3 0 5 0 6 1 3 (9999 is not
  // evaluated): 90 % of nine draws is all of them, 0-6; the zero byte too.
  EXPECT_EQ(g_copied, std::string("0-6", 4));
  EXPECT_EQ(reports_.back().first, caption);
  EXPECT_NE(LastReport().find("Sent to the dialog."), std::string::npos) << LastReport();

  DestroyWindow(target);
  FakeFilter other{&kFakeSlots};
  ASSERT_EQ(host->ShowToleranceAide(reinterpret_cast<TFilter*>(&other), caption, 0), kS_OK);
  EXPECT_EQ(g_copies, 1);
  EXPECT_NE(LastReport().find("was found; the proposal was not sent"), std::string::npos);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

// What the message box of an aide showed, read from the box itself.
struct ShownBox {
  std::wstring caption;
  std::wstring text;
  bool closed = false;
  int ticks = 0;
} g_box;

BOOL CALLBACK CollectStaticText(HWND child, LPARAM) {
  wchar_t cls[32] = {};
  GetClassNameW(child, cls, 32);
  wchar_t text[512] = {};
  GetWindowTextW(child, text, 512);
  if (lstrcmpiW(cls, L"Static") == 0 && text[0]) g_box.text += text;
  return TRUE;
}

BOOL CALLBACK FindMessageBox(HWND window, LPARAM found) {
  wchar_t cls[32] = {};
  GetClassNameW(window, cls, 32);
  if (lstrcmpW(cls, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Runs inside the box's own message loop: reads it, then presses OK.
void CALLBACK ReadAndCloseBox(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND box = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), &FindMessageBox, LPARAM(&box));
  if (!box) {
    // A box never found must not hang the run: end its loop after 10 s.
    if (++g_box.ticks == 200) PostQuitMessage(0);
    return;
  }
  KillTimer(nullptr, timer);
  wchar_t caption[256] = {};
  GetWindowTextW(box, caption, 256);
  g_box.caption = caption;
  EnumChildWindows(box, &CollectStaticText, 0);
  g_box.closed = PostMessageW(box, WM_COMMAND, IDOK, 0) != 0;
}

TEST(AideReportTest, MessageBoxShowsTheGbkTextsAsUnicode) {
  g_box = ShownBox{};
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ReadAndCloseBox);
  ASSERT_NE(timer, 0u);
  // "测试" in the caption, "直选" in the text.
  ShowAideReport("Veltrin \xB2\xE2\xCA\xD4", "History check of\n  " + kStraight + ":1=12:0-9");
  KillTimer(nullptr, timer);
  MSG quit;
  EXPECT_FALSE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "no box was found";
  EXPECT_TRUE(g_box.closed);
  EXPECT_EQ(g_box.caption, L"Veltrin \u6D4B\u8BD5");
  EXPECT_NE(g_box.text.find(L"\u76F4\u9009:1=12:0-9"), std::wstring::npos);
}

#endif

}  // namespace
}  // namespace veltrin::host
