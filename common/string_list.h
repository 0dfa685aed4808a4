// A simple reference-counted list of texts that implements the list
// interfaces of the boundary. The batch request's bet list and the dialogs'
// condition lists are of this kind.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "common/interfaces.h"

namespace veltrin {

class TStringList final : public IEditableStringList {
 public:
  // A new list with one reference, which the creator releases.
  static TStringList* Create() { return new TStringList(); }

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override;
  uint32_t VELTRIN_API AddRef() override;
  uint32_t VELTRIN_API Release() override;
  int32_t VELTRIN_API Count(int32_t* count) override;
  int32_t VELTRIN_API Get(int32_t index, const char** text) override;
  int32_t VELTRIN_API Add(const char* text) override;
  int32_t VELTRIN_API Put(int32_t index, const char* text) override;

  // Direct access for the plug-in's own code.
  std::vector<std::string>& Lines() { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  TStringList() = default;
  ~TStringList() = default;
  std::vector<std::string> lines_;
  uint32_t refs_ = 1;
};

// Reads every entry of any IStringList; false when a slot fails.
bool ReadStringList(IStringList* list, std::vector<std::string>& out);

}  // namespace veltrin
