// Inside the platform layer: the GBK codec each platform file supplies, and
// what port/text.cpp builds on it for both.
#pragma once

#include <string>
#include <string_view>

namespace veltrin::port::detail {

// All of `gbk` as UTF-8; false when any of it does not decode.
bool DecodeGbk(std::string_view gbk, std::string& utf8);
// All of `utf8` as GBK; false when any character has no GBK form.
bool EncodeGbk(std::string_view utf8, std::string& gbk);

}  // namespace veltrin::port::detail
