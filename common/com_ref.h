// One way to hold a counted reference to a COM-layout object and one way to
// answer QueryInterface, for the objects and callers on both sides of the
// host boundary.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "common/interfaces.h"

namespace veltrin {

// Owns at most one counted reference to a T (an IVUnknown) and releases it
// when it goes or takes another. Moves, never copies: a second owner takes
// a reference of its own with Share.
template <class T>
class TComRef {
 public:
  TComRef() noexcept = default;
  ~TComRef() { Reset(); }
  TComRef(TComRef&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
  TComRef& operator=(TComRef&& other) noexcept {
    // Take the new reference before dropping the old: the two may be the
    // same object, which must not reach zero in between.
    T* taken = std::exchange(other.p_, nullptr);
    Reset();
    p_ = taken;
    return *this;
  }
  TComRef(const TComRef&) = delete;
  TComRef& operator=(const TComRef&) = delete;

  // Takes over a reference the caller owns (null gives an empty holder).
  static TComRef Adopt(T* p) noexcept {
    TComRef ref;
    ref.p_ = p;
    return ref;
  }
  // Takes a reference of its own to `p` (null gives an empty holder).
  static TComRef Share(T* p) noexcept {
    if (p) p->AddRef();
    return Adopt(p);
  }

  void Reset() noexcept {
    if (T* p = std::exchange(p_, nullptr)) p->Release();
  }
  // Forgets the reference without releasing it: for a process that is
  // ending, where the object's code may already be gone.
  T* Detach() noexcept { return std::exchange(p_, nullptr); }

  T* Get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// Asks `object` for interface T by T's own identifier: a held reference,
// or an empty holder when the object has no such interface.
template <class T>
TComRef<T> QueryAs(IVUnknown* object) noexcept {
  void* out = nullptr;
  if (!object || !Succeeded(object->QueryInterface(&IidOf<T>, &out))) return {};
  return TComRef<T>::Adopt(static_cast<T*>(out));
}

// The QueryInterface of an object that answers each of `iids` with `self`
// (its interface pointer, which is the same for every interface of a single
// inheritance chain), taking a reference through `self` as COM asks.
inline int32_t AnswerQueryInterface(IVUnknown* self, const VGuid* iid, void** out,
                                    std::initializer_list<VGuid> iids) noexcept {
  if (!out) return kE_POINTER;
  *out = nullptr;
  if (!iid) return kE_POINTER;
  for (const VGuid& answered : iids) {
    if (*iid == answered) {
      self->AddRef();
      *out = self;
      return kS_OK;
    }
  }
  return kE_NOINTERFACE;
}

}  // namespace veltrin
