#include "tools/outlook_sim/CommandBars.h"

#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/Collection.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

const long msoControlButton = 1;
const long msoBarTop = 1;

}  // namespace

TSimButton::TSimButton(TSimControls* parent, long type, bool temporary)
    : TAutoObject({outlook::IID__CommandBarButton}, &outlook::DIID__CommandBarButtonEvents),
      parent_(parent), type_(type), temporary_(temporary) {
    Property(L"Caption", Read(caption_), Assign(caption_));
    Property(L"Tag", Read(tag_), Assign(tag_));
    Property(L"Style", Read(style_), Assign(style_));
    Property(L"BeginGroup", Read(beginGroup_), Assign(beginGroup_));
    Property(L"Visible", Read(visible_), Assign(visible_));
    Property(L"Type", Read(type_));
    Property(L"Temporary", Read(temporary_));
    Method(L"Execute", {}, [this](const TArgs&) {
        Click();
        return com::TVariant();
    });
    Method(L"Delete", {L"Temporary"}, [this](const TArgs&) {
        if (parent_) parent_->Remove(this);
        return com::TVariant();
    });
}

bool TSimButton::RaiseClick(IDispatch* clicked) {
    return FireCancellable(outlook::dispButtonClick, clicked);
}

TSimControls::TSimControls() : TAutoObject({}, nullptr) {
    Property(L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(L"Item", {L"Index"}, [this](const TArgs& args) {
        return com::TVariant(FindItem(items_, args.At(0), [](TSimButton& b) { return b.Caption(); })->AsDispatch());
    });
    Method(L"Add", {L"Type", L"Id", L"Parameter", L"Before", L"Temporary"}, [this](const TArgs& args) {
        return com::TVariant(Add(args.Long(0, msoControlButton), args.Bool(4, false))->AsDispatch());
    });
}

TSimControls::~TSimControls() {
    OrphanAll(items_);
}

com::ComPtr<TSimButton> TSimControls::Add(long type, bool temporary) {
    if (type != msoControlButton) throw com::EOleError(E_NOTIMPL, "only plain buttons are simulated");
    items_.push_back(com::Make<TSimButton>(this, type, temporary));
    return items_.back();
}

void TSimControls::Remove(const TSimButton* button) {
    RemoveItem(items_, button);
}

TSimCommandBar::TSimCommandBar(std::wstring name, long position, bool menuBar, bool temporary)
    : TAutoObject({}, nullptr), name_(std::move(name)), position_(position), menuBar_(menuBar),
      temporary_(temporary), controls_(com::Make<TSimControls>()) {
    Property(L"Name", Read(name_), Assign(name_));
    Property(L"Visible", Read(visible_), Assign(visible_));
    Property(L"Position", Read(position_), Assign(position_));
    Property(L"MenuBar", Read(menuBar_));
    Property(L"Temporary", Read(temporary_));
    Property(L"Controls", [this](const TArgs&) { return com::TVariant(controls_->AsDispatch()); });
}

TSimCommandBars::TSimCommandBars() : TAutoObject({}, nullptr) {
    Property(L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Method(L"Item", {L"Index"}, [this](const TArgs& args) {
        return com::TVariant(FindItem(items_, args.At(0), [](TSimCommandBar& b) { return b.Name(); })->AsDispatch());
    });
    Method(L"Add", {L"Name", L"Position", L"MenuBar", L"Temporary"}, [this](const TArgs& args) {
        const std::wstring name = args.Has(0) ? args.Text(0) : L"Custom " + std::to_wstring(items_.size() + 1);
        const long position = args.Long(1, msoBarTop);
        return com::TVariant(Add(name, position, args.Bool(2, false), args.Bool(3, false))->AsDispatch());
    });
}

com::ComPtr<TSimCommandBar> TSimCommandBars::Add(const std::wstring& name, long position, bool menuBar,
                                                 bool temporary) {
    if (Find(name)) throw com::EOleError(E_INVALIDARG, "A toolbar named \"" + win32::Narrow(name) + "\" exists");
    items_.push_back(com::Make<TSimCommandBar>(name, position, menuBar, temporary));
    return items_.back();
}

com::ComPtr<TSimCommandBar> TSimCommandBars::Find(const std::wstring& name) const {
    return FindNamed(items_, name, [](TSimCommandBar& b) { return b.Name(); });
}

com::ComPtr<TSimButton> TSimCommandBars::AddControl(const std::wstring& barName) {
    const com::ComPtr<TSimCommandBar> bar = Find(barName);
    return (bar ? bar : Add(barName, msoBarTop, false, true))->Controls().Add(msoControlButton, true);
}

}  // namespace kestova::sim
