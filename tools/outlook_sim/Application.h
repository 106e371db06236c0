#pragma once
// Outlook's Application object: the root the add-in is handed, with the window collections.
#include <utility>

#include "tools/outlook_sim/AutoObject.h"
#include "tools/outlook_sim/Ribbon.h"
#include "tools/outlook_sim/Windows.h"

namespace kestova::sim {

class TSimApplication : public TAutoObject {
public:
    TSimApplication();
    TSimInspectors& Inspectors() const { return *inspectors_.Get(); }
    TSimExplorers& Explorers() const { return *explorers_.Get(); }

    // Raises ItemSend; answers whether a handler cancelled the send.
    bool ItemSend(IDispatch* item);
    // Raises Application.Quit, as Outlook does first when it shuts down.
    void Quit();
    // A click on `clicked`: Click is raised on every button of every window whose tag is the
    // clicked one's, as Office routes it (on the clicked one alone when it has no tag).
    // Answers how many got it, and whether a handler set CancelDefault.
    std::pair<size_t, bool> Click(TSimButton& clicked);
    void Owned(std::vector<const TAutoObject*>& out) const override;

    // The Outlook played: "16.0" (the default), "12.0", "11.0"... as Application.Version answers.
    void SetVersion(const std::wstring& version) { version_ = version; }
    int Major() const;
    TSimRibbons& Ribbons() { return ribbons_; }
    std::vector<TSimWindow*> OpenWindows() const;

private:
    std::wstring version_ = L"16.0.0.0";
    TSimRibbons ribbons_{[this] { return Major(); }};
    com::ComPtr<TSimInspectors> inspectors_;
    com::ComPtr<TSimExplorers> explorers_;
};

}  // namespace kestova::sim
