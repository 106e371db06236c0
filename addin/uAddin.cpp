#include "addin/uAddin.h"

#include "addin/AddinLog.h"
#include "addin/ComServer.h"
#include "addin/RecorderWindows.h"
#include "addin/Ribbon.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"

namespace kestova {

TzelAddin::TzelAddin()
    : InspectorList_(std::make_unique<TOwningList<TAddinInspector>>()),
      ExplorerList_(std::make_unique<TOwningList<TAddinExplorer>>()) {
    TComServer::Instance().ObjectCreated();
}

TzelAddin::~TzelAddin() {
    WatchRecorderShown({});
    InspectorsWrapper_.reset();
    InspectorList_.reset();
    ExplorersWrapper_.reset();
    ExplorerList_.reset();
    ApplicationWrapper_.reset();
    TComServer::Instance().ObjectDestroyed();
}

void* TzelAddin::QueryExtra(REFIID riid) {
    return riid == IID_IDispatch ? static_cast<IzelAddin*>(this) : nullptr;
}

HRESULT TzelAddin::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT TzelAddin::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    try {
        *info = TComServer::Instance().TypeInfoOf(IID_IzelAddin).Detach();
        return S_OK;
    } catch (...) {
        return com::ErrorToResult(IID_IzelAddin, L"zelt.zelAddin");
    }
}

HRESULT TzelAddin::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    if (count == 1 && (*ids = RibbonCallbackId(names[0])) != DISPID_UNKNOWN) return S_OK;
    try {
        return DispGetIDsOfNames(TComServer::Instance().TypeInfoOf(IID_IzelAddin).Get(), names, count, ids);
    } catch (...) {
        return com::ErrorToResult(IID_IzelAddin, L"zelt.zelAddin");
    }
}

HRESULT TzelAddin::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                          EXCEPINFO* info, UINT* argError) {
    if (dispid >= ribbon::dispRibbonLoaded && dispid <= ribbon::dispRibbonImage) return RibbonInvoke(dispid, params, result);
    try {
        return DispInvoke(static_cast<IzelAddin*>(this), TComServer::Instance().TypeInfoOf(IID_IzelAddin).Get(),
                          dispid, flags, params, result, info, argError);
    } catch (...) {
        return com::ErrorToResult(IID_IzelAddin, L"zelt.zelAddin");
    }
}

HRESULT TzelAddin::InterfaceSupportsErrorInfo(REFIID riid) {
    return riid == IID_IzelAddin || riid == __uuidof(IDTExtensibility2) ? S_OK : S_FALSE;
}

HRESULT TzelAddin::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    try {
        *info = TComServer::Instance().TypeInfoOf(CLSID_zelAddin).Detach();
        return S_OK;
    } catch (...) {
        return com::ErrorToResult(IID_IProvideClassInfo, L"zelt.zelAddin");
    }
}

HRESULT TzelAddin::OnConnection(IDispatch* Application, com::ext_ConnectMode, IDispatch*, SAFEARRAY**) {
    const auto started = std::chrono::steady_clock::now();
    try {
        Connect(Application);
        LogConnected(started);
        return S_OK;
    } catch (...) {
        const HRESULT result = com::ErrorToResult(__uuidof(IDTExtensibility2), L"zelt.zelAddin");
        LogFailure("OnConnection", result);
        return result;
    }
}

// A failing step leaves what was built so far; the destructor frees it.
void TzelAddin::Connect(IDispatch* application) {
    OutlookApp_ = com::TVariant(application);
    outlookMajor_ = MajorVersionOf(ReadOutlookVersion(application));
    WatchRecorderShown([this] { InvalidateRibbons(); });
    ApplicationWrapper_ = std::make_unique<TOutlookApplication>(application);
    ApplicationWrapper_->OnOptionsPagesAdd = [](TOutlookServer*, IDispatch*) {};
    ApplicationWrapper_->OnQuit = [this](TOutlookServer*) { Quit(); };

    const com::TVariant inspectors = com::GetProperty(application, L"Inspectors");
    InspectorsWrapper_ = std::make_unique<TOutlookInspectors>(inspectors.AsDispatch());
    InspectorsWrapper_->OnNewInspector = [this](TOutlookServer* sender, IDispatch* inspector) {
        AdoptInspector(sender, inspector);
    };
    AdoptOpenWindows(L"Inspectors", outlook::IID__Inspector, InspectorsWrapper_.get(), &TzelAddin::AdoptInspector);

    const com::TVariant explorers = com::GetProperty(application, L"Explorers");
    ExplorersWrapper_ = std::make_unique<TOutlookExplorers>(explorers.AsDispatch());
    ExplorersWrapper_->OnNewExplorer = [this](TOutlookServer* sender, IDispatch* explorer) {
        AdoptExplorer(sender, explorer);
    };
    AdoptOpenWindows(L"Explorers", outlook::IID__Explorer, ExplorersWrapper_.get(), &TzelAddin::AdoptExplorer);
}

// Outlook's collections may change while windows are adopted, so each item is read through a
// freshly fetched collection.
void TzelAddin::AdoptOpenWindows(const wchar_t* collection, const GUID& iid, TOutlookServer* sender,
                                 void (TzelAddin::*adopt)(TOutlookServer*, IDispatch*)) {
    IDispatch* application = OutlookApp_.AsDispatch();
    const long count = com::GetProperty(com::GetProperty(application, collection).AsDispatch(), L"Count").AsLong();
    for (long i = 1; i <= count; ++i) {
        const com::TVariant item =
            com::GetProperty(com::GetProperty(application, collection).AsDispatch(), L"Item", {com::TVariant(i)});
        IDispatch* window = item.AsDispatch();
        if (!window) throw com::EOleError(E_POINTER, "window is null");
        com::ComPtr<IDispatch> typed;
        com::Check(com::QueryDispatch(window, iid, typed), "window query");
        (this->*adopt)(sender, typed.Get());
    }
}

// A window of the add-in that is up closes as Cancel; its Click returns once Outlook's call
// has returned.
HRESULT TzelAddin::OnBeginShutdown(SAFEARRAY**) {
    CloseAddinWindows();
    return S_OK;
}

HRESULT TzelAddin::OnDisconnection(com::ext_DisconnectMode RemoveMode, SAFEARRAY**) {
    CloseAddinWindows();
    if (RemoveMode == com::ext_dm_UserClosed) DeleteButtons();
    ReleaseOutlook();
    return S_OK;
}

void TzelAddin::ReleaseOutlook() {
    InspectorsWrapper_.reset();
    ExplorersWrapper_.reset();
    ApplicationWrapper_.reset();
    OutlookApp_ = com::TVariant();
    WatchRecorderShown({});
    ribbons_.clear();
    picture_.Reset();
}

// Outlook 2010 and later shut down fast: Application.Quit is the add-in's last word, with no
// OnBeginShutdown or OnDisconnection after it, so it closes its windows as Cancel and lets go
// of every Outlook object, the windows' ones too. It runs inside Quit's own event.
void TzelAddin::Quit() {
    CloseAddinWindows();
    ReleaseOutlook();
    InspectorList_ = std::make_unique<TOwningList<TAddinInspector>>();
    ExplorerList_ = std::make_unique<TOwningList<TAddinExplorer>>();
}

// Outlook may announce again a window object that it reuses; the window keeps its one wrapper.
template <class TList>
IUnknown* TzelAddin::FindAdopted(const TList& list, IUnknown* window) {
    const com::ComPtr<IUnknown> identity = com::IdentityOf(window);
    if (!identity) return nullptr;
    for (size_t i = 0; i < list.Count(); ++i)
        if (list[i].Intf() && com::IdentityOf(list[i].Intf()).Get() == identity.Get()) return list[i].Intf();
    return nullptr;
}

void TzelAddin::AdoptInspector(TOutlookServer*, IDispatch* inspector) {
    if (FindAdopted(*InspectorList_, inspector)) return;
    auto wrapper = std::make_unique<TAddinInspector>(inspector);
    wrapper->OnClose = [this](TOutlookServer* sender) { ReleaseInspector(sender); };
    wrapper->OnActivate = [this](TOutlookServer* sender) { InspectorActivated(sender); };
    TAddinInspector& adopted = InspectorList_->Add(std::move(wrapper));
    if (!HasItemRibbon(outlookMajor_)) TryVoiceButton(adopted);  // else its first Activate decides
}

// Before its first Activate a window may have no command bars yet; Activate tries again.
void TzelAddin::TryVoiceButton(TAddinInspector& inspector) {
    try {
        InstallVoiceButton(inspector);
    } catch (...) {
        // The window stays adopted without its button until it is activated.
    }
}

// Outlook asks for a window's ribbon before it shows the window. A window whose ribbon it never
// asked for (add-in UI turned off by policy, an item kind without our XML) gets the command bar.
void TzelAddin::InspectorActivated(TOutlookServer* sender) {
    auto* inspector = dynamic_cast<TAddinInspector*>(sender);
    if (!inspector || !inspector->Buttons.Empty()) return;
    if (HasItemRibbon(outlookMajor_) && !inspector->OnRibbon) inspector->OnRibbon = RibbonAskedFor(*inspector);
    if (!inspector->OnRibbon.value_or(false)) TryVoiceButton(*inspector);
}

bool TzelAddin::RibbonAskedFor(TAddinInspector& inspector) const {
    try {
        return RibbonAsked(ItemRibbonIdOf(com::DispatchOf(inspector.Intf()).Get()));
    } catch (...) {
        return false;  // a window that cannot be read gets the command bar
    }
}

void TzelAddin::AdoptExplorer(TOutlookServer*, IDispatch* explorer) {
    if (FindAdopted(*ExplorerList_, explorer)) return;
    auto wrapper = std::make_unique<TAddinExplorer>(explorer);
    wrapper->OnClose = [this](TOutlookServer* sender) { ReleaseExplorer(sender); };
    wrapper->OnSelectionChange = [](TOutlookServer*) {};
    wrapper->OnActivate = [this](TOutlookServer* sender) { ExplorerActivated(sender); };
    TAddinExplorer& adopted = ExplorerList_->Add(std::move(wrapper));
    if (!HasExplorerRibbon(outlookMajor_)) AddAboutButton(adopted);
}

void TzelAddin::ReleaseInspector(TOutlookServer* sender) {
    if (InspectorList_) InspectorList_->Remove(sender);
}

void TzelAddin::ReleaseExplorer(TOutlookServer* sender) {
    if (ExplorerList_) ExplorerList_->Remove(sender);
}

void TzelAddin::ExplorerActivated(TOutlookServer* sender) {
    auto* explorer = dynamic_cast<TAddinExplorer*>(sender);
    if (explorer && explorer->Buttons.Empty() && !RibbonAsked(kExplorerRibbon)) AddAboutButton(*explorer);
}

}  // namespace kestova
