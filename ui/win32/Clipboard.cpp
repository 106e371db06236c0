// The Win32 host's clipboard: Unicode text, which every program pastes.
#include "ui/win32/Win32Host.h"

#include "platform/win32/WideText.h"

#include <cstring>
#include <memory>

namespace kestova {

namespace {

// Closes the clipboard it opened.
class TOpenClipboard {
public:
    TOpenClipboard() : open_(OpenClipboard(nullptr) != FALSE) {}
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

bool TWin32Host::CopyText(const std::string& text) {
    const std::wstring wide = win32::Widen(text);
    const SIZE_T bytes = (wide.size() + 1) * sizeof(wchar_t);
    std::unique_ptr<void, TGlobalFree> memory(GlobalAlloc(GMEM_MOVEABLE, bytes));
    if (!memory) return false;
    void* target = GlobalLock(memory.get());
    if (!target) return false;
    std::memcpy(target, wide.c_str(), bytes);
    GlobalUnlock(memory.get());
    const TOpenClipboard clipboard;
    if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, memory.get())) return false;
    memory.release();  // the clipboard owns it now
    return true;
}

}  // namespace kestova
