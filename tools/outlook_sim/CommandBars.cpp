#include "tools/outlook_sim/CommandBars.h"

#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/Collection.h"
#include "tools/outlook_sim/DispIds.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

const long msoControlButton = 1;
const long msoBarTop = 1;
const long msoBarTypeNormal = 0;
const long msoBarTypeMenuBar = 1;

}  // namespace

TSimButton::TSimButton(TSimControls* parent, long type, bool temporary)
    : TAutoObject({outlook::IID__CommandBarButton, outlook::IID_CommandBarControl}, &outlook::DIID__CommandBarButtonEvents),
      parent_(parent), type_(type), temporary_(temporary) {
    Property(dispid::ControlCaption, L"Caption", Read(caption_), Assign(caption_));
    Property(dispid::ControlTag, L"Tag", Read(tag_), Assign(tag_));
    Property(dispid::ButtonStyle, L"Style", Read(style_), Assign(style_));
    Property(dispid::ControlBeginGroup, L"BeginGroup", Read(beginGroup_), Assign(beginGroup_));
    Property(dispid::ControlVisible, L"Visible", Read(visible_), Assign(visible_));
    Property(dispid::ControlType, L"Type", Read(type_));
    Method(dispid::ControlExecute, L"Execute", {}, [this](const TArgs&) {
        Click();
        return com::TVariant();
    });
    Method(dispid::ControlDelete, L"Delete", {Optional(L"Temporary")}, [this](const TArgs&) {
        if (parent_) parent_->Remove(this);
        return com::TVariant();
    });
}

bool TSimButton::RaiseClick(IDispatch* clicked) {
    return FireCancellable(outlook::dispButtonClick, clicked);
}

TSimControls::TSimControls() : TAutoObject({outlook::IID_CommandBarControls}, nullptr) {
    Property(dispid::ControlsCount, L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Property(dispid::ControlsItem, L"Item", {Required(L"Index")}, [this](const TArgs& args) {
        return com::TVariant(FindItem(items_, args.At(0), [](TSimButton& b) { return b.Caption(); })->AsDispatch());
    });
    Method(dispid::ControlsAdd, L"Add",
           {Optional(L"Type"), Optional(L"Id"), Optional(L"Parameter"), Optional(L"Before"), Optional(L"Temporary")},
           [this](const TArgs& args) {
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

void TSimControls::Owned(std::vector<const TAutoObject*>& out) const { AppendAll(items_, out); }

void TSimControls::Remove(const TSimButton* button) {
    RemoveItem(items_, button);
}

TSimCommandBar::TSimCommandBar(std::wstring name, long position, bool menuBar, bool temporary)
    : TAutoObject({outlook::IID_CommandBar}, nullptr), name_(std::move(name)), position_(position), menuBar_(menuBar),
      temporary_(temporary), controls_(com::Make<TSimControls>()) {
    Property(dispid::CommandBarName, L"Name", Read(name_), Assign(name_));
    Property(dispid::CommandBarVisible, L"Visible", Read(visible_), Assign(visible_));
    Property(dispid::CommandBarPosition, L"Position", Read(position_), Assign(position_));
    Property(dispid::CommandBarType, L"Type", [this](const TArgs&) { return com::TVariant(menuBar_ ? msoBarTypeMenuBar : msoBarTypeNormal); });
    Property(dispid::CommandBarControls, L"Controls", [this](const TArgs&) { return com::TVariant(controls_->AsDispatch()); });
}

TSimCommandBars::TSimCommandBars() : TAutoObject({outlook::IID__CommandBars}, nullptr) {
    Property(dispid::CommandBarsCount, L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    Property(dispid::CommandBarsItem, L"Item", {Required(L"Index")}, [this](const TArgs& args) {
        return com::TVariant(FindItem(items_, args.At(0), [](TSimCommandBar& b) { return b.Name(); })->AsDispatch());
    });
    Method(dispid::CommandBarsAdd, L"Add",
           {Optional(L"Name"), Optional(L"Position"), Optional(L"MenuBar"), Optional(L"Temporary")},
           [this](const TArgs& args) {
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

void TSimCommandBars::Owned(std::vector<const TAutoObject*>& out) const { AppendAll(items_, out); }

com::ComPtr<TSimCommandBar> TSimCommandBars::Find(const std::wstring& name) const {
    return FindNamed(items_, name, [](TSimCommandBar& b) { return b.Name(); });
}

com::ComPtr<TSimButton> TSimCommandBars::AddControl(const std::wstring& barName) {
    const com::ComPtr<TSimCommandBar> bar = Find(barName);
    return (bar ? bar : Add(barName, msoBarTop, false, true))->Controls().Add(msoControlButton, true);
}

}  // namespace kestova::sim
