#include "platform/SystemVersion.h"

#include <sys/utsname.h>

namespace kestova {

std::string SystemVersion() {
    utsname name{};
    if (uname(&name) != 0) return "unknown";
    return std::string(name.sysname) + " " + name.release;
}

}  // namespace kestova
