// The header's list of diagnostic identifiers is the catalogue's: a host
// developer reads the one, the engine gives the other.
#include "filter/diag_catalogue.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace veltrin {
namespace {

std::string HeaderText() {
  std::string path = std::string(VELTRIN_SOURCE_DIR) + "/include/veltrin.h";
#if defined(_WIN32)
  if (!path.empty() && path[0] == '/') path = "Z:" + path;  // Wine's drive for the root
#endif
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

TEST(DiagCatalogue, HeaderListsEveryCodeInOrderWithItsSeverity) {
  const std::string header = HeaderText();
  const size_t start = header.find("Codes of \"diag\" (stable):");
  ASSERT_NE(start, std::string::npos) << "the header lost its list of diagnostic codes";
  const size_t end = header.find("(warnings)", start);
  ASSERT_NE(end, std::string::npos);
  // Identifiers are lower-case words joined by '-'; "(invalid: ...)" closes
  // the invalid ones.
  std::vector<std::pair<std::string, TSeverity>> listed;
  TSeverity severity = TSeverity::Invalid;
  std::string word;
  for (size_t i = header.find(':', start) + 1; i <= end; ++i) {
    const char c = header[i];
    if ((c >= 'a' && c <= 'z') || c == '-') {
      word += c;
      continue;
    }
    if (word == "invalid") {
      severity = TSeverity::Warning;  // what follows "(invalid: ...)" warns
    } else if (!word.empty() && word.find('-') != std::string::npos) {
      listed.emplace_back(word, severity);
    }
    word.clear();
  }
  const std::vector<TDiagCode> codes = AllDiagCodes();
  ASSERT_EQ(listed.size(), codes.size());
  for (size_t i = 0; i < codes.size(); ++i) {
    EXPECT_EQ(listed[i].first, DiagCodeName(codes[i])) << i;
    EXPECT_EQ(listed[i].second, DiagSeverity(codes[i])) << listed[i].first;
    EXPECT_NE(std::string(DiagText(codes[i])), "") << listed[i].first;
  }
}

}  // namespace
}  // namespace veltrin
