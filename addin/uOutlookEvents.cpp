#include "addin/uOutlookEvents.h"

#include <ocidl.h>

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"

namespace kestova {

using namespace outlook;

namespace {

com::ComPtr<IDispatch> QueryArgument(const com::TVariant& arg, const GUID& iid) {
    const VARIANT& v = arg.Get();
    IUnknown* object = v.vt == VT_DISPATCH ? v.pdispVal : v.vt == VT_UNKNOWN ? v.punkVal : nullptr;
    if (!object) throw com::EOleError(E_NOINTERFACE, "event argument is not an object");
    com::ComPtr<IDispatch> typed;
    com::Check(com::QueryDispatch(object, iid, typed), "event argument query");
    return typed;
}

com::ComPtr<IConnectionPoint> FindConnectionPoint(IUnknown* intf, const GUID& eventIID) {
    com::ComPtr<IConnectionPointContainer> container;
    com::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(intf->QueryInterface(IID_PPV_ARGS(&container)))) container->FindConnectionPoint(eventIID, &point);
    return point;
}

}  // namespace

TOutlookServer::TOutlookServer(const TServerData& identity, IUnknown* intf)
    : TComponent(nullptr), serverIdentity_(identity), eventSink_(com::Make<TEventSink>(this, identity.EventIID)) {
    Attach(intf);
}

TOutlookServer::~TOutlookServer() {
    Detach();
    eventSink_->Orphan();
}

void TOutlookServer::Attach(IUnknown* intf) {
    Detach();
    intf_ = intf;
    ConnectEvents();
}

void TOutlookServer::Detach() {
    if (!intf_) return;
    DisconnectEvents();
    intf_.Reset();
}

void TOutlookServer::ConnectEvents() {
    cookie_ = 0;
    if (!intf_) return;
    const com::ComPtr<IConnectionPoint> point = FindConnectionPoint(intf_.Get(), serverIdentity_.EventIID);
    DWORD cookie = 0;
    if (point && SUCCEEDED(point->Advise(static_cast<IDispatch*>(eventSink_.Get()), &cookie))) cookie_ = cookie;
}

void TOutlookServer::DisconnectEvents() {
    if (cookie_ == 0) return;
    const com::ComPtr<IConnectionPoint> point = FindConnectionPoint(intf_.Get(), serverIdentity_.EventIID);
    if (point && SUCCEEDED(point->Unadvise(cookie_))) cookie_ = 0;
}

// Each Raise copies the slot first: the handler may destroy this wrapper, slot included.
void TOutlookServer::Raise(const TNotifyEvent& slot) {
    const TNotifyEvent handler = slot;
    if (handler) handler(this);
}

void TOutlookServer::Raise(const TObjectEvent& slot, const TEventArgs& args, size_t index, const GUID& iid) {
    const TObjectEvent handler = slot;
    if (!handler) return;
    const com::ComPtr<IDispatch> object = QueryArgument(args.at(index), iid);
    handler(this, object.Get());
}

void TOutlookServer::Raise(const TCancelEvent& slot, TEventArgs& args, const GUID& iid) {
    const TCancelEvent handler = slot;
    if (!handler) return;
    const com::ComPtr<IDispatch> object = QueryArgument(args.at(0), iid);
    bool cancel = args.at(1).AsBool();
    handler(this, object.Get(), cancel);
    args[1] = com::TVariant(cancel);
}

TOutlookApplication::TOutlookApplication(IUnknown* intf)
    : TOutlookServer({CLSID_Application, IID__Application, DIID_ApplicationEvents}, intf) {}

void TOutlookApplication::RouteEvent(DISPID dispid, TEventArgs& args) {
    switch (dispid) {
        case dispApplicationItemSend: return Raise(OnItemSend, args, IID_IDispatch);
        case dispApplicationNewMail: return Raise(OnNewMail);
        case dispApplicationReminder: return Raise(OnReminder, args, 0, IID_IDispatch);
        case dispApplicationOptionsPagesAdd: return Raise(OnOptionsPagesAdd, args, 0, IID_PropertyPages);
        case dispApplicationStartup: return Raise(OnStartup);
        case dispApplicationQuit: return Raise(OnQuit);
        default: return;
    }
}

TOutlookExplorers::TOutlookExplorers(IUnknown* intf)
    : TOutlookServer({CLSID_Explorers, IID__Explorers, DIID_ExplorersEvents}, intf) {}

void TOutlookExplorers::RouteEvent(DISPID dispid, TEventArgs& args) {
    if (dispid == dispNewExplorer) Raise(OnNewExplorer, args, 0, IID__Explorer);
}

TOutlookExplorer::TOutlookExplorer(IUnknown* intf)
    : TOutlookServer({CLSID_Explorer, IID__Explorer, DIID_ExplorerEvents}, intf) {}

void TOutlookExplorer::RouteEvent(DISPID dispid, TEventArgs& args) {
    switch (dispid) {
        case dispExplorerActivate: return Raise(OnActivate);
        case dispExplorerFolderSwitch: return Raise(OnFolderSwitch);
        case dispExplorerBeforeFolderSwitch: return Raise(OnBeforeFolderSwitch, args, IID_IDispatch);
        case dispExplorerViewSwitch: return Raise(OnViewSwitch);
        case dispExplorerBeforeViewSwitch: return Raise(OnBeforeViewSwitch, args, IID_IDispatch);
        case dispExplorerDeactivate: return Raise(OnDeactivate);
        case dispExplorerSelectionChange: return Raise(OnSelectionChange);
        case dispExplorerClose: return Raise(OnClose);
        default: return;
    }
}

TOutlookInspectors::TOutlookInspectors(IUnknown* intf)
    : TOutlookServer({CLSID_Inspectors, IID__Inspectors, DIID_InspectorsEvents}, intf) {}

void TOutlookInspectors::RouteEvent(DISPID dispid, TEventArgs& args) {
    if (dispid == dispNewInspector) Raise(OnNewInspector, args, 0, IID__Inspector);
}

TOutlookInspector::TOutlookInspector(IUnknown* intf)
    : TOutlookServer({CLSID_Inspector, IID__Inspector, DIID_InspectorEvents}, intf) {}

void TOutlookInspector::RouteEvent(DISPID dispid, TEventArgs& args) {
    switch (dispid) {
        case dispInspectorActivate: return Raise(OnActivate);
        case dispInspectorDeactivate: return Raise(OnDeactivate);
        case dispInspectorClose: return Raise(OnClose);
        default: return;
    }
}

TOutlookCommandBarButton::TOutlookCommandBarButton(IUnknown* intf)
    : TOutlookServer({CLSID_CommandBarButton, IID__CommandBarButton, DIID__CommandBarButtonEvents}, intf) {}

void TOutlookCommandBarButton::RouteEvent(DISPID dispid, TEventArgs& args) {
    if (dispid == dispButtonClick) Raise(OnClick, args, IID__CommandBarButton);
}

}  // namespace kestova
