#include "platform/Policies.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IPolicies> installed(&CreateOsPolicies);
}

std::shared_ptr<IPolicies> Policies() { return installed.Get(); }
void SetPolicies(std::shared_ptr<IPolicies> policies) { installed.Set(std::move(policies)); }

}  // namespace kestova
