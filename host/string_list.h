// The host's own list of texts (IStringList): the batch sample's bet texts
// that GetBatchAideData hands to the library, and the condition lines that
// the batch aide rewrites in place (only a list created editable answers
// IEditableStringList). The host owns it and keeps it alive; the library
// never frees it.
#pragma once

#include <string>
#include <vector>

#include "common/interfaces.h"

namespace veltrin::host {

class HostStringList final : public IEditableStringList {
 public:
  // A new list with one reference, which the creator releases.
  static HostStringList* Create(bool editable = false) { return new HostStringList(editable); }

  int32_t VELTRIN_API QueryInterface(const VGuid* iid, void** out) override;
  uint32_t VELTRIN_API AddRef() override;
  uint32_t VELTRIN_API Release() override;
  int32_t VELTRIN_API Count(int32_t* count) override;
  int32_t VELTRIN_API Get(int32_t index, const char** text) override;
  int32_t VELTRIN_API Add(const char* text) override;
  int32_t VELTRIN_API Put(int32_t index, const char* text) override;

  // The host's side.
  void Clear() { lines_.clear(); }
  void Reserve(size_t n) { lines_.reserve(n); }
  void Append(std::string text) { lines_.push_back(std::move(text)); }
  const std::vector<std::string>& Lines() const { return lines_; }

 private:
  explicit HostStringList(bool editable) : editable_(editable) {}
  ~HostStringList() = default;
  bool editable_;
  std::vector<std::string> lines_;
  uint32_t refs_ = 1;
};

}  // namespace veltrin::host
