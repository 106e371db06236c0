// The shell port on Windows: ShellExecute with the "open" verb. Its result is not looked at,
// since a link that finds no handler is not reported.
#include <windows.h>

#include <shellapi.h>

#include "platform/Shell.h"
#include "platform/win32/WideText.h"

namespace kestova {

namespace {

class TShellWin32 : public IShell {
public:
    void Open(const std::string& target) override {
        ShellExecuteW(nullptr, L"open", win32::Widen(target).c_str(), L"", L"", SW_SHOWNORMAL);
    }
};

}  // namespace

std::shared_ptr<IShell> CreateOsShell() { return std::make_shared<TShellWin32>(); }

}  // namespace kestova
