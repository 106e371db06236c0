#include "ui/win32/Win32Host.h"

#include "ui/Form.h"
#include "ui/win32/FormWindow.h"
#include "platform/win32/WideText.h"

#include <algorithm>

namespace kestova {

namespace {

// Disables a window for its lifetime and enables it again before the modal window goes, so
// the system activates the owner rather than some other application.
class TDisabledOwner {
public:
    explicit TDisabledOwner(HWND owner) : owner_(owner && IsWindowEnabled(owner) ? owner : nullptr) {
        if (owner_) EnableWindow(owner_, FALSE);
    }
    ~TDisabledOwner() {
        if (owner_) EnableWindow(owner_, TRUE);
    }
    TDisabledOwner(const TDisabledOwner&) = delete;
    TDisabledOwner& operator=(const TDisabledOwner&) = delete;

private:
    HWND owner_;
};

class TShownEntry {
public:
    using TList = std::vector<std::pair<const TForm*, TFormWindow*>>;
    TShownEntry(TList& list, const TForm& form, TFormWindow& window) : list_(list) {
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
    {
        TDisabledOwner disabled(owner);
        window.Show();
        while (form.ModalResult() == mrNone)
            if (!PumpOne(window)) form.SetModalResult(mrCancel);
        // Hidden before the owner is enabled again, so the owner gets the activation.
        ShowWindow(window.Handle(), SW_HIDE);
    }
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

HWND TWin32Host::OwnerWindowFor(const TForm& form) const {
    if (form.OwnerForm())
        if (TFormWindow* owner = WindowOf(*form.OwnerForm())) return owner->Handle();
    return GetActiveWindow();
}

}  // namespace kestova
