#include "host/input_text.h"

#include <algorithm>

#include "port/port.h"

namespace veltrin::host {

std::string_view WithoutBom(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return text;
}

InputForm DetectForm(std::string_view head) {
  if (head.substr(0, 2) == "\xFF\xFE") return InputForm::Utf16Le;
  if (head.substr(0, 2) == "\xFE\xFF") return InputForm::Utf16Be;
  // Digits, blanks and ASCII text in UTF-16 put a NUL beside every
  // character; single-byte text has none.
  const size_t pairs = std::min<size_t>(head.size(), 512) / 2;
  size_t oddNul = 0, evenNul = 0;
  for (size_t i = 0; i < pairs; ++i) {
    evenNul += head[2 * i] == '\0' && head[2 * i + 1] != '\0';
    oddNul += head[2 * i + 1] == '\0' && head[2 * i] != '\0';
  }
  if (pairs == 0) return InputForm::Plain;
  if (oddNul * 2 >= pairs && evenNul == 0) return InputForm::Utf16Le;
  if (evenNul * 2 >= pairs && oddNul == 0) return InputForm::Utf16Be;
  return InputForm::Plain;
}

std::string FormName(InputForm form) {
  switch (form) {
    case InputForm::Utf16Le:
      return "UTF-16 little-endian text (what Notepad saves as \"Unicode\")";
    case InputForm::Utf16Be:
      return "UTF-16 big-endian text";
    case InputForm::Plain:
      break;
  }
  return "single-byte text";
}

InputForm DecodeInput(std::string& bytes) {
  const InputForm form = DetectForm(bytes);
  if (form == InputForm::Plain) {
    if (WithoutBom(bytes).size() != bytes.size()) bytes.erase(0, 3);
    return form;
  }
  std::u16string units;
  units.reserve(bytes.size() / 2);
  const bool little = form == InputForm::Utf16Le;
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]);
    const auto b = static_cast<unsigned char>(bytes[i + 1]);
    units += char16_t(little ? a | (b << 8) : (a << 8) | b);
  }
  if (!units.empty() && units.front() == u'\xFEFF') units.erase(0, 1);
  bytes = port::Utf16ToUtf8(units);
  return form;
}

}  // namespace veltrin::host
