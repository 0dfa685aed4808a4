// Edit boxes and integer spin boxes.
#include "ui/controls.h"

#include <algorithm>
#include <optional>
#include <string>

namespace veltrin::ui {

void TEdit::SetCaption(std::string_view text) {
  if (Caption() == text) return;
  Peer().SetText(std::string(text));
  if (OnChange) OnChange(*this);
}

int32_t TEdit::MaxLength() const { return EditPeer().MaxLength(); }
void TEdit::SetMaxLength(int32_t length) { EditPeer().SetMaxLength(std::max(0, length)); }
bool TEdit::ReadOnly() const { return EditPeer().ReadOnly(); }
void TEdit::SetReadOnly(bool readOnly) { EditPeer().SetReadOnly(readOnly); }

int32_t TSpinEdit::MinValue() const { return EditPeer().Min(); }
int32_t TSpinEdit::MaxValue() const { return EditPeer().Max(); }
void TSpinEdit::SetRange(int32_t min, int32_t max) { EditPeer().SetRange(min, max); }

namespace {
// A whole decimal number: leading blanks, an optional sign, digits only, in
// 32 bits; anything else is no number.
std::optional<int32_t> SpinNumber(std::string_view text) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == n) return std::nullopt;
  int64_t value = 0;
  for (; i < n; ++i) {
    unsigned d = unsigned(static_cast<unsigned char>(text[i])) - '0';
    if (d > 9) return std::nullopt;
    value = value * 10 + d;
    if (value > int64_t(INT32_MAX) + 1) return std::nullopt;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
  return int32_t(value);
}
}  // namespace

int32_t TSpinEdit::Value() const { return SpinNumber(Text()).value_or(MinValue()); }

bool TSpinEdit::ValueValid() const {
  const std::optional<int32_t> value = SpinNumber(Text());
  return value && *value >= MinValue() && *value <= MaxValue();
}
void TSpinEdit::SetValue(int32_t value) { SetText(std::to_string(value)); }

}  // namespace veltrin::ui
