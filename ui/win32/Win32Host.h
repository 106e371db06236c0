#pragma once
// The Win32 host: each modal form gets a real window, owned by the owner form's window or the
// thread's active window (e.g. the Outlook item window). While it runs, every other window of
// the thread is disabled; the owner is active again afterwards. The loop pumps all of the
// thread's messages, so calls posted to the window thread run meanwhile.
#include "ui/Host.h"

#include <windows.h>

#include <vector>

namespace kestova {

class TForm;
class TFormWindow;

class TWin32Host : public THost {
public:
    int RunModal(TForm& form) override;
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

    // The window of a form in a modal run, for tests that drive real windows; null otherwise.
    TFormWindow* WindowOf(const TForm& form) const;
    void BringToFront(const TForm& form) const override;
    void CloseAll() override;
    bool CopyText(const TForm& owner, const std::string& text) override;

private:
    HWND OwnerWindowFor(const TForm& form) const;

    std::vector<std::pair<TForm*, TFormWindow*>> shown_;
};

}  // namespace kestova
