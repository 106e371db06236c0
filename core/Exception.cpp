#include "core/Exception.h"

namespace kestova {

EFOpenError::EFOpenError(const std::string& path, const std::string& systemText)
    : Exception("Cannot open file \"" + path + "\". " + systemText) {}

EFCreateError::EFCreateError(const std::string& path, const std::string& systemText)
    : Exception("Cannot create file \"" + path + "\". " + systemText) {}

}  // namespace kestova
