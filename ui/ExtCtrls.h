#pragma once
// A picture: an image resource drawn at its bounds, clickable.
#include "ui/Control.h"

#include <string>

namespace kestova {

class TImage : public TControl {
public:
    using TControl::TControl;

    // A JPEG resource of the module; hosts without pixels use only the bounds.
    const std::string& ResourceName() const { return resourceName_; }
    void SetResourceName(const std::string& name) { resourceName_ = name; }

private:
    std::string resourceName_;
};

}  // namespace kestova
