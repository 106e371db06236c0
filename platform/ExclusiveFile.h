#pragma once
// Creates (or truncates) a file for reading and writing that no other opener may share until
// it is closed: a recording in progress cannot be played or attached half-written.
#include <cstdio>
#include <string>

namespace kestova {

// Null on failure, with errno set.
std::FILE* CreateExclusiveFile(const std::string& path);

}  // namespace kestova
