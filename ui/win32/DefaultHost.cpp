#include "ui/Host.h"
#include "ui/win32/Win32Host.h"

namespace kestova {

THost& DefaultHost() {
    static TWin32Host host;
    return host;
}

}  // namespace kestova
