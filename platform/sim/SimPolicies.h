#pragma once
// Policies as a test sets them, by name.
#include "platform/Policies.h"

#include <map>

namespace kestova {

class TSimPolicies : public IPolicies {
public:
    std::optional<TPolicyValue> Read(const std::string& name) override {
        const auto found = Values.find(name);
        if (found == Values.end()) return std::nullopt;
        return found->second;
    }

    std::map<std::string, TPolicyValue> Values;
};

}  // namespace kestova
