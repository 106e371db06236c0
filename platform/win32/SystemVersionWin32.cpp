// RtlGetVersion, since GetVersionEx answers 6.2 to a program without a manifest naming
// Windows 10, and Outlook's names none for its add-ins.
#include <windows.h>

#include "platform/SystemVersion.h"

namespace kestova {

std::string SystemVersion() {
    using TRtlGetVersion = LONG(WINAPI*)(OSVERSIONINFOW*);
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const auto get = ntdll ? reinterpret_cast<TRtlGetVersion>(
                                 reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                           : nullptr;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!get || get(&info) != 0) return "Windows (version unknown)";
    return "Windows " + std::to_string(info.dwMajorVersion) + "." + std::to_string(info.dwMinorVersion) + "." +
           std::to_string(info.dwBuildNumber);
}

}  // namespace kestova
