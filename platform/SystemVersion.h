#pragma once
// The operating system's version as a helpdesk reads it, e.g. "Windows 10.0.19045".
#include <string>

namespace kestova {

std::string SystemVersion();

}  // namespace kestova
