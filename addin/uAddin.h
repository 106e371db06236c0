#pragma once
// The add-in object Outlook connects to, and the wrappers it keeps for Outlook's windows.
#include <ocidl.h>

#include <functional>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "addin/OwningList.h"
#include "platform/win32/ComObject.h"
#include "addin/com/IDTExtensibility2.h"
#include "addin/com/RibbonIds.h"
#include "addin/com/Variant.h"
#include "addin/uOutlookEvents.h"
#include "addin/zelt_h.h"

namespace kestova {

// A wrapper on one Office command-bar button of an add-in window.
class TAddinOutlookButton : public TOutlookCommandBarButton {
public:
    using TOutlookCommandBarButton::TOutlookCommandBarButton;
    TOutlookServer* Owner = nullptr;  // the window wrapper whose Buttons list holds this one
};

// An adopted item window. Buttons is declared last, so it goes before the base detaches.
class TAddinInspector : public TOutlookInspector {
public:
    using TOutlookInspector::TOutlookInspector;
    TOwningList<TAddinOutlookButton> Buttons;
    // Whether its button is on the ribbon, decided at its first Activate where Outlook has an
    // item ribbon.
    std::optional<bool> OnRibbon;
};

// An adopted main window.
class TAddinExplorer : public TOutlookExplorer {
public:
    using TOutlookExplorer::TOutlookExplorer;
    TOwningList<TAddinOutlookButton> Buttons;
};

class TzelAddin : public com::TComObject<IzelAddin, IDTExtensibility2, ISupportErrorInfo, IProvideClassInfo,
                                         IRibbonExtensibility> {
public:
    TzelAddin();

    // IDispatch, served from the type information of IzelAddin.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* argError) override;

    // IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, com::ext_ConnectMode ConnectMode,
                                           IDispatch* AddInInst, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(com::ext_DisconnectMode RemoveMode, SAFEARRAY** custom) override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) override;

    // IRibbonExtensibility; its callbacks come through Invoke.
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) override;

    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override;
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

    // Handlers of the wrappers' events; the sender is the wrapper that raised the event.
    void AdoptInspector(TOutlookServer* sender, IDispatch* inspector);
    void AdoptExplorer(TOutlookServer* sender, IDispatch* explorer);
    void ReleaseInspector(TOutlookServer* sender);
    void ReleaseExplorer(TOutlookServer* sender);
    void ExplorerActivated(TOutlookServer* sender);
    void InspectorActivated(TOutlookServer* sender);
    void Quit();

    const com::TVariant& OutlookApp() const { return OutlookApp_; }
    TOutlookInspectors* InspectorsWrapper() const { return InspectorsWrapper_.get(); }
    TOutlookExplorers* ExplorersWrapper() const { return ExplorersWrapper_.get(); }
    TOutlookApplication* ApplicationWrapper() const { return ApplicationWrapper_.get(); }
    const TOwningList<TAddinInspector>& InspectorList() const { return *InspectorList_; }
    const TOwningList<TAddinExplorer>& ExplorerList() const { return *ExplorerList_; }

protected:
    ~TzelAddin() override;
    void* QueryExtra(REFIID riid) override;

private:
    void Connect(IDispatch* application);
    void ReleaseOutlook();
    void DeleteButtons();
    template <class TList>
    static IUnknown* FindAdopted(const TList& list, IUnknown* window);
    void TryVoiceButton(TAddinInspector& inspector);
    void AdoptOpenWindows(const wchar_t* collection, const GUID& iid, TOutlookServer* sender,
                          void (TzelAddin::*adopt)(TOutlookServer*, IDispatch*));
    // The windows' toolbar buttons and their clicks.
    void InstallVoiceButton(TAddinInspector& inspector);
    void AddAboutButton(TAddinExplorer& explorer);
    template <class TOwner>
    TAddinOutlookButton& AddToolbarButton(TOwner& owner, IDispatch* toolbar, const std::wstring& caption,
                                          bool setStyle);
    bool InspectorOpen(IUnknown* inspector) const;
    // The item of an adopted window, or empty when the window has closed.
    com::TVariant CurrentItemIfOpen(IUnknown* inspector) const;
    void VoiceButtonClick(TOutlookServer* sender);
    void AboutButtonClick(TOutlookServer* sender);
    // Records a voice message and attaches it to the item that `openItem` answers once the
    // user accepts; an empty answer means the item was closed meanwhile.
    void RecordAttachedTo(const std::function<com::TVariant()>& openItem);
    // The ribbon's callbacks, by the DISPIDs of RibbonIds.h.
    HRESULT RibbonInvoke(DISPID dispid, const DISPPARAMS* params, VARIANT* result);
    void RibbonAction(IDispatch* control);
    void RecordForInspector(IDispatch* inspector);
    void RecordForInlineResponse(IDispatch* explorer);
    void InvalidateRibbons();
    bool RibbonAsked(const std::wstring& ribbonId) const { return ribbonsAsked_.count(ribbonId) > 0; }
    bool RibbonAskedFor(TAddinInspector& inspector) const;

    com::TVariant OutlookApp_;
    std::unique_ptr<TOutlookInspectors> InspectorsWrapper_;
    std::unique_ptr<TOwningList<TAddinInspector>> InspectorList_;
    std::unique_ptr<TOutlookExplorers> ExplorersWrapper_;
    std::unique_ptr<TOwningList<TAddinExplorer>> ExplorerList_;
    std::unique_ptr<TOutlookApplication> ApplicationWrapper_;
    int outlookMajor_ = 0;
    std::set<std::wstring> ribbonsAsked_;          // the ribbon IDs answered with XML
    std::vector<com::ComPtr<IDispatch>> ribbons_;  // the IRibbonUI of each loaded document
    com::ComPtr<IPictureDisp> picture_;            // the buttons' artwork, made at the first ask
};

}  // namespace kestova
