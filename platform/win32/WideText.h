#pragma once
// UTF-8 <-> UTF-16 for the wide Win32 calls: the system keeps its texts in UTF-8 strings.
// One place for every layer above the platform that talks to wide Win32 functions.
#include <string>

namespace kestova::win32 {

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace kestova::win32
