#include "common/string_list.h"

#include <climits>

#include "common/com_ref.h"

namespace veltrin {

int32_t VELTRIN_API TStringList::QueryInterface(const VGuid* iid, void** out) {
  return AnswerQueryInterface(static_cast<IEditableStringList*>(this), iid, out,
                              {IID_IUnknown, IID_IStringList, IID_IEditableStringList});
}

uint32_t VELTRIN_API TStringList::AddRef() { return ++refs_; }

uint32_t VELTRIN_API TStringList::Release() {
  uint32_t left = --refs_;
  if (left == 0) delete this;
  return left;
}

int32_t VELTRIN_API TStringList::Count(int32_t* count) {
  if (!count) return kE_POINTER;
  *count = lines_.size() > size_t(INT32_MAX) ? INT32_MAX : int32_t(lines_.size());
  return kS_OK;
}

int32_t VELTRIN_API TStringList::Get(int32_t index, const char** text) {
  if (!text) return kE_POINTER;
  *text = nullptr;
  if (index < 0 || size_t(index) >= lines_.size()) return kE_INVALIDARG;
  *text = lines_[size_t(index)].c_str();
  return kS_OK;
}

int32_t VELTRIN_API TStringList::Add(const char* text) {
  try {
    lines_.emplace_back(text ? text : "");
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

int32_t VELTRIN_API TStringList::Put(int32_t index, const char* text) {
  if (index < 0 || size_t(index) >= lines_.size()) return kE_INVALIDARG;
  try {
    lines_[size_t(index)] = text ? text : "";
    return kS_OK;
  } catch (...) {
    return kE_FAIL;
  }
}

bool ReadStringList(IStringList* list, std::vector<std::string>& out) {
  out.clear();
  if (!list) return false;
  int32_t n = 0;
  if (!Succeeded(list->Count(&n)) || n < 0) return false;
  out.reserve(size_t(n));
  for (int32_t i = 0; i < n; ++i) {
    const char* text = nullptr;
    if (!Succeeded(list->Get(i, &text))) return false;
    out.emplace_back(text ? text : "");
  }
  return true;
}

}  // namespace veltrin
