// The profile port on Windows: the system's own profile functions, which also keep every
// other key of the file. The path is always absolute, so the file is never looked for in the
// Windows folder.
#include <windows.h>

#include "core/Exception.h"
#include "platform/ProfileFile.h"
#include "platform/win32/WideText.h"

#include <vector>

namespace kestova {

namespace {

class TProfileFileWin32 : public IProfileFile {
public:
    std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        // A value longer than this is cut, as with any fixed buffer given to the system.
        std::vector<wchar_t> value(2048);
        GetPrivateProfileStringW(win32::Widen(section).c_str(), win32::Widen(key).c_str(),
                                 win32::Widen(fallback).c_str(), value.data(), static_cast<DWORD>(value.size()),
                                 win32::Widen(path).c_str());
        return win32::Narrow(value.data());
    }

    void WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override {
        if (!WritePrivateProfileStringW(win32::Widen(section).c_str(), win32::Widen(key).c_str(),
                                        win32::Widen(value).c_str(), win32::Widen(path).c_str()))
            throw Exception("Unable to write to " + path);
    }
};

}  // namespace

std::shared_ptr<IProfileFile> CreateOsProfileFile() { return std::make_shared<TProfileFileWin32>(); }

}  // namespace kestova
