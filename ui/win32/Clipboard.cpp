// The Win32 host's clipboard: Unicode text, which every program pastes.
#include "ui/win32/Win32Host.h"

#include "platform/win32/WideText.h"
#include "ui/win32/FormWindow.h"

#include <cstring>
#include <memory>

namespace kestova {

namespace {

// Closes the clipboard it opened. The owner must be a window: opened for none, EmptyClipboard
// leaves the clipboard without an owner and SetClipboardData fails.
class TOpenClipboard {
public:
    explicit TOpenClipboard(HWND owner) : open_(owner && OpenClipboard(owner) != FALSE) {}
    ~TOpenClipboard() {
        if (open_) CloseClipboard();
    }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
    explicit operator bool() const { return open_; }

private:
    const bool open_;
};

struct TGlobalFree {
    void operator()(void* memory) const { GlobalFree(memory); }
};

}  // namespace

bool TWin32Host::CopyText(const TForm& owner, const std::string& text) {
    const std::wstring wide = win32::Widen(text);
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<void, TGlobalFree> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = GlobalLock(memory.get());
    if (!target) return false;
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory.get());
    const TFormWindow* window = WindowOf(owner);
    const TOpenClipboard clipboard(window ? window->Handle() : nullptr);
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard owns it now
    return true;
}

}  // namespace kestova
