// Fuzzes the text functions of the pair-score dialogs on the headless
// backend: the score grid's SetGradeText, CodesUnion and CodesMinus, and the
// two-code picker's SetAvailable and SetSelected.
//
// Input: two code texts, each ended by a zero byte, then the score table,
// which runs to the end and so may hold zero bytes of its own:
//   <code text a> \0 <code text b> \0 <score table>
// With fewer zero bytes the missing texts are empty.
//
// Checked on every input (a conversion error, EConvertError, is an accepted
// answer wherever the text may hold a pair that is not integer text; any
// other exception escaping is a failure):
//  - grid: after SetGradeText, whether it raised or not, edtCode0 and every
//    score label hold a well-formed code text, a label is AssignedColor
//    exactly when its hint is not empty, GetGradeText has 101 groups
//    "0=...,1=...,...,100=...", and a second grid reads it back to the same
//    text; a text without a score ("=" missing or first) changes nothing.
//  - CodesUnion(a, b) and CodesMinus(a, b): both raise or neither does, as a
//    model of reading the pairs says; otherwise the result is a well-formed
//    ascending code text equal to the model's union and difference, with
//    union >= a, b; minus disjoint from b; minus + (a and b) = a.
//  - picker: SetAvailable(a, true), SetSelected(b): exactly the model's
//    codes are enabled and selected, GetSelected is ascending ("00" first),
//    holds only enabled codes, and SelectedCount counts it. SetSelected
//    reads digit pairs only, so it never raises.
// No message box, file dialog or modal window may show up on the way.
#include <bitset>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "forms/base_form.h"
#include "forms/select_two_form.h"
#include "forms/two_code_frame.h"
#include "fuzz/fuzz_check.h"
#include "ui/controls.h"
#include "ui/peer.h"

namespace {

using veltrin::EConvertError;
using veltrin::TfrmSelectTwo;
using veltrin::TTwoGradeFrame;
using veltrin_fuzz::Fail;
using Codes = std::bitset<100>;

// None of the functions under test asks a person anything.
class TNoPerson final : public veltrin::ui::TUiHook {
 public:
  veltrin::ui::TModalResult MessageDlg(veltrin::ui::TMsgKind, const std::string& text,
                                       const std::string&, veltrin::ui::TMsgButtons,
                                       bool) override {
    Fail("no message box", __FILE__, __LINE__, text);
  }
  bool FileDialog(veltrin::ui::TFileDialogState&) override {
    Fail("no file dialog", __FILE__, __LINE__, "");
  }
  void Modal(veltrin::ui::TForm& form) override {
    Fail("no modal window", __FILE__, __LINE__, form.Name());
  }
  void RunProgram(const std::string& commandLine) override {
    Fail("no program", __FILE__, __LINE__, commandLine);
  }
  bool OpenDocument(const std::string& path) override {
    Fail("no document", __FILE__, __LINE__, path);
  }
};

// ---- code texts, read plainly -----------------------------------------------

// The integer value of a two-character pair as the code texts read it:
// a leading blank, a sign, then digits ("07", " 7", "+7", "-7"); nothing
// for anything else.
std::optional<int> PairValue(std::string_view pair) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (pair.size() != 2 || !digit(pair[1])) return std::nullopt;
  const int units = pair[1] - '0';
  if (digit(pair[0])) return 10 * (pair[0] - '0') + units;
  if (pair[0] == ' ' || pair[0] == '+') return units;
  if (pair[0] == '-') return -units;
  return std::nullopt;
}

// The codes 0..99 of a code text read two characters at a time, skipping
// the one after each. `complete` is false when a pair is not integer text;
// the codes before it are kept.
struct TRead {
  Codes codes;
  bool complete = true;
};
TRead ReadCodes(std::string_view text) {
  TRead r;
  const size_t count = (text.size() + 1) / 3;
  for (size_t k = 0; k < count; ++k) {
    std::optional<int> v = PairValue(text.substr(3 * k, 2));
    if (!v) {
      r.complete = false;
      break;
    }
    if (*v >= 0 && *v < 100) r.codes.set(size_t(*v));
  }
  return r;
}

// Two-digit codes joined by single blanks, or the empty text.
bool WellFormed(std::string_view text) {
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (text.empty()) return true;
  if ((text.size() + 1) % 3 != 0) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (i % 3 == 2 ? text[i] != ' ' : !digit(text[i])) return false;
  }
  return true;
}

// The codes of a well-formed text, each strictly above the one before.
std::optional<Codes> Ascending(std::string_view text) {
  if (!WellFormed(text)) return std::nullopt;
  Codes out;
  int last = -1;
  for (size_t i = 0; i < text.size(); i += 3) {
    const int c = 10 * (text[i] - '0') + (text[i + 1] - '0');
    if (c <= last) return std::nullopt;
    out.set(size_t(c));
    last = c;
  }
  return out;
}

std::string Show(const Codes& c) {
  std::string out;
  for (size_t i = 0; i < c.size(); ++i)
    if (c[i]) out += std::to_string(i) + " ";
  return out;
}

// ---- the dialogs, built once --------------------------------------------------

struct TDialogs {
  TNoPerson person;
  std::unique_ptr<veltrin::TfrmBase> host;
  std::unique_ptr<TTwoGradeFrame> grid, fresh;
  std::unique_ptr<TfrmSelectTwo> picker;
};

TDialogs& Dialogs() {
  // Kept until the process ends; rebuilding them per input would only fuzz
  // the control layer's construction.
  static TDialogs* d = [] {
    auto* made = new TDialogs;
    veltrin::ui::SetCurrentBackend(&veltrin::ui::HeadlessBackend());
    veltrin::ui::SetHook(&made->person);
    made->host = std::make_unique<veltrin::TfrmBase>("frmGridHost");
    made->host->SetClientSize(520, 320);
    made->grid = std::make_unique<TTwoGradeFrame>(*made->host, "TwoGradeFrame1", "", 8, 13);
    made->fresh = std::make_unique<TTwoGradeFrame>(*made->host, "TwoGradeFrame2", "", 260, 13);
    made->picker = std::make_unique<TfrmSelectTwo>();
    return made;
  }();
  return *d;
}

// ---- (a) the score grid -------------------------------------------------------

void CheckGridState(const TTwoGradeFrame& f, const std::string& input) {
  CHECK(WellFormed(f.edtCode0->Text()), input + "\nedtCode0: " + f.edtCode0->Text());
  for (int n = 1; n <= 100; ++n) {
    const veltrin::ui::TLabel* label = f.ScoreLabels[size_t(n)];
    CHECK(label != nullptr, std::to_string(n));
    const std::string hint = label->Hint();
    CHECK(WellFormed(hint), input + "\nscore " + std::to_string(n) + ": [" + hint + "]");
    CHECK((label->Color() == f.AssignedColor) == !hint.empty(),
          input + "\nscore " + std::to_string(n) + ": [" + hint + "]");
  }
}

void CheckGradeText(const std::string& text, const std::string& input) {
  // 101 groups: "0=" and then "n=" for every score 1..100, in order.
  size_t pos = 0;
  for (int n = 0; n <= 100; ++n) {
    const std::string head = std::to_string(n) + "=";
    CHECK(text.compare(pos, head.size(), head) == 0,
          input + "\ngroup " + std::to_string(n) + " of " + text);
    const size_t comma = text.find(',', pos);
    if (n == 100) {
      CHECK(comma == std::string::npos, input + "\n" + text);
    } else {
      CHECK(comma != std::string::npos, input + "\n" + text);
      pos = comma + 1;
    }
  }
}

void FuzzGrid(std::string_view text) {
  TDialogs& d = Dialogs();
  const std::string input(text);
  d.grid->InitLabels();
  const std::string reset = d.grid->GetGradeText();
  bool raised = false;
  try {
    d.grid->SetGradeText(text);
  } catch (const EConvertError&) {
    raised = true;
  }
  CheckGridState(*d.grid, input);
  const std::string written = d.grid->GetGradeText();
  CheckGradeText(written, input);
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos || eq == 0) {
    CHECK(!raised && written == reset, input + "\n" + written);
  }

  // What the grid writes, a fresh grid reads back to the same text.
  d.fresh->InitLabels();
  try {
    d.fresh->SetGradeText(written);
  } catch (const EConvertError& e) {
    Fail("written text reads back", __FILE__, __LINE__, written + "\n" + e.what());
  }
  CheckGridState(*d.fresh, written);
  CHECK(d.fresh->GetGradeText() == written,
        input + "\nwritten: " + written + "\nread back: " + d.fresh->GetGradeText());
}

// ---- (b) CodesUnion and CodesMinus --------------------------------------------

void FuzzCodeTexts(std::string_view a, std::string_view b) {
  const std::string input = std::string(a) + "\\0" + std::string(b);
  const TRead ra = ReadCodes(a), rb = ReadCodes(b);
  const bool converts = ra.complete && rb.complete;

  std::optional<std::string> uni, minus;
  try {
    uni = veltrin::CodesUnion(a, b);
  } catch (const EConvertError&) {
  }
  try {
    minus = veltrin::CodesMinus(a, b);
  } catch (const EConvertError&) {
  }
  CHECK(uni.has_value() == converts, input);
  CHECK(minus.has_value() == converts, input);
  if (!converts) return;

  const std::optional<Codes> u = Ascending(*uni), m = Ascending(*minus);
  CHECK(u.has_value(), input + "\nunion: " + *uni);
  CHECK(m.has_value(), input + "\nminus: " + *minus);
  CHECK((ra.codes & ~*u).none() && (rb.codes & ~*u).none(), input + "\nunion: " + *uni);
  CHECK((*m & rb.codes).none(), input + "\nminus: " + *minus);
  CHECK((*m | (ra.codes & rb.codes)) == ra.codes, input + "\nminus: " + *minus);
  CHECK(*u == (ra.codes | rb.codes),
        input + "\nunion: " + *uni + "\nmodel: " + Show(ra.codes | rb.codes));
  CHECK(*m == (ra.codes & ~rb.codes), input + "\nminus: " + *minus);
}

// ---- (c) the picker -----------------------------------------------------------

void FuzzPicker(std::string_view available, std::string_view selected) {
  TfrmSelectTwo& p = *Dialogs().picker;
  const std::string input = std::string(available) + "\\0" + std::string(selected);
  p.InitLabels();

  // SetAvailable reads the trimmed text the way the code-text functions do.
  const TRead ra = ReadCodes(veltrin::TrimBlanks(available));
  bool raised = false;
  try {
    p.SetAvailable(available, true);
  } catch (const EConvertError&) {
    raised = true;
  }
  CHECK(raised == !ra.complete, input);

  // SetSelected pairs the digits whatever stands between them.
  Codes wanted;
  const std::string digits = TfrmSelectTwo::DigitsOnly(selected);
  for (size_t k = 0; 2 * k + 1 < digits.size(); ++k)
    wanted.set(size_t(10 * (digits[2 * k] - '0') + (digits[2 * k + 1] - '0')));
  try {
    CHECK(p.SetSelected(selected), input);
  } catch (const EConvertError& e) {
    Fail("SetSelected raises nothing", __FILE__, __LINE__, input + "\n" + e.what());
  }

  Codes enabled;
  for (int c = 0; c < 100; ++c) {
    const veltrin::ui::TLabel* label = p.CodeLabels[size_t(c)];
    CHECK(label != nullptr && label->Visible(), std::to_string(c));
    if (label->Enabled()) enabled.set(size_t(c));
  }
  CHECK(enabled == ra.codes, input + "\nenabled: " + Show(enabled));

  const std::string got = p.GetSelected();
  const std::optional<Codes> sel = Ascending(got);
  CHECK(sel.has_value(), input + "\nselected: " + got);
  CHECK((*sel & ~enabled).none(), input + "\nselected: " + got);
  CHECK(*sel == (wanted & enabled), input + "\nselected: " + got);
  CHECK(sel->count() == size_t(p.SelectedCount()), input + "\nselected: " + got);
  CHECK(!(*sel)[0] || got.compare(0, 2, "00") == 0, input + "\nselected: " + got);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view in(reinterpret_cast<const char*>(data), size);
  std::string_view texts[2];
  for (std::string_view& t : texts) {
    const size_t zero = in.find('\0');
    t = in.substr(0, zero);
    in = zero == std::string_view::npos ? std::string_view() : in.substr(zero + 1);
  }
  FuzzCodeTexts(texts[0], texts[1]);
  FuzzPicker(texts[0], texts[1]);
  FuzzGrid(in);
  return 0;
}
