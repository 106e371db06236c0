#include "ui/Reader.h"

#include <cstdio>
#include <vector>

namespace kestova {

namespace {

std::string Format(const char* pattern, const std::string& a, const std::string& b, const std::string& c,
                   const std::string& d) {
    const int size = std::snprintf(nullptr, 0, pattern, a.c_str(), b.c_str(), c.c_str(), d.c_str());
    std::vector<char> text(static_cast<size_t>(size) + 1);
    std::snprintf(text.data(), text.size(), pattern, a.c_str(), b.c_str(), c.c_str(), d.c_str());
    return std::string(text.data(), static_cast<size_t>(size));
}

}  // namespace

void ReadProperty(const TComponent& component, const std::string& property, const std::function<void()>& apply) {
    try {
        apply();
    } catch (const std::exception& e) {
        // An unnamed component has no dot either.
        const std::string& name = component.Name();
        throw EReadError(Format("Error reading %s%s%s: %s", name, name.empty() ? "" : ".", property, e.what()));
    }
}

}  // namespace kestova
