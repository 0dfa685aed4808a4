#include "host/encoding.h"

namespace veltrin::host {

std::string TypedTextToGbk(std::string_view typed, bool terminalIsGbk) {
  std::string gbk;
  if (terminalIsGbk || IsAscii(typed) || !IsUtf8(typed) || !Utf8ToGbk(typed, gbk))
    return std::string(typed);
  return gbk;
}

std::wstring Utf8ToWide(std::string_view utf8) {
  const std::u16string units = port::Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

}  // namespace veltrin::host
