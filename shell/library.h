#pragma once
// Libraries loaded at run time: a load result of 32 or less counts as missing.
#include <windows.h>

#include <cstdint>

inline bool LibraryLoaded(HMODULE module) { return reinterpret_cast<uintptr_t>(module) > 32; }

// The named entry point as a typed function pointer, or null.
template <typename TFunction>
TFunction GetProcedure(HMODULE module, const char* name) {
    return reinterpret_cast<TFunction>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
