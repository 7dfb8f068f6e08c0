#pragma once
// Symbols of a library opened with dlopen, for the libraries Tallix loads on
// first use (libcurl, libasound, libedit, libxml2).
#include <dlfcn.h>

// Sets out to the symbol's address (a function or a variable); false when
// the library lacks it.
template <typename T>
bool FindLibrarySymbol(void* library, const char* name, T& out)
{
    out = reinterpret_cast<T>(dlsym(library, name));
    return out != nullptr;
}
