// The library's exports, stated once. The declarations and function types
// of plugin/exports.h, the loaders' function table (plugin/loader.h), the
// .def file of the Windows link and the version script of the native one
// (cmake/export-list.cmake reads this file) all come from this list; tests
// hold include/veltrin.h and the built library's export table to it.
//
//   X(Name, Kind, StdcallBytes, Result, (Parameters))
//
// Kind is Required for the ten every host resolves and Optional for the
// Veltrin-prefixed ones a host may find missing. StdcallBytes is the "@n"
// decoration of the 32-bit __stdcall symbol (the bytes of the arguments);
// exports.h checks it against the parameters. Keep one entry per line in
// this shape: the build reads it with a regular expression.
#pragma once

// clang-format off
#define VELTRIN_EXPORT_LIST(X) \
  X(SetIIWrapper, Required, 4, void, (veltrin::ICallWrapper* wrapper)) \
  X(GetFilterName, Required, 0, const char*, ()) \
  X(GetVersion, Required, 0, const char*, ()) \
  X(GetAuthor, Required, 0, const char*, ()) \
  X(GetFilterStr, Required, 0, const char*, ()) \
  X(SetFilterStr, Required, 4, void, (const char* text)) \
  X(SzcPrepare, Required, 0, bool, ()) \
  X(SzcExecute, Required, 4, int32_t, (const char* bet)) \
  X(SzcFltDebug, Required, 12, void, (veltrin::TDebugResult* result, const char* bet, bool showAll)) \
  X(SzcOpen, Required, 4, bool, (int32_t unused)) \
  X(VeltrinCreateFilter, Optional, 0, void*, ()) \
  X(VeltrinExplain, Optional, 20, char*, (const char* conditionText, int32_t digits, const char* historyText, int32_t lastDraws, int32_t flags))
// clang-format on
