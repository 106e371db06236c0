#include "ui/Host.h"

namespace kestova {

namespace {
// Window-thread only, like the hosts themselves.
THost* installed = nullptr;
}  // namespace

THost& Host() { return installed ? *installed : DefaultHost(); }

THostScope::THostScope(THost& host) : previous_(installed) { installed = &host; }

THostScope::~THostScope() { installed = previous_; }

}  // namespace kestova
