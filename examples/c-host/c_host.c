/* A minimal host in C99: loads the Veltrin library, hands it a call
 * interface, filters a few bets, explains one and releases the explanation
 * through the shared memory module.
 *
 * usage: c_host [LIBRARY [BET...]]
 *   LIBRARY  the library's path (default: veltrin.so / veltrin.dll beside
 *            this program); a relative path is taken from the current folder
 *   BET      bets to filter (default: 345 120 12x)
 * Exit status 0 when every step worked, 1 otherwise. */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 200809L /* readlink */
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "veltrin.h"

#if defined(_WIN32)
#include <windows.h>
typedef HMODULE Library;
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
typedef void* Library;
#endif

/* 直选:9=12:0-0 in GBK: a bet holding the code 12 scores 9 and fails. */
static const char kCondition[] = "\xD6\xB1\xD1\xA1:9=12:0-0";

/* ---- the host's call interface -------------------------------------------
 * Only GetLotteryInfo does something; every other operation answers "not
 * implemented", which the library copes with. */

typedef struct Host {
  ICallWrapper iface; /* first: the library sees a pointer to this */
  int refs;
} Host;

static int32_t VELTRIN_API HostQueryInterface(ICallWrapper* This, const VeltrinGuid* iid,
                                              void** out) {
  if (!out) return VELTRIN_E_POINTER;
  if (memcmp(iid, &VELTRIN_IID_ICallWrapper, sizeof *iid) == 0 ||
      memcmp(iid, &VELTRIN_IID_IUnknown, sizeof *iid) == 0) {
    *out = This;
    This->lpVtbl->AddRef(This);
    return VELTRIN_S_OK;
  }
  *out = NULL;
  return VELTRIN_E_NOINTERFACE;
}

static uint32_t VELTRIN_API HostAddRef(ICallWrapper* This) { return ++((Host*)This)->refs; }
static uint32_t VELTRIN_API HostRelease(ICallWrapper* This) { return --((Host*)This)->refs; }

static int32_t VELTRIN_API HostGetLotteryInfo(ICallWrapper* This, TLotteryInfo* info) {
  (void)This;
  if (!info) return VELTRIN_E_POINTER;
  info->DigitCount = 3;
  return VELTRIN_S_OK;
}

static int32_t VELTRIN_API NotImpl0(ICallWrapper* This) {
  (void)This;
  return VELTRIN_E_NOTIMPL;
}
static int32_t VELTRIN_API NotImplAide(ICallWrapper* This, VeltrinFilter* f, const char* c,
                                       int32_t z) {
  (void)This, (void)c, (void)z;
  /* The host owns the filter object it was handed. */
  if (f) f->lpVtbl->Free(f);
  return VELTRIN_E_NOTIMPL;
}
static int32_t VELTRIN_API NotImplBatch(ICallWrapper* This, TBatFltSet* a, TBatFltSet* b) {
  (void)This, (void)a, (void)b;
  return VELTRIN_E_NOTIMPL;
}
static int32_t VELTRIN_API NotImplHistory(ICallWrapper* This, IScoreCallback* cb, const char* a,
                                          const char* b) {
  (void)This, (void)cb, (void)a, (void)b;
  return VELTRIN_E_NOTIMPL;
}
static int32_t VELTRIN_API NotImplDraw(ICallWrapper* This, const char** text) {
  (void)This;
  if (text) *text = NULL;
  return VELTRIN_E_NOTIMPL;
}
static int32_t VELTRIN_API NotImplTable(ICallWrapper* This, char** text) {
  (void)This;
  if (text) *text = NULL;
  return VELTRIN_E_NOTIMPL;
}

static const ICallWrapperVtbl kHostVtbl = {
    .QueryInterface = HostQueryInterface,
    .AddRef = HostAddRef,
    .Release = HostRelease,
    .ShowToleranceAide = NotImplAide,
    .GetBatchAideData = NotImplBatch,
    .Reserved3 = NotImpl0,
    .ShowHistoryFilter = NotImplHistory,
    .Reserved5 = NotImpl0,
    .SelectDrawNumber = NotImplDraw,
    .Reserved7 = NotImpl0,
    .GetLotteryInfo = HostGetLotteryInfo,
    .Reserved9 = NotImpl0,
    .Reserved10 = NotImpl0,
    .Reserved11 = NotImpl0,
    .GetPairScoreTable = NotImplTable,
};

/* ---- loading ------------------------------------------------------------- */

static Library OpenLibrary(const char* path) {
#if defined(_WIN32)
  /* The library finds its shared memory module by itself: a plain load by
   * full path is enough, wherever the library lies. */
  return LoadLibraryA(path);
#else
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
}

static void* Symbol(Library lib, const char* name) {
#if defined(_WIN32)
  FARPROC fn = GetProcAddress(lib, name);
  void* p;
  memcpy(&p, &fn, sizeof p);
  return p;
#else
  return dlsym(lib, name);
#endif
}

static void CloseLibrary(Library lib) {
#if defined(_WIN32)
  FreeLibrary(lib);
#else
  dlclose(lib);
#endif
}

/* ShareFreeMem of the shared memory module that the library uses. It stays
 * loaded after the library is unloaded. */
static VeltrinShareFreeMemFn FindShareFreeMem(void) {
#if defined(_WIN32)
  HMODULE sharemem = GetModuleHandleA(VELTRIN_SHAREMEM_FILE);
  FARPROC sym = sharemem ? GetProcAddress(sharemem, "ShareFreeMem") : NULL;
  VeltrinShareFreeMemFn fn = NULL;
  if (sym) memcpy(&fn, &sym, sizeof fn);
  return fn;
#else
  void* sharemem = dlopen(VELTRIN_SHAREMEM_FILE, RTLD_NOW | RTLD_NOLOAD);
  VeltrinShareFreeMemFn fn = NULL;
  void* sym;
  if (!sharemem) return NULL;
  sym = dlsym(sharemem, "ShareFreeMem");
  memcpy(&fn, &sym, sizeof sym);
  dlclose(sharemem); /* drops the reference NOLOAD took */
  return fn;
#endif
}

/* The library beside this program. */
static int DefaultLibraryPath(char* out, size_t size) {
  size_t n;
#if defined(_WIN32)
  DWORD got = GetModuleFileNameA(NULL, out, (DWORD)size);
  if (got == 0 || got >= size) return 0;
  n = got;
  while (n > 0 && out[n - 1] != '\\' && out[n - 1] != '/') --n;
#else
  ssize_t got = readlink("/proc/self/exe", out, size - 1);
  if (got <= 0) return 0;
  n = (size_t)got;
  while (n > 0 && out[n - 1] != '/') --n;
#endif
  if (n + sizeof VELTRIN_LIBRARY_FILE > size) return 0;
  memcpy(out + n, VELTRIN_LIBRARY_FILE, sizeof VELTRIN_LIBRARY_FILE);
  return 1;
}

/* An export into its typed pointer. A function pointer from a data pointer:
 * POSIX allows it, C99 leaves it to the platform; the copy keeps compilers
 * quiet. */
#define RESOLVE(name)                  \
  do {                                 \
    void* sym_ = Symbol(lib, #name);   \
    memcpy(&name, &sym_, sizeof sym_); \
  } while (0)

/* ---- the run ------------------------------------------------------------- */

int main(int argc, char** argv) {
  static const char* const kDefaultBets[] = {"345", "120", "12x"};
  const char* const* bets = kDefaultBets;
  int betCount = 3, i, ok = 1;
  char path[4096];
  Library lib;
  VeltrinSetIIWrapperFn SetIIWrapper;
  VeltrinSetFilterStrFn SetFilterStr;
  VeltrinSzcPrepareFn SzcPrepare;
  VeltrinSzcExecuteFn SzcExecute;
  VeltrinSzcFltDebugFn SzcFltDebug;
  VeltrinGetVersionFn GetVersion;
  VeltrinShareFreeMemFn shareFreeMem;
  TDebugResult record;
  Host host;

  if (argc > 1) {
    if (strlen(argv[1]) >= sizeof path) return fprintf(stderr, "path too long\n"), 1;
    strcpy(path, argv[1]);
  } else if (!DefaultLibraryPath(path, sizeof path)) {
    return fprintf(stderr, "cannot tell where this program lies\n"), 1;
  }
  if (argc > 2) bets = (const char* const*)argv + 2, betCount = argc - 2;

  lib = OpenLibrary(path);
  if (!lib) return fprintf(stderr, "cannot load %s\n", path), 1;
  RESOLVE(SetIIWrapper);
  RESOLVE(SetFilterStr);
  RESOLVE(SzcPrepare);
  RESOLVE(SzcExecute);
  RESOLVE(SzcFltDebug);
  RESOLVE(GetVersion);
  if (!SetIIWrapper || !SetFilterStr || !SzcPrepare || !SzcExecute || !SzcFltDebug || !GetVersion) {
    fprintf(stderr, "%s is not a Veltrin library\n", path);
    CloseLibrary(lib);
    return 1;
  }
  shareFreeMem = FindShareFreeMem();
  if (!shareFreeMem) {
    fprintf(stderr, "the library's shared memory module %s is not loaded\n", VELTRIN_SHAREMEM_FILE);
    CloseLibrary(lib);
    return 1;
  }
  printf("library %s\n", GetVersion());

  host.iface.lpVtbl = &kHostVtbl;
  host.refs = 0;
  SetIIWrapper(&host.iface);

  SetFilterStr(kCondition);
  if (!SzcPrepare()) {
    fprintf(stderr, "the condition did not prepare\n");
    ok = 0;
  }
  for (i = 0; ok && i < betCount; ++i) {
    int32_t verdict = SzcExecute(bets[i]);
    printf("%s %s\n", bets[i],
           verdict == VELTRIN_VERDICT_KEEP     ? "keep"
           : verdict == VELTRIN_VERDICT_REMOVE ? "remove"
                                               : "cannot be evaluated");
  }

  /* A record is zeroed before its first use: the library releases what a
   * field holds before filling it. */
  memset(&record, 0, sizeof record);
  if (ok) {
    SzcFltDebug(&record, bets[0], true);
    printf("debug %s: verdict %d, %d failed, %d line(s)\n", bets[0], (int)record.Verdict,
           (int)record.ErrCount, (int)VeltrinCountedLength(record.DebugLines));
    for (i = 0; i < VeltrinCountedLength(record.DebugLines); ++i)
      printf("  condition %d: score %s, %s\n", i + 1,
             record.DebugLines[i].Value ? record.DebugLines[i].Value : "-",
             record.DebugLines[i].Failed ? "failed" : "passed");
  }

  CloseLibrary(lib);
  /* The texts live in the shared memory module, which outlives the library. */
  VeltrinReleaseDebugResult(&record, shareFreeMem);
  if (host.refs != 0) {
    fprintf(stderr, "the library kept %d reference(s) to the host\n", host.refs);
    ok = 0;
  }
  return ok ? 0 : 1;
}
