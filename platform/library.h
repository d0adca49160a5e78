#pragma once
// Libraries loaded at run time by name.

namespace platform {

using LibraryHandle = void*;
using EntryPoint = void*;

// The loaded library, or nullptr. A library once loaded stays loaded.
LibraryHandle loadLibrary(const char* name);

// The library's entry point of that exact name, or nullptr.
EntryPoint findEntryPoint(LibraryHandle library, const char* name);

}  // namespace platform
