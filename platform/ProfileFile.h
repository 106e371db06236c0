#pragma once
// Profile-file port: a Windows INI text file read and written key by key. Writing one key
// leaves every other section, key and line of the file as it was.
#include <memory>
#include <string>

namespace kestova {

class IProfileFile {
public:
    virtual ~IProfileFile() = default;

    // The value of `key` in `section` of the file at `path`, blanks around it removed;
    // `fallback` when the file, the section or the key is absent. Names ignore letter case.
    virtual std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                                   const std::string& fallback) = 0;
    // Sets `key` in `section`, creating the file, section or key as needed. Raises
    // kestova::Exception "Unable to write to <path>" when the file cannot be written.
    virtual void WriteString(const std::string& path, const std::string& section, const std::string& key,
                             const std::string& value) = 0;
};

// The system's profile functions on Windows; elsewhere the text implementation, same rules.
std::shared_ptr<IProfileFile> CreateOsProfileFile();

// The port settings use: the one installed, else the OS's (made on first use).
std::shared_ptr<IProfileFile> ProfileFile();
void SetProfileFile(std::shared_ptr<IProfileFile> profileFile);

}  // namespace kestova
