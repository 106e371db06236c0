#include "platform/AtomicReplace.h"

#include "platform/win32/WideText.h"

#include <windows.h>

#include <memory>

namespace kestova {

namespace {

std::string SystemText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
        reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
    if (length == 0) return "Windows error " + std::to_string(code);
    std::wstring message(text, length);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return win32::Narrow(message);
}

}  // namespace

// Within one volume MoveFileExW renames in place, so the destination is replaced in one step;
// write-through makes the rename itself reach the disk before it answers.
bool ReplaceAtomically(const std::string& from, const std::string& to, std::string& error) {
    if (MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    error = SystemText(GetLastError());
    return false;
}

}  // namespace kestova
