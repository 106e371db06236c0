#pragma once
// Component loading: applying a form's stored property values to its components. A value
// that a component refuses is reported with the component and property it belongs to.
#include "core/Component.h"
#include "core/Exception.h"

#include <functional>
#include <string>

namespace kestova {

class EReadError : public Exception {
public:
    using Exception::Exception;
};

// Runs `apply`; an error it raises becomes EReadError
// "Error reading <component>.<property>: <message>".
void ReadProperty(const TComponent& component, const std::string& property, const std::function<void()>& apply);

}  // namespace kestova
