// Calling convention and symbol visibility shared by every binary that meets
// at the host boundary: the library, the shared memory manager and hosts.
// The one product header outside port/ with a platform conditional: the
// shared memory module, which sits below port/, needs these too, and the
// contract's macros belong together.
#pragma once

#if defined(_WIN32)
#define VELTRIN_API __stdcall
#define VELTRIN_EXPORT __declspec(dllexport)
#define VELTRIN_IMPORT __declspec(dllimport)
#else
#define VELTRIN_API
#define VELTRIN_EXPORT __attribute__((visibility("default")))
#define VELTRIN_IMPORT
#endif
