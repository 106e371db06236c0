#pragma once
// The artwork lives in the module this code is linked into (zelt.dll, or a test program),
// which is not the process's executable when the add-in runs inside Outlook.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kestova {

HMODULE ResourceModule();

// An RCDATA resource's bytes; empty when the module has none of that name.
std::vector<uint8_t> ResourceBytes(const std::string& name);

}  // namespace kestova
