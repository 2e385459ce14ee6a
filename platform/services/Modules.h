#pragma once
// LoadLibrary and GetProcAddress for the support modules of the original
// installation that are built into the program (the files that
// platform/files' program folder lists as present). Nothing is ever loaded
// from disk: a module is a table of named exports compiled in here. Loading
// a module again answers the same handle and counts; FreeLibrary undoes one
// load, and the handle goes stale with the last.

#include "platform/base/Types.h"

#include <string_view>

// Declared as returning void, not INT_PTR: every caller casts it to the
// export's real type, and GCC accepts that cast from this type alone without
// a warning.
typedef void (*FARPROC)();

// A path (Windows form; a bare name is taken against the current folder)
// of a built-in module; NULL with ERROR_MOD_NOT_FOUND for anything else.
HMODULE LoadLibrary(LPCSTR lpLibFileName);
#define LoadLibraryA LoadLibrary

// Exports are found by name only, with case; an ordinal (a value below
// 0x10000 in place of the name) finds nothing. NULL with
// ERROR_PROC_NOT_FOUND, or ERROR_INVALID_HANDLE for a handle that is not
// loaded.
FARPROC GetProcAddress(HMODULE hModule, LPCSTR lpProcName);

// FALSE with ERROR_INVALID_HANDLE for a handle that is not loaded.
BOOL FreeLibrary(HMODULE hLibModule);

namespace platform {

// How many loads of the module with this file name ("sndkit32.dll") are
// outstanding.
int BuiltInModuleLoadCount(std::string_view fileName);

} // namespace platform
