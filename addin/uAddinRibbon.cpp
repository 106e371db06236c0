// The add-in in Outlook's ribbon: GetCustomUI answers each ribbon ID with its XML, and the
// XML's callbacks come back through Invoke with the IRibbonControl as their one argument.
// Nothing a callback raises goes back to Outlook: the user is told instead.
#include "addin/RecorderWindows.h"
#include "addin/Ribbon.h"
#include "addin/RibbonImage.h"
#include "addin/com/Dispatch.h"
#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "addin/uAddin.h"

namespace kestova {

namespace {

const long kLargeImage = 32;  // every Kestova button is a large one

bool IsA(IDispatch* object, const GUID& iid) {
    com::ComPtr<IDispatch> typed;
    return SUCCEEDED(com::QueryDispatch(object, iid, typed));
}

}  // namespace

HRESULT TzelAddin::GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) {
    if (!RibbonXml) return E_POINTER;
    *RibbonXml = nullptr;
    try {
        const std::wstring ribbonId = com::BstrText(RibbonID);
        const std::wstring xml = RibbonXmlFor(ribbonId, outlookMajor_);
        if (!xml.empty()) ribbonsAsked_.insert(ribbonId);
        *RibbonXml = com::TBstr(xml).Detach();
        return S_OK;
    } catch (...) {
        return com::ErrorToResult(__uuidof(IRibbonExtensibility), L"zelt.zelAddin");
    }
}

HRESULT TzelAddin::RibbonInvoke(DISPID dispid, const DISPPARAMS* params, VARIANT* result) {
    if (!params || params->cArgs != 1 || params->cNamedArgs != 0) return DISP_E_BADPARAMCOUNT;
    try {
        const com::TVariant argument = com::TVariant::FromVariant(params->rgvarg[0]);
        IDispatch* control = argument.AsDispatch();
        if (!control) return DISP_E_TYPEMISMATCH;
        com::TVariant answer;
        switch (dispid) {
            case ribbon::dispRibbonLoaded: ribbons_.emplace_back(control); break;
            case ribbon::dispRibbonAction: RibbonAction(control); break;
            case ribbon::dispRibbonEnabled: answer = com::TVariant(!RecorderShown()); break;
            case ribbon::dispRibbonImage:
                // Every button and every Invalidate asks again; the system's DPI stays for the process.
                if (!picture_) picture_ = KestovaPicture(kLargeImage, RibbonDpi());
                answer = com::TVariant(static_cast<IDispatch*>(picture_.Get()));
                break;
            default: return DISP_E_MEMBERNOTFOUND;
        }
        if (result) *result = answer.Detach();
        return S_OK;
    } catch (...) {
        return com::ErrorToResult(__uuidof(IRibbonExtensibility), L"zelt.zelAddin");
    }
}

// Routed by the control's id; its Context is the window the button was clicked in.
void TzelAddin::RibbonAction(IDispatch* control) {
    try {
        const std::wstring id = com::GetProperty(control, L"Id").AsText();
        if (id == L"KestovaAbout") return AboutButtonClick(nullptr);
        const com::TVariant context = com::GetProperty(control, L"Context");
        if (id == L"KestovaRecord" && IsA(context.AsDispatch(), outlook::IID__Inspector))
            return RecordForInspector(context.AsDispatch());
        if (id == L"KestovaInline" && IsA(context.AsDispatch(), outlook::IID__Explorer))
            return RecordForInlineResponse(context.AsDispatch());
        throw Exception("The Kestova button was clicked outside an Outlook window it knows.");
    } catch (...) {
        ShowClickError(std::current_exception());
    }
}

// The window is looked up among the adopted ones, so a window that closes while the recorder
// is up is told apart as with the toolbar button.
void TzelAddin::RecordForInspector(IDispatch* inspector) {
    const com::ComPtr<IUnknown> adopted = FindAdopted(*InspectorList_, inspector);
    if (!adopted) throw Exception("The Kestova button's window is not an Outlook item window it knows.");
    RecordAttachedTo([&] { return CurrentItemIfOpen(adopted.Get()); });
}

// The reply being written in the reading pane; it has gone when the pane shows another one.
void TzelAddin::RecordForInlineResponse(IDispatch* explorer) {
    const com::ComPtr<IDispatch> pane(explorer);
    const com::TVariant reply = com::GetProperty(pane.Get(), L"ActiveInlineResponse");
    if (!reply.AsDispatch()) {
        ReportNoInlineResponse();
        return;
    }
    const com::ComPtr<IUnknown> identity = com::IdentityOf(reply.AsDispatch());
    RecordAttachedTo([&] {
        com::TVariant current = com::GetProperty(pane.Get(), L"ActiveInlineResponse");
        return com::IdentityOf(current.AsDispatch()).Get() == identity.Get() ? current : com::TVariant();
    });
}

// Each loaded document asks its getEnabled again; a ribbon that fails to is left as it is.
void TzelAddin::InvalidateRibbons() {
    for (const com::ComPtr<IDispatch>& ribbon : ribbons_) {
        try {
            com::CallMethod(ribbon.Get(), L"Invalidate");
        } catch (const std::exception&) {
            // Outlook may have dropped that document's windows.
        }
    }
}

}  // namespace kestova
