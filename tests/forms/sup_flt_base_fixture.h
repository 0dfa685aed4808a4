// A condition list dialog for tests: TfrmSupFltBase with the simplest editor
// there is (one edit box holding the whole line), pair-score filters whose
// objects are counted, and a host whose batch and tolerance aides the test
// scripts.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/counted.h"
#include "common/lottery.h"
#include "common/string_list.h"
#include "common/texts.h"
#include "filter/pro_grade.h"
#include "forms/sup_flt_base_form.h"
#include "tests/support/fake_host.h"
#include "tests/support/ui_fixture.h"
#include "ui/automation.h"
#include "ui/headless/headless.h"

namespace veltrin::test {

// Pair-score filters that count how many of them are alive, so that a test
// sees who released each one.
class TCountedFilter final : public TProGradeFilter {
 public:
  static inline int Live = 0;
  static inline int BatchRuns = 0;
  static inline int WaitDepthInBatch = -1;  // hourglasses shown while the aide ran (headless)

  TCountedFilter() { ++Live; }
  ~TCountedFilter() override { --Live; }

  int32_t VELTRIN_API BatchAide(IStringList* conditions, TBatFltSet* data) noexcept override {
    ++BatchRuns;
    WaitDepthInBatch = ui::TheHeadlessBackend().WaitDepth();
    return TProGradeFilter::BatchAide(conditions, data);
  }
};

class TTestSupFltForm final : public TfrmSupFltBase {
 public:
  bool NoFilter = false;           // CreateFilter gives none
  std::vector<std::string> Shown;  // lines ShowCondition received
  ui::TEdit* edtCondition = nullptr;

  TTestSupFltForm() : TfrmSupFltBase("frmTestSupFlt") {
    SetCaption("Veltrin");
    Build({ui::TDesc(ui::TKind::Edit, "edtCondition", "tabFilter", "").At(8, 13, 236, 21)});
    edtCondition = Get<ui::TEdit>("edtCondition");
  }

  TFilter* CreateFilter() override { return NoFilter ? nullptr : new TCountedFilter(); }
  void ShowCondition(const std::string& line) override {
    Shown.push_back(line);
    edtCondition->SetText(line);
  }
  std::string BuildCondition() override { return edtCondition->Text(); }
};

// Counted strings and arrays that the test keeps a reference of its own to,
// so that it can see whether the dialog released the other one.
inline int32_t RefCountOf(const void* block) {
  return (static_cast<const CountedHeader*>(block) - 1)->RefCount;
}
inline void AddRefBlock(void* block) { ++(static_cast<CountedHeader*>(block) - 1)->RefCount; }

// References an IVUnknown holds now.
inline uint32_t RefsOf(IVUnknown* object) {
  object->AddRef();
  return object->Release();
}

class TAideHost final : public TFakeHost {
 public:
  enum class TBatch { Bets, Fail, FailAfterFilling, Nothing };

  // ---- the batch aide ----
  TBatch Batch = TBatch::Bets;
  std::vector<std::string> BetTexts;  // what the sample holds
  int64_t KeepShare = 10000;
  int32_t BatchCalls = 0;
  bool RequestWasFresh = false;  // an empty list of the dialog's, every other field empty
  TStringList* HostList = TStringList::Create();  // the result's list; the host's own
  TStringList* RequestList = nullptr;             // the dialog's list, kept to watch it
  // Texts and the bet array the host put into the records; the test holds
  // one more reference to each.
  std::vector<char*> Texts;
  uint8_t** Bets = nullptr;
  // ---- the tolerance aide ----
  int32_t ToleranceCalls = 0;
  TFilter* Received = nullptr;  // the host's from then on; the test frees it
  std::string ReceivedCaption;
  int32_t ReceivedZero = -1;
  bool ReceivedPrepared = false;

  ~TAideHost() {
    // A block the dialog did not release (the test has failed then) keeps
    // its other reference and leaks.
    for (char*& text : Texts) CountedStrRelease(text);
    DynArrayReleaseByteArrays(Bets);
    HostList->Release();
    if (RequestList) RequestList->Release();
    if (Received) Received->Free();
  }

  int32_t VELTRIN_API ShowToleranceAide(TFilter* filter, const char* caption,
                                        int32_t zero) override {
    ++ToleranceCalls;
    Received = filter;
    ReceivedCaption = caption ? caption : "";
    ReceivedZero = zero;
    // Prepared: it evaluates a bet without being prepared again.
    ReceivedPrepared = filter && filter->CountFailed("1212") >= 0;
    return kS_OK;
  }

  int32_t VELTRIN_API GetBatchAideData(TBatFltSet* request, TBatFltSet* result) override {
    ++BatchCalls;
    int32_t listed = -1;
    RequestWasFresh = request && result && request->BetTexts &&
                      Succeeded(request->BetTexts->Count(&listed)) && listed == 0 &&
                      !request->Bets && !request->Text1 && !request->Text2 && !result->BetTexts &&
                      !result->Bets && !result->Text1 && !result->Text2;
    if (!RequestWasFresh) return kE_INVALIDARG;
    // Watch the dialog's list: the host holds a reference of its own.
    RequestList = static_cast<TStringList*>(request->BetTexts);
    RequestList->AddRef();
    if (Batch == TBatch::Fail) return kE_FAIL;
    if (Batch == TBatch::Nothing) {
      result->BetTexts = HostList;  // an empty sample
      return kS_OK;
    }
    for (const std::string& bet : BetTexts) HostList->Add(bet.c_str());
    result->BetTexts = HostList;
    result->Bets = DynArrayNew<uint8_t*>(BetTexts.size());
    for (size_t k = 0; k < BetTexts.size(); ++k) result->Bets[k] = DynArrayNew<uint8_t>(2);
    if (result->Bets) AddRefBlock(result->Bets);
    Bets = result->Bets;
    result->KeepShare = KeepShare;
    result->Text1 = Keep(CountedStrNew("text one"));
    result->Text2 = Keep(CountedStrNew("text two"));
    request->Text1 = Keep(CountedStrNew("request text"));
    return Batch == TBatch::FailAfterFilling ? kE_FAIL : kS_OK;
  }

  // True when every block the host handed over has only the test's
  // reference left, and the dialog's list only the host's.
  bool AllReleasedOnce() const {
    for (char* text : Texts)
      if (RefCountOf(text) != 1) return false;
    if (Bets && RefCountOf(Bets) != 1) return false;
    return !RequestList || RefsOf(RequestList) == 1;
  }

 private:
  char* Keep(char* text) {
    AddRefBlock(text);
    Texts.push_back(text);
    return text;
  }
};

class SupFltBaseTest : public UiBackendTest {
 protected:
  void SetUp() override {
    UiBackendTest::SetUp();
    savedDigits_ = ChipDigitCount;
    ChipDigitCount = 3;
    TCountedFilter::Live = 0;
    TCountedFilter::BatchRuns = 0;
    TCountedFilter::WaitDepthInBatch = -1;
    form = std::make_unique<TTestSupFltForm>();
  }
  void TearDown() override {
    form.reset();
    EXPECT_EQ(TCountedFilter::Live, 0) << "a filter object was not released";
    ChipDigitCount = savedDigits_;
    UiBackendTest::TearDown();
  }

  std::vector<std::string> Lines() const { return form->FConditions->Lines(); }
  std::vector<std::string> ListItems() const { return form->lstFilter->AllItems(); }
  std::string CountInfo() const { return form->lblFltCountInfo->Caption(); }
  // The position label for `current` of `count`.
  static std::string Info(int current, int count) {
    return std::string(kTxtCountInfoFmt).substr(0, std::string(kTxtCountInfoFmt).size() - 5) +
           std::to_string(current) + "/" + std::to_string(count);
  }
  void TypeLine(const std::string& line) { form->edtCondition->SetText(line); }
  void Load(const std::string& text) { form->SetConditionsText(text); }
  ui::TListBox& List() { return *form->lstFilter; }
  std::vector<int32_t> SelectedItems() {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < List().Count(); ++i)
      if (List().Selected(i)) out.push_back(i);
    return out;
  }

  std::unique_ptr<TTestSupFltForm> form;

 private:
  int32_t savedDigits_ = 0;
};

}  // namespace veltrin::test
