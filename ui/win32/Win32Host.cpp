#include "ui/win32/Win32Host.h"

#include "ui/Form.h"
#include "ui/win32/FormWindow.h"
#include "platform/win32/WideText.h"

#include <algorithm>

namespace kestova {

namespace {

// Disables every other enabled top-level window the thread shows, as an application's modal
// dialog does, and enables exactly those again.
class TDisabledThreadWindows {
public:
    explicit TDisabledThreadWindows(HWND modal) : modal_(modal) {
        EnumThreadWindows(GetCurrentThreadId(), &TDisabledThreadWindows::Disable, reinterpret_cast<LPARAM>(this));
    }
    ~TDisabledThreadWindows() { Restore(); }
    TDisabledThreadWindows(const TDisabledThreadWindows&) = delete;
    TDisabledThreadWindows& operator=(const TDisabledThreadWindows&) = delete;

    void Restore() {
        for (HWND window : disabled_)
            if (IsWindow(window)) EnableWindow(window, TRUE);
        disabled_.clear();
    }

private:
    static BOOL CALLBACK Disable(HWND window, LPARAM self) {
        auto* windows = reinterpret_cast<TDisabledThreadWindows*>(self);
        if (window != windows->modal_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
            EnableWindow(window, FALSE);
            windows->disabled_.push_back(window);
        }
        return TRUE;
    }

    HWND modal_;
    std::vector<HWND> disabled_;
};

class TShownEntry {
public:
    using TList = std::vector<std::pair<TForm*, TFormWindow*>>;
    TShownEntry(TList& list, TForm& form, TFormWindow& window) : list_(list) {
        list_.emplace_back(&form, &window);
    }
    ~TShownEntry() { list_.pop_back(); }
    TShownEntry(const TShownEntry&) = delete;
    TShownEntry& operator=(const TShownEntry&) = delete;

private:
    TList& list_;
};

// Answers false when the thread is asked to quit; the quit message is put back for the
// loop further out.
bool PumpOne(TFormWindow& window) {
    HWND dialog = window.Handle();
    MSG msg;
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (got < 0) return false;
    const bool ours = msg.hwnd == dialog || IsChild(dialog, msg.hwnd);
    if (ours && window.PreTranslate(msg)) return true;
    if (!IsDialogMessageW(dialog, &msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

int TWin32Host::RunModal(TForm& form) {
    const HWND owner = OwnerWindowFor(form);
    TFormWindow window(form, owner);
    TShownEntry entry(shown_, form, window);
    TDisabledThreadWindows disabled(window.Handle());
    window.Show();
    while (form.ModalResult() == mrNone)
        if (!PumpOne(window)) form.SetModalResult(mrCancel);
    // Enabled before the hide, so the system hands the activation back to the owner rather
    // than to some other window.
    disabled.Restore();
    ShowWindow(window.Handle(), SW_HIDE);
    if (owner && IsWindow(owner)) SetActiveWindow(owner);
    return form.ModalResult();
}

int TWin32Host::ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxW(GetActiveWindow(), win32::Widen(text).c_str(), win32::Widen(caption).c_str(),
                       flags | MB_TASKMODAL);
}

TFormWindow* TWin32Host::WindowOf(const TForm& form) const {
    const auto it = std::find_if(shown_.begin(), shown_.end(), [&](const auto& entry) { return entry.first == &form; });
    return it == shown_.end() ? nullptr : it->second;
}

void TWin32Host::BringToFront(const TForm& form) const {
    if (const TFormWindow* window = WindowOf(form)) SetForegroundWindow(GetLastActivePopup(window->Handle()));
}

void TWin32Host::CloseAll() {
    const auto shown = shown_;  // a close handler may end or start a run
    for (auto entry = shown.rbegin(); entry != shown.rend(); ++entry) {
        entry->first->Close();
        // Called from a sent message, maybe: the loop sees the result once GetMessage returns.
        PostMessageW(entry->second->Handle(), WM_NULL, 0, 0);
    }
}

HWND TWin32Host::OwnerWindowFor(const TForm& form) const {
    if (form.OwnerForm())
        if (TFormWindow* owner = WindowOf(*form.OwnerForm())) return owner->Handle();
    return GetActiveWindow();
}

}  // namespace kestova
