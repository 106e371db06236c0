#include "platform/Policies.h"

namespace kestova {

namespace {
// Linux has no Group Policy.
class TNoPolicies : public IPolicies {
public:
    std::optional<TPolicyValue> Read(const std::string&) override { return std::nullopt; }
};
}  // namespace

std::shared_ptr<IPolicies> CreateOsPolicies() { return std::make_shared<TNoPolicies>(); }

}  // namespace kestova
