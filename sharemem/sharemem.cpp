#include "sharemem/sharemem.h"

#include <cstdlib>

extern "C" {

VELTRIN_SHAREMEM_API void* VELTRIN_API ShareGetMem(size_t size) {
  return std::malloc(size == 0 ? 1 : size);
}

VELTRIN_SHAREMEM_API void VELTRIN_API ShareFreeMem(void* p) { std::free(p); }

VELTRIN_SHAREMEM_API void* VELTRIN_API ShareReallocMem(void* p, size_t size) {
  return std::realloc(p, size == 0 ? 1 : size);
}
}
