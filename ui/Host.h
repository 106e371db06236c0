#pragma once
// A host renders forms: it runs a form modally and shows message boxes. The Win32 host makes
// real windows; the headless host lets tests drive forms by name. Hosts live on the thread
// that owns the windows and are used from that thread only.
#include <string>

namespace kestova {

class TForm;

class THost {
public:
    virtual ~THost() = default;
    // Shows `form` (its owner disabled meanwhile) until its modal result is set; answers it.
    virtual int RunModal(TForm& form) = 0;
    // `flags` and the answer use the system's MB_ and ID values (see Dialogs.h).
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned flags) = 0;
    // Brings the window of a form in a modal run to the front, or the modal window shown above
    // it; nothing to do for a host without real windows.
    virtual void BringToFront(const TForm& form) const {}
    // Puts `text` on the clipboard as the user's copy in `owner` would; false when it cannot.
    virtual bool CopyText(const TForm& owner, const std::string& text) { return false; }
    // Ends every modal run through its form's close box, the innermost first.
    virtual void CloseAll() {}
};

// The installed host, or the build's default (Win32 on Windows, headless elsewhere).
THost& Host();
THost& DefaultHost();

// Installs a host for its lifetime, then restores the one before.
class THostScope {
public:
    explicit THostScope(THost& host);
    ~THostScope();
    THostScope(const THostScope&) = delete;
    THostScope& operator=(const THostScope&) = delete;

private:
    THost* previous_;
};

}  // namespace kestova
