#pragma once
// The framework's base exception: every failure the system raises carries only a message.
#include <stdexcept>
#include <string>

namespace kestova {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

// A file that cannot be opened for reading: "Cannot open file "<path>". <system text>".
class EFOpenError : public Exception {
public:
    EFOpenError(const std::string& path, const std::string& systemText);
};

// A file that cannot be created: "Cannot create file "<path>". <system text>".
class EFCreateError : public Exception {
public:
    EFCreateError(const std::string& path, const std::string& systemText);
};

}  // namespace kestova
