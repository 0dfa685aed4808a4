// A host call interface for dialog tests: counts its references and answers
// the drawn-number request as the test sets it; every other operation fails.
#pragma once

#include <string>

#include "tests/support/fake_host.h"

namespace veltrin::test {

class TStubHost final : public TFakeHost {
 public:
  int32_t DrawCalls = 0;
  int32_t DrawStatus = kS_OK;
  const char* DrawText = nullptr;

  int32_t VELTRIN_API SelectDrawNumber(const char** text) override {
    ++DrawCalls;
    if (text) *text = DrawText;
    return DrawStatus;
  }
};

}  // namespace veltrin::test
