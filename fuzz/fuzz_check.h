// The fuzzers' check: a failed oracle aborts with the condition and what was
// being checked, so that libFuzzer saves the input that broke it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace veltrin_fuzz {

[[noreturn]] inline void Fail(const char* what, const char* file, int line,
                              const std::string& detail) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n%s\n", file, line, what, detail.c_str());
  std::abort();
}

}  // namespace veltrin_fuzz

#define CHECK(cond, detail)                                                 \
  do {                                                                      \
    if (!(cond)) ::veltrin_fuzz::Fail(#cond, __FILE__, __LINE__, (detail)); \
  } while (0)
