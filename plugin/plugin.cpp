// The library's entry points and its one filter object.
//
// The exports are thin: each converts the host's arguments, calls one
// operation of the filter object and hands back the result. The object is
// created when the library loads and destroyed when it unloads; every export
// copes with its absence (a failed creation) by answering as for an empty
// filter. Nothing thrown inside may reach the host.
#include "plugin/exports.h"

#include "common/texts.h"
#include "common/version.h"
#include "filter/pro_grade.h"
#include "plugin/lifetime.h"
#include "sharemem/sharemem.h"

namespace veltrin {
namespace {

// What the name and text getters answer when there is no filter object.
constexpr char kEmpty[] = "";

TProGradeFilter* g_filter = nullptr;

}  // namespace

bool CreateFilterObject() noexcept {
  try {
    if (!g_filter) g_filter = TProGradeFilter::New();
    return true;
  } catch (...) {
    g_filter = nullptr;
    return false;
  }
}

void DestroyFilterObject(bool processEnding) noexcept {
  TProGradeFilter* filter = g_filter;
  g_filter = nullptr;
  if (!filter) return;
  // While the process ends the host's objects and runtime may already be
  // gone: forget its interface unreleased and free only what is ours.
  if (processEnding) filter->IIWrapper.Detach();
  // Releases the condition lines, the prepared tables and the host interface.
  filter->Free();
}

}  // namespace veltrin

using veltrin::g_filter;
using veltrin::kEmpty;

extern "C" {

VELTRIN_PLUGIN_API void VELTRIN_API SetIIWrapper(veltrin::ICallWrapper* wrapper) {
  try {
    // From now on there is something of the host's to keep away from at
    // exit; armed here, while the program runs, rather than at load, which
    // may precede main when a host links the library.
    if (wrapper) veltrin::WatchProcessExit();
    if (g_filter) g_filter->SetCallWrapper(wrapper);
  } catch (...) {
  }
}

VELTRIN_PLUGIN_API const char* VELTRIN_API GetFilterName() {
  // The name never changes after construction, so the pointer stays valid.
  return g_filter ? g_filter->FilterName.c_str() : kEmpty;
}

VELTRIN_PLUGIN_API const char* VELTRIN_API GetVersion() { return veltrin::kVersionText; }

VELTRIN_PLUGIN_API const char* VELTRIN_API GetAuthor() { return veltrin::kTxtAuthor; }

VELTRIN_PLUGIN_API const char* VELTRIN_API GetFilterStr() {
  return g_filter ? g_filter->FilterStr.c_str() : kEmpty;
}

VELTRIN_PLUGIN_API void VELTRIN_API SetFilterStr(const char* text) {
  if (!g_filter) return;
  try {
    g_filter->FilterStr = text ? text : "";
  } catch (...) {
    // Out of memory: the old text stays, unchanged and whole.
  }
}

VELTRIN_PLUGIN_API bool VELTRIN_API SzcPrepare() {
  if (!g_filter) return false;
  try {
    return g_filter->PrepareRun();
  } catch (...) {
    return false;
  }
}

VELTRIN_PLUGIN_API int32_t VELTRIN_API SzcExecute(const char* bet) {
  if (!g_filter) return veltrin::kBetInvalid;
  try {
    return g_filter->Execute(bet ? bet : "");
  } catch (...) {
    return veltrin::kBetInvalid;
  }
}

VELTRIN_PLUGIN_API void VELTRIN_API SzcFltDebug(veltrin::TDebugResult* result, const char* bet,
                                                bool showAll) {
  if (!result || !g_filter) return;
  try {
    g_filter->Debug(bet ? bet : "", showAll, result);
  } catch (...) {
  }
}

VELTRIN_PLUGIN_API bool VELTRIN_API SzcOpen(int32_t /*unused*/) {
  // True whatever happens: the host learns of a change only by reading the
  // condition text back.
  if (!g_filter) return true;
  try {
    g_filter->Open();
  } catch (...) {
  }
  return true;
}

VELTRIN_PLUGIN_API void* VELTRIN_API VeltrinCreateFilter() {
  try {
    veltrin::TProGradeFilter* filter = veltrin::TProGradeFilter::New();
    try {
      if (g_filter) filter->FilterStr = g_filter->FilterStr;
    } catch (...) {
      filter->Free();
      return nullptr;
    }
    // The host sees the slot table of the base class: the same address.
    return static_cast<veltrin::TFilter*>(filter);
  } catch (...) {
    return nullptr;
  }
}

}  // extern "C"
