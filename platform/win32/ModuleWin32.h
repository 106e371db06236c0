#pragma once
// The loaded module that holds some code, and its file name, for the library port and for
// the add-in's COM server, which needs its own DLL's path.
#include <windows.h>

#include <string>

namespace kestova::win32 {

// The module whose image holds `code`, without taking a reference; null when none does.
HMODULE ModuleOf(const void* code);

// The module's full path, however long. Empty on failure, with the reason in `error` if given,
// as GetLastError told it right after the failing call.
std::wstring ModulePath(HMODULE module, DWORD* error = nullptr);

}  // namespace kestova::win32
