#pragma once
// The program folder and the maker's addresses, shared by the recorder window, the settings
// and the add-in's buttons.
#include <string>

namespace kestova {

// The folder of the add-in library with one trailing backslash; empty until the add-in sets it.
std::string AppPath();
void SetAppPath(const std::string& path);

// The maker's web domain (also the recordings' ID3 artist).
extern const char* const MakerDomain;

}  // namespace kestova
