// Short names for the GBK words the tests build condition texts from.
#pragma once

#include <string>

#include "common/texts.h"

namespace veltrin::test {

inline const std::string kStraight = kTxtModeStraight;  // 直选
inline const std::string kGroup = kTxtModeGroup;        // 组选

// A straight-mode condition line: 直选:<table>:<range>.
inline std::string Straight(const std::string& table, const std::string& range) {
  return kStraight + ":" + table + ":" + range;
}

}  // namespace veltrin::test
