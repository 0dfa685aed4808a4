#include "host/string_list.h"

#include <climits>

#include "common/com_ref.h"

namespace veltrin::host {

int32_t VELTRIN_API HostStringList::QueryInterface(const VGuid* iid, void** out) {
  // Only a list made editable answers the editable interface: the sample
  // bets handed to the library stay read-only.
  IEditableStringList* self = this;
  if (editable_)
    return AnswerQueryInterface(self, iid, out,
                                {IID_IUnknown, IID_IStringList, IID_IEditableStringList});
  return AnswerQueryInterface(self, iid, out, {IID_IUnknown, IID_IStringList});
}

uint32_t VELTRIN_API HostStringList::AddRef() { return ++refs_; }

uint32_t VELTRIN_API HostStringList::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

int32_t VELTRIN_API HostStringList::Count(int32_t* count) {
  if (!count) return kE_POINTER;
  *count = lines_.size() > size_t(INT32_MAX) ? INT32_MAX : int32_t(lines_.size());
  return kS_OK;
}

int32_t VELTRIN_API HostStringList::Get(int32_t index, const char** text) {
  if (!text) return kE_POINTER;
  *text = nullptr;
  if (index < 0 || size_t(index) >= lines_.size()) return kE_INVALIDARG;
  *text = lines_[size_t(index)].c_str();
  return kS_OK;
}

int32_t VELTRIN_API HostStringList::Add(const char* text) {
  try {
    lines_.emplace_back(text ? text : "");
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

int32_t VELTRIN_API HostStringList::Put(int32_t index, const char* text) {
  if (!editable_) return kE_NOTIMPL;
  if (index < 0 || size_t(index) >= lines_.size()) return kE_INVALIDARG;
  try {
    lines_[size_t(index)] = text ? text : "";
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

}  // namespace veltrin::host
