#pragma once
// The models hold UTF-8; windows take UTF-16.
#include <string>

namespace kestova {

std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

}  // namespace kestova
