#pragma once
// Policies port: values an administrator fixes for everyone through Group Policy, under
// Software\Policies\Kestova\Outlook in the machine's registry (HKLM) and the user's (HKCU).
#include <memory>
#include <optional>
#include <string>

namespace kestova {

enum class TPolicyScope { Machine, User };

struct TPolicyValue {
    std::string Text;  // a number as signed decimal text
    TPolicyScope Scope;
};

class IPolicies {
public:
    virtual ~IPolicies() = default;

    // The value named `name`, the machine's before the user's; nothing when neither sets it or
    // it is neither a number nor text.
    virtual std::optional<TPolicyValue> Read(const std::string& name) = 0;
};

// The registry on Windows; elsewhere none are set.
std::shared_ptr<IPolicies> CreateOsPolicies();

// The port settings use: the one installed, else the OS's (made on first use).
std::shared_ptr<IPolicies> Policies();
void SetPolicies(std::shared_ptr<IPolicies> policies);

}  // namespace kestova
