#pragma once
// Dynamic library port: load a library file from a named folder or from the system's own
// library folder (never through a search order that includes the current directory or PATH),
// look up its entry points, and find the folder of the module that holds a piece of code.
#include <string>

namespace kestova {

// Owns one loaded library and releases it when destroyed. Empty when a load failed.
class TLibrary {
public:
    TLibrary() = default;
    ~TLibrary();
    TLibrary(TLibrary&& other) noexcept;
    TLibrary& operator=(TLibrary&& other) noexcept;
    TLibrary(const TLibrary&) = delete;
    TLibrary& operator=(const TLibrary&) = delete;

    explicit operator bool() const { return handle_ != nullptr; }

    // The entry point exported under `name`, or null when the library lacks it.
    void* Symbol(const char* name) const;
    // Full path of the file the library was loaded from; empty when nothing is loaded.
    std::string FileName() const;
    void Reset();

private:
    explicit TLibrary(void* handle) : handle_(handle) {}
    friend TLibrary LoadLibraryIn(const std::string&, const std::string&);
    friend TLibrary LoadSystemLibrary(const std::string&);

    void* handle_ = nullptr;
};

// Loads `fileName` from `folder` (which ends with a path separator) and from nowhere else.
TLibrary LoadLibraryIn(const std::string& folder, const std::string& fileName);

// Loads `fileName` from the system's library folder(s) only.
TLibrary LoadSystemLibrary(const std::string& fileName);

// Folder, ending with a path separator, of the executable or library file that holds `code`.
std::string ModuleFolderOf(const void* code);

}  // namespace kestova
