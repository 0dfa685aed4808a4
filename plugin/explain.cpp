// VeltrinExplain: the optional export beyond the ten. It explains a
// condition text on its own filter object, so that nothing the ten exports
// answer depends on it. include/veltrin.h documents the result format.
#include "common/counted.h"
#include "filter/insight.h"
#include "plugin/exports.h"

extern "C" {

VELTRIN_PLUGIN_API char* VELTRIN_API VeltrinExplain(const char* conditionText, int32_t digits,
                                                    const char* historyText, int32_t lastDraws,
                                                    int32_t flags) {
  try {
    const std::string text =
        veltrin::FormatExplanation(conditionText ? conditionText : "", digits,
                                   historyText ? historyText : "", lastDraws, flags);
    return veltrin::CountedStrNew(text);
  } catch (...) {
    // Out of memory: no answer rather than a partial one.
    return nullptr;
  }
}

}  // extern "C"
