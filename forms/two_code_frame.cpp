#include "forms/two_code_frame.h"

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include "common/text.h"
#include "forms/select_two_form.h"

namespace veltrin {

using namespace ui;

namespace {

constexpr int kCodeCount = 100;
constexpr TColor kAssignedColor = 0xF0CAA6;  // light blue: blue F0, green CA, red A6

std::string TwoDigits(int32_t n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", int(n));
  return buf;
}

// One mark per code 0..99. Codes are read from a code text two characters
// at a time, skipping the one character after each; a pair that is not
// integer text raises EConvertError, and numbers outside 0..99 have no mark
// and are passed over.
struct TCodeMarks {
  std::array<bool, kCodeCount> Marked{};

  template <class F>
  static void ForEachCode(std::string_view text, F&& each) {
    const size_t count = (text.size() + 1) / 3;
    for (size_t k = 0; k < count; ++k) each(IntTextOrThrow(text.substr(3 * k, 2)));
  }
  void Mark(std::string_view text, bool on) {
    ForEachCode(text, [&](int32_t code) {
      if (code >= 0 && code < kCodeCount) Marked[size_t(code)] = on;
    });
  }
  std::string Text() const {
    std::string out;
    for (int32_t c = 0; c < kCodeCount; ++c)
      if (Marked[size_t(c)]) out += TwoDigits(c) + " ";
    return std::string(TrimBlanks(out));
  }
};

// True when a score's code text can go to the marks as it stands: codes of
// two digits (00..99) with one blank between them, so that it reads the
// same two characters at a time as the code-text functions and the filter
// read it. A code that is not integer text raises EConvertError; other
// texts ("123 -1 99", "5", "12  21") are left out with their group.
bool CodesFitMarks(std::string_view codes) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  bool fit = true;
  size_t i = 0;
  while (i < codes.size()) {
    while (i < codes.size() && blank(codes[i])) ++i;
    const size_t start = i;
    while (i < codes.size() && !blank(codes[i])) ++i;
    if (start < i) IntTextOrThrow(codes.substr(start, i - start));
  }
  const size_t n = codes.size();
  if (n > 0 && (n + 1) % 3 != 0) fit = false;
  for (size_t k = 0; fit && 3 * k < n; ++k) {
    fit = digit(codes[3 * k]) && digit(codes[3 * k + 1]);
    // Exactly one blank: a tab or other control byte would pass into the
    // hint and be written back as a code text that is not one.
    if (3 * k + 2 < n) fit = fit && codes[3 * k + 2] == ' ';
  }
  return fit;
}

}  // namespace

std::string CodeRangeText(int32_t first, int32_t last) {
  std::string out;
  for (int64_t n = first; n <= last; ++n) {
    if (!out.empty()) out += ' ';
    out += TwoDigits(int32_t(n));
  }
  return out;
}

std::string CodesMinus(std::string_view a, std::string_view b) {
  TCodeMarks marks;
  marks.Mark(a, true);
  marks.Mark(b, false);
  return marks.Text();
}

std::string CodesUnion(std::string_view a, std::string_view b) {
  TCodeMarks marks;
  marks.Mark(a, true);
  marks.Mark(b, true);
  return marks.Text();
}

// ---- TTwoGradeFrame ----------------------------------------------------------

TDescTable TTwoGradeFrame::Description() {
  TDescTable t;
  t.push_back(TDesc(TKind::Edit, "edtCode0", "", "")
                  .At(2, 6, 237, 21)
                  .Set(kReadOnly | kShowHint | kBorder)
                  .Colors(clInfoBk, clDefault));
  for (int n = 1; n <= kCodeCount; ++n) {
    const int row = (n - 1) / 10, col = (n - 1) % 10;
    t.push_back(TDesc(TKind::Label, "lblCode" + std::to_string(n), "",
                      n < 100 ? TwoDigits(n) : std::to_string(n))
                    .At(2 + 24 * col, 53 + 24 * row, col == 9 ? 23 : 22, 21)
                    .Set(kTextCenter | kHandCursor)
                    .Groove(clMaroon)
                    .Colors(clBtnFace, clNavy)
                    .Help(kLabelHelp));
  }
  return t;
}

TTwoGradeFrame::TTwoGradeFrame(TForm& form, std::string name, std::string parent, int left, int top)
    : TFrame(form, TDesc(TKind::Panel, std::move(name), std::move(parent), "")
                       .At(left, top, kWidth, kHeight)) {
  Build(Description());
  Bind(edtCode0, "edtCode0");
  Bind(lblCode1, "lblCode1").OnClick = ui::Handler(this, &TTwoGradeFrame::lblCode1Click);
}

TTwoGradeFrame::~TTwoGradeFrame() = default;

void TTwoGradeFrame::InitLabels() {
  AssignedColor = kAssignedColor;
  NormalColor = clBtnFace;
  for (TComponent* c : Components()) {
    auto* label = dynamic_cast<TLabel*>(c);
    if (!label || label->Name().compare(0, 7, "lblCode") != 0) continue;
    // The score is the number in the name; only 1..100 have a slot.
    std::optional<int32_t> n = IntText(std::string_view(label->Name()).substr(7, 3));
    if (!n || *n < 1 || *n > kCodeCount) continue;
    ScoreLabels[size_t(*n)] = label;
    label->SetHint("");
    label->SetShowHint(true);
    label->SetColor(NormalColor);
    label->OnClick = lblCode1->OnClick;
  }
  SetVisibleCount(kCodeCount);
  const std::string all = CodeRangeText(0, kCodeCount - 1);
  edtCode0->SetText(all);
  edtCode0->SetHint(all);
}

void TTwoGradeFrame::SetVisibleCount(int32_t n) {
  VisibleCount = n;
  for (int32_t k = 1; k <= kCodeCount; ++k)
    if (TLabel* label = ScoreLabels[size_t(k)]) label->SetVisible(k <= n);
}

std::string TTwoGradeFrame::GetGradeText() const {
  std::string out = "0=" + edtCode0->Text() + ",";
  for (int32_t k = 1; k <= kCodeCount; ++k) {
    TLabel* label = ScoreLabels[size_t(k)];
    if (!label || !label->Visible()) continue;
    out += std::to_string(IntTextOrThrow(label->Caption())) + "=" + label->Hint();
    if (k != kCodeCount) out += ",";
  }
  return std::string(TrimBlanks(out));
}

void TTwoGradeFrame::SetGradeText(std::string_view text) {
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) return;
  std::vector<std::string> groups;
  SplitLines(ReplaceChar(text, ',', '\n'),
             [&](std::string_view line) { groups.emplace_back(line); });
  for (const std::string& raw : groups) {
    std::string_view group = TrimBlanks(raw);
    if (group.empty()) continue;
    std::string_view score = TextBefore(group, '='), codes = TextAfter(group, '=');
    if (score == "0") {
      if (CodesFitMarks(codes)) edtCode0->SetText(codes);
      continue;
    }
    const int32_t n = IntTextOrThrow(score);
    if (n < 1 || n > kCodeCount || !ScoreLabels[size_t(n)]) continue;
    if (!CodesFitMarks(codes)) continue;
    TLabel* label = ScoreLabels[size_t(n)];
    label->SetHint(codes);
    label->SetColor(codes.empty() ? NormalColor : AssignedColor);
  }
}

std::string TTwoGradeFrame::GetAssignedCodes() const {
  std::string out;
  for (int32_t k = 1; k <= kCodeCount; ++k) {
    TLabel* label = ScoreLabels[size_t(k)];
    if (label && label->Visible() && label->Enabled() && label->Color() == AssignedColor)
      out += label->Hint() + " ";
  }
  return std::string(TrimBlanks(out));
}

void TTwoGradeFrame::lblCode1Click(TComponent& sender) {
  auto* label = dynamic_cast<TLabel*>(&sender);
  if (!label) return;
  // The picker offers the codes of score 0 and the label's own.
  const std::string free = CodesUnion(edtCode0->Text(), label->Hint());
  auto picker = std::make_unique<TfrmSelectTwo>();
  picker->InitLabels();
  picker->SetAvailable(free, true);
  picker->SetSelected(label->Hint());
  if (picker->ShowModal() != mrOk) return;
  const std::string chosen = picker->GetSelected();
  label->SetHint(chosen);
  label->SetColor(chosen.empty() ? NormalColor : AssignedColor);
  edtCode0->SetText(CodesMinus(free, GetAssignedCodes()));
  if (OnGradeChange) OnGradeChange();
}

}  // namespace veltrin
