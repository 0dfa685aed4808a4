#include "host/string_list.h"

#include <climits>

namespace veltrin::host {

int32_t VELTRIN_API HostStringList::QueryInterface(const VGuid* iid, void** out) {
  if (!out) return kE_POINTER;
  *out = nullptr;
  if (!iid) return kE_POINTER;
  if (*iid == IID_IUnknown || *iid == IID_IStringList ||
      (editable_ && *iid == IID_IEditableStringList)) {
    *out = static_cast<IEditableStringList*>(this);
    AddRef();
    return kS_OK;
  }
  return kE_NOINTERFACE;
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
