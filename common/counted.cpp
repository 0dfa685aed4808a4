#include "common/counted.h"

#include <cstring>

#include "sharemem/sharemem.h"

namespace veltrin {
namespace {

CountedHeader* HeaderOf(const void* p) {
  return reinterpret_cast<CountedHeader*>(const_cast<char*>(static_cast<const char*>(p)) -
                                          sizeof(CountedHeader));
}

// Returns true when the caller must free the block (last reference gone).
bool DropReference(CountedHeader* h) {
  // A constant (-1) stays; a count that is already 0 is not ours to free.
  if (h->RefCount <= 0) return false;
  if (h->RefCount > 1) {
    --h->RefCount;
    return false;
  }
  return true;
}

}  // namespace

char* CountedStrNew(std::string_view text) {
  if (text.empty()) return nullptr;
  if (text.size() > kMaxCountedLength) throw std::bad_alloc();
  void* block = ShareGetMem(sizeof(CountedHeader) + text.size() + 1);
  if (!block) throw std::bad_alloc();
  auto* h = static_cast<CountedHeader*>(block);
  h->RefCount = 1;
  h->Length = int32_t(text.size());
  char* s = reinterpret_cast<char*>(h + 1);
  std::memcpy(s, text.data(), text.size());
  s[text.size()] = '\0';
  return s;
}

int32_t CountedStrLength(const char* s) { return s ? HeaderOf(s)->Length : 0; }

std::string_view CountedStrView(const char* s) {
  if (!s) return {};
  int32_t n = HeaderOf(s)->Length;
  return std::string_view(s, n > 0 ? size_t(n) : 0);
}

void CountedStrRelease(char*& s) {
  if (s) {
    CountedHeader* h = HeaderOf(s);
    if (DropReference(h)) ShareFreeMem(h);
  }
  s = nullptr;
}

void CountedStrAssign(char*& field, std::string_view text) {
  char* fresh = CountedStrNew(text);  // may throw: leave the field untouched
  CountedStrRelease(field);
  field = fresh;
}

char* CountedStrAddRef(char* s) {
  if (s && HeaderOf(s)->RefCount >= 0) ++HeaderOf(s)->RefCount;
  return s;
}

void* DynArrayNewRaw(size_t count, size_t elemSize) {
  if (count == 0) return nullptr;
  if (elemSize != 0 && count > kMaxCountedLength / elemSize) throw std::bad_alloc();
  size_t bytes = count * elemSize;
  void* block = ShareGetMem(sizeof(CountedHeader) + bytes);
  if (!block) throw std::bad_alloc();
  auto* h = static_cast<CountedHeader*>(block);
  h->RefCount = 1;
  h->Length = int32_t(count);
  std::memset(h + 1, 0, bytes);
  return h + 1;
}

int32_t DynArrayLength(const void* a) { return a ? HeaderOf(a)->Length : 0; }

void DynArrayReleaseRaw(void*& a, size_t elemSize, void (*finalize)(void* elem)) {
  if (a) {
    CountedHeader* h = HeaderOf(a);
    if (DropReference(h)) {
      if (finalize) {
        char* p = static_cast<char*>(a);
        for (int32_t i = 0; i < h->Length; ++i) finalize(p + size_t(i) * elemSize);
      }
      ShareFreeMem(h);
    }
  }
  a = nullptr;
}

void DynArrayReleaseStrings(char**& a) {
  void* p = a;
  DynArrayReleaseRaw(p, sizeof(char*), [](void* e) { CountedStrRelease(*static_cast<char**>(e)); });
  a = nullptr;
}

void DynArrayReleaseByteArrays(uint8_t**& a) {
  void* p = a;
  DynArrayReleaseRaw(p, sizeof(uint8_t*),
                     [](void* e) { DynArrayRelease(*static_cast<uint8_t**>(e)); });
  a = nullptr;
}

}  // namespace veltrin
