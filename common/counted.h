// Counted strings and dynamic arrays: the shapes in which texts and arrays
// cross the host boundary. The pointer is to the first byte or element;
// before it stand a 32-bit reference count and a 32-bit length. Empty is
// null. A reference count of -1 marks a constant that is never released.
// Every block comes from the shared memory manager, so either side may
// release what the other allocated.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>
#include <string_view>

namespace veltrin {

struct CountedHeader {
  int32_t RefCount;
  int32_t Length;
};

// Largest length a counted block may declare (its 32-bit length field).
inline constexpr size_t kMaxCountedLength = 0x7FFFFFF0u;

// --- counted strings -------------------------------------------------------

// A new counted string holding `text` (null for the empty text). Throws
// std::bad_alloc when the shared memory manager has no memory.
char* CountedStrNew(std::string_view text);
// Length in bytes from the header; 0 for null.
int32_t CountedStrLength(const char* s);
// The text as a view (empty for null).
std::string_view CountedStrView(const char* s);
// Drops one reference; frees the block at zero; constants stay. Sets `s` null.
void CountedStrRelease(char*& s);
// Releases what `field` held, then stores a new counted copy of `text`.
void CountedStrAssign(char*& field, std::string_view text);
// Takes one more reference (a constant stays as it is).
char* CountedStrAddRef(char* s);

// A counted string constant in static storage (reference count -1), for
// texts handed out that nobody may free.
template <size_t N>
struct CountedConst {
  CountedHeader Header;
  char Text[N];
  constexpr CountedConst(const char (&s)[N]) : Header{-1, int32_t(N - 1)}, Text{} {
    for (size_t i = 0; i < N; ++i) Text[i] = s[i];
  }
  char* Ptr() { return Text; }
};

// --- dynamic arrays --------------------------------------------------------

// A new zero-filled array block of `count` elements of `elemSize` bytes
// (null for 0). Throws std::bad_alloc when no memory is left.
void* DynArrayNewRaw(size_t count, size_t elemSize);
// Element count from the header; 0 for null.
int32_t DynArrayLength(const void* a);
// Drops one reference; at zero calls `finalize` on each element (may be
// null), then frees the block. Sets `a` null.
void DynArrayReleaseRaw(void*& a, size_t elemSize, void (*finalize)(void* elem));

template <class T>
T* DynArrayNew(size_t count) {
  return static_cast<T*>(DynArrayNewRaw(count, sizeof(T)));
}

// Release of plain arrays (no finalisation of elements).
template <class T>
void DynArrayRelease(T*& a) {
  void* p = a;
  DynArrayReleaseRaw(p, sizeof(T), nullptr);
  a = nullptr;
}

// Release of an array of counted strings: its strings first.
void DynArrayReleaseStrings(char**& a);
// Release of an array of byte arrays (TArrBinChipF): its elements first.
void DynArrayReleaseByteArrays(uint8_t**& a);

}  // namespace veltrin
