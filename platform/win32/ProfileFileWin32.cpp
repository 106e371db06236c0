// The profile port on Windows: the system's own profile functions, which also keep every
// other key of the file. The path is always absolute, so the file is never looked for in the
// Windows folder.
#include <windows.h>

#include "core/Exception.h"
#include "platform/ProfileFile.h"

#include <vector>

namespace kestova {

namespace {

std::wstring Wide(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

std::string Narrow(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
    if (size > 1) WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

class TProfileFileWin32 : public IProfileFile {
public:
    std::string ReadString(const std::string& path, const std::string& section, const std::string& key,
                           const std::string& fallback) override {
        // A value longer than this is cut, as with any fixed buffer given to the system.
        std::vector<wchar_t> value(2048);
        GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(fallback).c_str(), value.data(),
                                 static_cast<DWORD>(value.size()), Wide(path).c_str());
        return Narrow(value.data());
    }

    void WriteString(const std::string& path, const std::string& section, const std::string& key,
                     const std::string& value) override {
        if (!WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                        Wide(path).c_str()))
            throw Exception("Unable to write to " + path);
    }
};

}  // namespace

std::shared_ptr<IProfileFile> CreateOsProfileFile() { return std::make_shared<TProfileFileWin32>(); }

}  // namespace kestova
