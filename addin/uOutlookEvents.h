#pragma once
// Event wrappers on Outlook and Office objects. Each wrapper holds one object, connects its own
// sink to the object's connection point for one event interface, and turns each incoming event
// into a call of a handler slot. A handler may destroy the wrapper that called it.
#include <oaidl.h>

#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/Variant.h"
#include "core/Component.h"
#include "core/Event.h"

namespace kestova {

struct TServerData {
    GUID ClassID;
    GUID IntfIID;
    GUID EventIID;  // the only one this system uses
};

// An event's arguments in declared order (element 0 = first parameter), by-reference ones
// dereferenced; the sink copies them back to the caller after routing.
using TEventArgs = std::vector<com::TVariant>;

class TOutlookServer;

using TNotifyEvent = TEvent<TOutlookServer*>;
using TObjectEvent = TEvent<TOutlookServer*, IDispatch*>;
using TCancelEvent = TEvent<TOutlookServer*, IDispatch*, bool&>;

// The IDispatch handed to the connection point. The source may keep it after its wrapper is
// gone; it then drops every event. Its code is the library's, so a live sink keeps the library
// loaded.
class TEventSink : public com::TVtableDispatch<IDispatch> {
public:
    TEventSink(TOutlookServer* server, const GUID& eventIID);
    void Orphan() { server_ = nullptr; }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override;

protected:
    ~TEventSink() override;
    void* QueryExtra(REFIID riid) override;

private:
    TOutlookServer* server_;
    GUID eventIID_;
};

class TOutlookServer : public TComponent {
public:
    TOutlookServer(const TServerData& identity, IUnknown* intf);
    ~TOutlookServer() override;

    IUnknown* Intf() const { return intf_.Get(); }
    TEventSink* EventSink() const { return eventSink_.Get(); }
    DWORD Cookie() const { return cookie_; }

    void Attach(IUnknown* intf);
    virtual void Detach();
    // Called by the sink for each event. After it has called a handler, neither it nor the
    // sink may touch the wrapper again: the handler may have destroyed it.
    virtual void RouteEvent(DISPID dispid, TEventArgs& args) {}

protected:
    void Raise(const TNotifyEvent& slot);
    // Passes argument `index`, queried for `iid`, to the handler.
    void Raise(const TObjectEvent& slot, const TEventArgs& args, size_t index, const GUID& iid);
    // Passes argument 0 and the boolean argument 1, and stores the handler's boolean back.
    void Raise(const TCancelEvent& slot, TEventArgs& args, const GUID& iid);

private:
    void ConnectEvents();
    void DisconnectEvents();

    TServerData serverIdentity_;
    com::ComPtr<IUnknown> intf_;
    com::ComPtr<TEventSink> eventSink_;
    DWORD cookie_ = 0;
};

class TOutlookApplication : public TOutlookServer {
public:
    explicit TOutlookApplication(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TCancelEvent OnItemSend;
    TNotifyEvent OnQuit;
    TNotifyEvent OnStartup;
    TNotifyEvent OnNewMail;
    TObjectEvent OnOptionsPagesAdd;
    TObjectEvent OnReminder;
};

class TOutlookExplorers : public TOutlookServer {
public:
    explicit TOutlookExplorers(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TObjectEvent OnNewExplorer;
};

class TOutlookExplorer : public TOutlookServer {
public:
    explicit TOutlookExplorer(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TNotifyEvent OnClose;
    TCancelEvent OnBeforeFolderSwitch;
    TCancelEvent OnBeforeViewSwitch;
    TNotifyEvent OnSelectionChange;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnFolderSwitch;
    TNotifyEvent OnViewSwitch;
    TNotifyEvent OnActivate;
};

class TOutlookInspectors : public TOutlookServer {
public:
    explicit TOutlookInspectors(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TObjectEvent OnNewInspector;
};

class TOutlookInspector : public TOutlookServer {
public:
    explicit TOutlookInspector(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TNotifyEvent OnActivate;
    TNotifyEvent OnClose;
    TNotifyEvent OnDeactivate;
};

class TOutlookCommandBarButton : public TOutlookServer {
public:
    explicit TOutlookCommandBarButton(IUnknown* intf);
    void RouteEvent(DISPID dispid, TEventArgs& args) override;

    TCancelEvent OnClick;  // Ctrl as _CommandBarButton; CancelDefault
};

}  // namespace kestova
