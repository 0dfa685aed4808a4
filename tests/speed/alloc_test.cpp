// SzcExecute runs once per candidate bet, millions of times in a run: it
// must not touch the heap. These tests count every allocation the loaded
// library makes around a loop of calls.
//
// How the allocations are seen:
// - natively (glibc), the test binary interposes malloc, calloc and realloc,
//   which the library, its C++ runtime and the shared memory manager all
//   reach through the dynamic linker;
// - under a sanitizer, which owns malloc itself, the binary replaces the
//   global operator new instead and sees the C++ allocations only;
// - on Windows the library carries its own static C++ runtime and calls the
//   C runtime's allocator through its import table, so the test patches the
//   library's import entries of the allocator and of the shared memory
//   manager while it counts.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

#include "support/gbk.h"
#include "tests/plugin/library.h"

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || \
    __has_feature(thread_sanitizer)
#define VELTRIN_TEST_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define VELTRIN_TEST_SANITIZED 1
#endif

namespace veltrin::test {
namespace {

std::atomic<bool> g_counting{false};
std::atomic<long> g_allocations{0};

inline void CountAllocation() {
  if (g_counting.load(std::memory_order_relaxed))
    g_allocations.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace
}  // namespace veltrin::test

#if !defined(_WIN32) && defined(__GLIBC__) && !defined(VELTRIN_TEST_SANITIZED)
// glibc's own entry points, which stay exported for exactly this use.
extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void __libc_free(void* p);

void* malloc(size_t size) {
  veltrin::test::CountAllocation();
  return __libc_malloc(size);
}
void* calloc(size_t count, size_t size) {
  veltrin::test::CountAllocation();
  return __libc_calloc(count, size);
}
void* realloc(void* p, size_t size) {
  veltrin::test::CountAllocation();
  return __libc_realloc(p, size);
}
void free(void* p) { __libc_free(p); }
}

#elif !defined(_WIN32)
// Every other form of operator new of the runtime ends in this one.
void* operator new(std::size_t size) {
  veltrin::test::CountAllocation();
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

#if defined(_WIN32)
#include <windows.h>

#include <vector>

namespace veltrin::test {
namespace {

// The real functions behind the patched import entries.
using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);
using ShareGetFn = void*(VELTRIN_API*)(size_t);
using ShareReallocFn = void*(VELTRIN_API*)(void*, size_t);
MallocFn g_malloc;
CallocFn g_calloc;
ReallocFn g_realloc;
ShareGetFn g_shareGet;
ShareReallocFn g_shareRealloc;

void* __cdecl CountingMalloc(size_t size) {
  CountAllocation();
  return g_malloc(size);
}
void* __cdecl CountingCalloc(size_t count, size_t size) {
  CountAllocation();
  return g_calloc(count, size);
}
void* __cdecl CountingRealloc(void* p, size_t size) {
  CountAllocation();
  return g_realloc(p, size);
}
void* VELTRIN_API CountingShareGet(size_t size) {
  CountAllocation();
  return g_shareGet(size);
}
void* VELTRIN_API CountingShareRealloc(void* p, size_t size) {
  CountAllocation();
  return g_shareRealloc(p, size);
}

// The import entries of one module that name one of a few functions, with
// what they held, so that they can be restored.
class ImportPatch {
 public:
  // Points every import of `module` named `name` at `hook`; returns the
  // function the first such entry held (null when there is none).
  void* Patch(HMODULE module, const char* name, void* hook) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress) return nullptr;
    void* original = nullptr;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
         imp->Name; ++imp) {
      if (!imp->OriginalFirstThunk) continue;  // no names to match
      auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
      auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
      for (; names->u1.AddressOfData; ++names, ++slots) {
        if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
        auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
        if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
        if (!original) original = reinterpret_cast<void*>(slots->u1.Function);
        Write(&slots->u1.Function, reinterpret_cast<ULONG_PTR>(hook));
      }
    }
    return original;
  }
  ~ImportPatch() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) Put(it->first, it->second);
  }

 private:
  void Write(ULONG_PTR* slot, ULONG_PTR value) {
    saved_.emplace_back(slot, *slot);
    Put(slot, value);
  }
  static void Put(ULONG_PTR* slot, ULONG_PTR value) {
    DWORD old = 0;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
  }
  std::vector<std::pair<ULONG_PTR*, ULONG_PTR>> saved_;
};

}  // namespace
}  // namespace veltrin::test
#endif

namespace veltrin::test {
namespace {

// Counts the allocations the loaded library makes while it is alive.
class AllocationCounter {
 public:
  AllocationCounter() {
#if defined(_WIN32)
    HMODULE lib = GetModuleHandleA(kLibraryFileName);
    if (!lib) return;
    g_malloc = reinterpret_cast<MallocFn>(
        patch_.Patch(lib, "malloc", reinterpret_cast<void*>(&CountingMalloc)));
    g_calloc = reinterpret_cast<CallocFn>(
        patch_.Patch(lib, "calloc", reinterpret_cast<void*>(&CountingCalloc)));
    g_realloc = reinterpret_cast<ReallocFn>(
        patch_.Patch(lib, "realloc", reinterpret_cast<void*>(&CountingRealloc)));
    g_shareGet = reinterpret_cast<ShareGetFn>(
        patch_.Patch(lib, "ShareGetMem", reinterpret_cast<void*>(&CountingShareGet)));
    g_shareRealloc = reinterpret_cast<ShareReallocFn>(
        patch_.Patch(lib, "ShareReallocMem", reinterpret_cast<void*>(&CountingShareRealloc)));
#endif
    g_allocations = 0;
    g_counting = true;
  }
  ~AllocationCounter() { g_counting = false; }
  long Count() const { return g_allocations.load(); }

 private:
#if defined(_WIN32)
  ImportPatch patch_;
#endif
};

// Conditions of a realistic shape: every code in one group of the grid's
// table, scores 0..9, ranges that keep most bets.
std::string GridCondition(int seed, const std::string& range) {
  std::string table;
  for (int score = 0; score <= 100; ++score) {
    if (score > 0) table += ',';
    table += std::to_string(score) + "=";
    bool first = true;
    for (int code = 0; code < 100; ++code) {
      if ((code * 7 + seed * 13) % 10 != score) continue;
      if (!first) table += ' ';
      first = false;
      table += char('0' + code / 10);
      table += char('0' + code % 10);
    }
  }
  return Straight(table, range);
}

// Bets of the usual lengths, long ones (the longest beyond what the library
// reserves up front), the empty bet and ones that cannot be evaluated.
const std::string kLongBet(200, '7');
const char* const kBets[] = {
    "123",
    "90817",
    "5550123",
    "0000000",
    "9999999",
    "12345678",
    "123456789",
    "31415926535897932384626433832795",
    kLongBet.c_str(),
    "",
    "12a4567",
    "7",
    "-123",
};

class AllocationTest : public PluginTest {
 protected:
  void SetUp() override {
    PluginTest::SetUp();
#if !defined(_WIN32)
    // Valgrind puts its allocator in place of every malloc, this file's too.
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "vgpreload"))
      GTEST_SKIP() << "under valgrind the allocations cannot be counted";
#endif
  }
};

TEST_F(AllocationTest, TheCounterSeesTheLibraryAllocate) {
  AllocationCounter counter;
  // Copying a text this long needs the heap.
  api().SetFilterStr(GridCondition(1, "0-60").c_str());
  EXPECT_GT(counter.Count(), 0);
}

TEST_F(AllocationTest, ExecuteAllocatesNothing) {
  std::string conditions;
  for (int i = 0; i < 20; ++i) conditions += GridCondition(i, "5-40") + "\r\n";
  for (const std::string& text : {conditions, "E|0-3\r\n" + conditions, GridCondition(3, "0-0")}) {
    SCOPED_TRACE(text.substr(0, 8));
    ASSERT_TRUE(api().Use(text));
    // The first long bet may grow the library's scratch for codes once.
    for (const char* bet : kBets) api().SzcExecute(bet);

    long allocations = 0;
    int32_t verdicts = 0;
    {
      AllocationCounter counter;
      for (int round = 0; round < 200; ++round)
        for (const char* bet : kBets) verdicts += api().SzcExecute(bet);
      allocations = counter.Count();
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_NE(verdicts, 0);  // the loop evaluated something
  }
}

}  // namespace
}  // namespace veltrin::test
