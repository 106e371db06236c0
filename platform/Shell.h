#pragma once
// Shell port: hands a document or web address to whatever the system opens it with. Nothing
// comes back: a missing browser, viewer or file is not the caller's business.
#include <memory>
#include <string>

namespace kestova {

class IShell {
public:
    virtual ~IShell() = default;

    // The "open" verb on `target`: no owner window, no parameters, no working folder, shown
    // normally.
    virtual void Open(const std::string& target) = 0;
};

// ShellExecute on Windows; elsewhere the simulated shell, which only records.
std::shared_ptr<IShell> CreateOsShell();

// The port the links use: the one installed, else the OS's (made on first use).
std::shared_ptr<IShell> Shell();
void SetShell(std::shared_ptr<IShell> shell);

}  // namespace kestova
