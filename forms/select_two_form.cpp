#include "forms/select_two_form.h"

#include <cstdio>
#include <optional>

#include "common/text.h"
#include "common/texts.h"
#include "forms/share_func.h"
#include "ui/services.h"

namespace veltrin {

using namespace ui;

namespace {

constexpr int kCodeCount = 100;
// The grid ends at x 241 (ten columns of 24, the last 23 wide) and y 242.
constexpr int kGridRight = 2 + 24 * 9 + 23;
constexpr int kGridBottom = 5 + 24 * 9 + 21;
constexpr int kButtonTop = kGridBottom + 8;
constexpr int kButtonWidth = 63;

std::string TwoDigits(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

}  // namespace

TDescTable TfrmSelectTwo::Description() {
  TDescTable t;
  // Row by row "01".."10", ..., "91".."99", and "00" in the last cell,
  // every row 3 pixels under the one above; the buttons under the grid,
  // their right edge on the grid's, as a dialog's buttons sit.
  for (int cell = 0; cell < kCodeCount; ++cell) {
    const int row = cell / 10, col = cell % 10;
    const int code = (cell + 1) % kCodeCount;
    t.push_back(TDesc(TKind::Label, "lblCode" + std::to_string(code), "", TwoDigits(code))
                    .At(2 + 24 * col, 5 + 24 * row, col == 9 ? 23 : 22, 21)
                    .Set(kTextCenter | kHandCursor)
                    .Groove(clMaroon)
                    .Colors(clBtnFace, clNavy)
                    .Help(kLabelHelp));
  }
  t.push_back(TDesc(TKind::Button, "RzBitBtn1", "", kTxtPickerOK)
                  .At(kGridRight - 2 * kButtonWidth - 6, kButtonTop, kButtonWidth, 25)
                  .Set(kDefault)
                  .Result(mrOk));
  t.push_back(TDesc(TKind::Button, "RzBitBtn2", "", kTxtPickerCancel)
                  .At(kGridRight - kButtonWidth, kButtonTop, kButtonWidth, 25)
                  .Set(kCancel)
                  .Result(mrCancel));
  return t;
}

TfrmSelectTwo::TfrmSelectTwo() : TfrmBase("frmSelectTwo") {
  SetCaption(kTxtPickerCaption);
  // The grid and the button row with the margins they keep on every side.
  SetClientSize(kGridRight + 4, kButtonTop + 25 + 8);
  Build(Description());
  // The code is each label's hint as well as its caption.
  for (int code = 0; code < kCodeCount; ++code) {
    auto* label = Get<TLabel>("lblCode" + std::to_string(code));
    label->SetHint(TwoDigits(code));
  }
  Bind(lblCode1, "lblCode1").OnClick = ui::Handler(this, &TfrmSelectTwo::lblCode1Click);
  Bind(RzBitBtn1, "RzBitBtn1");
  Bind(RzBitBtn2, "RzBitBtn2");
  SetActiveControl(RzBitBtn1);
}

TfrmSelectTwo::~TfrmSelectTwo() = default;

void TfrmSelectTwo::InitLabels() {
  MaxSelect = 99;
  SelectedColor = clFuchsia;
  NormalColor = clBtnFace;
  for (TComponent* c : Components()) {
    auto* label = dynamic_cast<TLabel*>(c);
    if (!label || label->Name().compare(0, 7, "lblCode") != 0) continue;
    // The label's code is its hint; only 0..99 have a slot.
    const int32_t code = IntTextOrThrow(label->Hint());
    if (!IsValidCode(code)) continue;
    CodeLabels[size_t(code)] = label;
    label->SetColor(clBtnFace);
    label->OnClick = lblCode1->OnClick;
    // A quick second click arrives as a double click: it toggles too.
    label->OnDblClick = lblCode1->OnClick;
  }
  SetVisibleCount(kCodeCount);
}

void TfrmSelectTwo::SetVisibleCount(int32_t n) {
  for (int32_t c = 0; c < kCodeCount; ++c)
    if (TLabel* label = CodeLabels[size_t(c)]) label->SetVisible(c < n);
}

void TfrmSelectTwo::EnableAll(bool flag) {
  for (TLabel* label : CodeLabels)
    if (label) label->SetEnabled(flag);
}

void TfrmSelectTwo::EnableCode(int32_t code, bool flag) {
  if (!IsValidCode(code)) return;
  if (TLabel* label = CodeLabels[size_t(code)]) label->SetEnabled(flag);
}

void TfrmSelectTwo::SetAvailable(std::string_view text, bool flag) {
  EnableAll(!flag);
  text = TrimBlanks(text);
  const size_t count = (text.size() + 1) / 3;
  for (size_t k = 0; k < count; ++k) EnableCode(IntTextOrThrow(text.substr(3 * k, 2)), flag);
}

bool TfrmSelectTwo::SetSelected(std::string_view text) {
  const std::string digits = DigitsOnly(text);
  const size_t count = digits.size() / 2;
  for (size_t k = 0; k < count; ++k) {
    const int32_t code = IntTextOrThrow(std::string_view(digits).substr(2 * k, 2));
    if (!IsValidCode(code)) continue;
    TLabel* label = CodeLabels[size_t(code)];
    if (label && label->Enabled()) label->SetColor(SelectedColor);
  }
  return true;
}

bool TfrmSelectTwo::Counts(const TLabel* label) const {
  return label && label->Visible() && label->Enabled() && label->Color() == SelectedColor;
}

std::string TfrmSelectTwo::GetSelected() const {
  std::string out;
  for (const TLabel* label : CodeLabels)
    if (Counts(label)) out += label->Hint() + " ";
  return std::string(TrimBlanks(out));
}

int32_t TfrmSelectTwo::SelectedCount() const {
  int32_t n = 0;
  for (const TLabel* label : CodeLabels) n += Counts(label) ? 1 : 0;
  return n;
}

std::string TfrmSelectTwo::DigitsOnly(std::string_view text) {
  std::string out;
  for (char ch : text)
    if (ch >= '0' && ch <= '9') out += ch;
  return out;
}

bool TfrmSelectTwo::IsValidCode(int32_t code) { return code >= 0 && code < kCodeCount; }

void TfrmSelectTwo::lblCode1Click(TComponent& sender) {
  auto* label = dynamic_cast<TLabel*>(&sender);
  if (!label) return;
  if (label->Color() == SelectedColor) {
    label->SetColor(NormalColor);
  } else if (SelectedCount() < MaxSelect) {
    label->SetColor(SelectedColor);
  } else {
    TShareFunc::ShowInfo(std::string(kTxtSelectLimitHead) + std::to_string(MaxSelect) +
                         kTxtSelectLimitTail);
  }
}

}  // namespace veltrin
