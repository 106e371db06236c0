// The file port on Windows: the C runtime's wide calls and DeleteFileW. The narrow ones
// would read a UTF-8 path in the ANSI code page.
#include <windows.h>

#include "platform/Files.h"
#include "platform/win32/WideText.h"

namespace kestova {

TFile OpenFile(const std::string& path, const char* mode) {
    return TFile(_wfopen(win32::Widen(path).c_str(), win32::Widen(mode).c_str()));
}

bool RemoveFile(const std::string& path) { return DeleteFileW(win32::Widen(path).c_str()) != FALSE; }

}  // namespace kestova
