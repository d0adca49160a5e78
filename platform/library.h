#pragma once
// Libraries loaded at run time by name.
#include <cstdint>

namespace platform {

using LibraryHandle = void*;
using EntryPoint = void*;

// The loaded library, or nullptr. A library once loaded stays loaded.
LibraryHandle loadLibrary(const char* name);

// The library's entry point of that exact name, or nullptr.
EntryPoint findEntryPoint(LibraryHandle library, const char* name);

// The calling thread's last error number, as the last failed system call left
// it; read it right after that call, before any other call can overwrite it.
std::uint32_t lastError();

}  // namespace platform
