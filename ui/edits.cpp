// Edit boxes and integer spin boxes.
#include "ui/controls.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "port/port.h"

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
  int64_t value = 0;
  if (port::ParseInt(text, INT32_MIN, INT32_MAX, value) != port::IntStatus::Ok) return std::nullopt;
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
