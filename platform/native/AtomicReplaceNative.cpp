#include "platform/AtomicReplace.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kestova {

// rename() replaces an existing destination atomically on POSIX file systems.
bool ReplaceAtomically(const std::string& from, const std::string& to, std::string& error) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    error = std::strerror(errno);
    return false;
}

}  // namespace kestova
