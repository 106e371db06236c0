#include "tools/outlook_sim/Application.h"

#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/DispIds.h"

namespace kestova::sim {

using namespace outlook;

namespace {

const long olMailItem = 0;
const long olContactItem = 2;

template <class TWindows>
void CollectTagged(const TWindows& windows, const std::wstring& tag, std::vector<com::ComPtr<TSimButton>>& found) {
    for (const auto& window : windows.Items())
        for (const auto& bar : window->CommandBars().Items())
            for (const auto& button : bar->Controls().Items())
                if (button->Tag() == tag) found.push_back(button);
}

}  // namespace

TSimApplication::TSimApplication()
    : TAutoObject({IID__Application}, &DIID_ApplicationEvents), inspectors_(com::Make<TSimInspectors>()),
      explorers_(com::Make<TSimExplorers>()) {
    inspectors_->OnShowing = [this](TSimWindow& window) { ribbons_.Showing(window); };
    explorers_->OnShowing = [this](TSimWindow& window) { ribbons_.Showing(window); };
    inspectors_->OnClosed = [this](const TSimWindow& window) { ribbons_.Closed(window); };
    explorers_->OnClosed = [this](const TSimWindow& window) { ribbons_.Closed(window); };
    Property(dispid::ApplicationName, L"Name", [](const TArgs&) { return com::TVariant(L"Outlook"); });
    Property(dispid::ApplicationVersion, L"Version", Read(version_));
    Property(dispid::ApplicationInspectors, L"Inspectors", [this](const TArgs&) { return com::TVariant(inspectors_->AsDispatch()); });
    Property(dispid::ApplicationExplorers, L"Explorers", [this](const TArgs&) { return com::TVariant(explorers_->AsDispatch()); });
    Method(dispid::ApplicationCreateItem, L"CreateItem", {Required(L"ItemType", VT_I4)}, [](const TArgs& args) {
        const long type = args.At(0).AsLong();
        if (type != olMailItem && type != olContactItem) throw com::EOleError(E_NOTIMPL, "item type not simulated");
        return com::TVariant(com::Make<TSimItem>(type == olMailItem ? TItemKind::Mail : TItemKind::Contact)->AsDispatch());
    });
}

int TSimApplication::Major() const { return _wtoi(version_.c_str()); }

std::vector<TSimWindow*> TSimApplication::OpenWindows() const {
    std::vector<TSimWindow*> open;
    for (const auto& window : inspectors_->Items()) open.push_back(window.Get());
    for (const auto& window : explorers_->Items()) open.push_back(window.Get());
    return open;
}

void TSimApplication::Owned(std::vector<const TAutoObject*>& out) const {
    out.push_back(inspectors_.Get());
    out.push_back(explorers_.Get());
    ribbons_.Owned(out);
}

void TSimApplication::Quit() { Fire(dispApplicationQuit); }

bool TSimApplication::ItemSend(IDispatch* item) {
    return FireCancellable(dispApplicationItemSend, item);
}


std::pair<size_t, bool> TSimApplication::Click(TSimButton& clicked) {
    std::vector<com::ComPtr<TSimButton>> routed;
    if (clicked.Tag().empty()) {
        routed.emplace_back(&clicked);
    } else {
        CollectTagged(Inspectors(), clicked.Tag(), routed);
        CollectTagged(Explorers(), clicked.Tag(), routed);
    }
    bool cancelDefault = false;
    for (const auto& button : routed) cancelDefault = button->RaiseClick(clicked.AsDispatch()) || cancelDefault;
    return {routed.size(), cancelDefault};
}

}  // namespace kestova::sim
