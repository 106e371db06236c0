#pragma once
// Where the recording and the user's settings go.
#include <string>

namespace kestova {

// The program folder (AppPath) when a file can be created there; otherwise the user's own
// data folder, or the program folder still when the user has none.
std::string DataFolder();

}  // namespace kestova
