#include "tools/outlook_sim/Windows.h"

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "tools/outlook_sim/DispIds.h"

namespace kestova::sim {

using namespace outlook;

namespace {

const long msoBarTop = 1;
const long msoControlButton = 1;

static_assert(dispInspectorActivate == dispExplorerActivate && dispInspectorDeactivate == dispExplorerDeactivate &&
                  dispInspectorClose == dispExplorerClose,
              "inspectors and explorers share their window events");

// Outlook's type library declares a window's CommandBars as IUnknown, and hands it so.
com::TVariant AsUnknown(IDispatch* object) {
    com::TVariant value;
    VARIANT* v = value.Put();
    v->vt = VT_UNKNOWN;
    v->punkVal = object;
    object->AddRef();
    return value;
}

TGetter Action(std::function<void()> action) {
    return [action](const TArgs&) {
        action();
        return com::TVariant();
    };
}

}  // namespace

TSimWindow::TSimWindow(const GUID& iid, const GUID& events, IWindowList* list)
    : TAutoObject({iid}, &events), list_(list), commandBars_(com::Make<TSimCommandBars>()) {
    Property(dispid::WindowCommandBars, L"CommandBars", [this](const TArgs&) {
        if (!barsReady_) throw com::EOleError(E_FAIL, "The operation failed.");
        return AsUnknown(commandBars_->AsDispatch());
    });
    Method(dispid::WindowActivate, L"Activate", {}, Action([this] { Activate(); }));
}

double TSimWindow::Activate() {
    barsReady_ = true;
    return TimedMs([this] { Fire(dispInspectorActivate); });
}

void TSimWindow::Deactivate() { Fire(dispInspectorDeactivate); }

void TSimWindow::Close() {
    const com::ComPtr<TSimWindow> keepAlive(this);
    Fire(dispInspectorClose);
    if (list_) list_->Remove(this);
}

TSimInspector::TSimInspector(IWindowList* list, com::ComPtr<TSimItem> item)
    : TSimWindow(IID__Inspector, DIID_InspectorEvents, list), item_(std::move(item)) {
    CommandBars().Add(L"Standard", msoBarTop, false, false);
    Property(dispid::InspectorCurrentItem, L"CurrentItem", [this](const TArgs&) { return com::TVariant(item_->AsDispatch()); });
    Method(dispid::WindowClose, L"Close", {Required(L"SaveMode", VT_I4)}, Action([this] { Close(); }));
}

TSimExplorer::TSimExplorer(IWindowList* list, bool withStandard)
    : TSimWindow(IID__Explorer, DIID_ExplorerEvents, list) {
    CommandBars().Add(L"Menu Bar", msoBarTop, true, false);
    Method(dispid::WindowClose, L"Close", {}, Action([this] { Close(); }));
    if (withStandard) AddStandardToolbar();
    Property(dispid::ExplorerActiveInlineResponse, L"ActiveInlineResponse", [this](const TArgs&) {
        return com::TVariant(inlineResponse_ ? inlineResponse_->AsDispatch() : static_cast<IDispatch*>(nullptr));
    });
}

void TSimExplorer::OpenInlineResponse(com::ComPtr<TSimItem> item) {
    inlineResponse_ = std::move(item);
    Fire(dispExplorerInlineResponse, inlineResponse_->AsDispatch());
}

void TSimExplorer::CloseInlineResponse() {
    inlineResponse_.Reset();
    Fire(dispExplorerInlineResponseClose);
}

// Outlook's built-in "Standard" toolbar, with one built-in button of its own.
void TSimExplorer::AddStandardToolbar() {
    const com::ComPtr<TSimCommandBar> standard = CommandBars().Add(L"Standard", msoBarTop, false, false);
    com::PutProperty(standard->AsDispatch(), L"Visible", com::TVariant(true));
    const com::ComPtr<TSimButton> builtIn = standard->Controls().Add(msoControlButton, false);
    com::PutProperty(builtIn->AsDispatch(), L"Caption", com::TVariant(L"&New"));
}

void TSimExplorer::SelectionChange() { Fire(dispExplorerSelectionChange); }

template <class TWindow>
TSimWindows<TWindow>::TSimWindows(const GUID& iid, const GUID& events, DISPID opened)
    : TAutoObject({iid}, &events), opened_(opened) {
    Property(dispid::CollectionCount, L"Count", [this](const TArgs&) { return com::TVariant(long(items_.size())); });
    DefaultMember(dispid::CollectionItem);
    Method(dispid::CollectionItem, L"Item", {Required(L"Index")}, [this](const TArgs& args) {
        return com::TVariant(ItemAt(items_, args.At(0))->AsDispatch());
    });
}

TSimInspectors::TSimInspectors() : TSimWindows(IID__Inspectors, DIID_InspectorsEvents, dispNewInspector) {}

TOpened<TSimInspector> TSimInspectors::Open(com::ComPtr<TSimItem> item, bool lateBars) {
    const auto inspector = com::Make<TSimInspector>(this, std::move(item));
    if (lateBars) inspector->BarsLate();
    return Opened(inspector);
}

void TSimInspectors::FireNewInspector(IDispatch* inspector) { Fire(dispNewInspector, inspector); }

TSimExplorers::TSimExplorers() : TSimWindows(IID__Explorers, DIID_ExplorersEvents, dispNewExplorer) {}

TOpened<TSimExplorer> TSimExplorers::Open(bool withStandard) {
    return Opened(com::Make<TSimExplorer>(this, withStandard));
}

}  // namespace kestova::sim
