#include "ui/Host.h"
#include "ui/headless/HeadlessHost.h"

namespace kestova {

// Without a window system, forms run headless.
THost& DefaultHost() {
    static THeadlessHost host;
    return host;
}

}  // namespace kestova
