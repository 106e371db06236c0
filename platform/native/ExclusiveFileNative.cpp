#include "platform/ExclusiveFile.h"

namespace kestova {

// POSIX has no share modes; the file is simply created.
std::FILE* CreateExclusiveFile(const std::string& path) { return std::fopen(path.c_str(), "w+b"); }

}  // namespace kestova
