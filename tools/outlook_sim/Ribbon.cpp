#include "tools/outlook_sim/Ribbon.h"

#include <algorithm>

#include "addin/com/Dispatch.h"
#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "addin/com/OutlookIds.h"
#include "core/Exception.h"
#include "platform/win32/WideText.h"
#include "tools/outlook_sim/DispIds.h"
#include "tools/outlook_sim/Png.h"
#include "tools/outlook_sim/Windows.h"

namespace kestova::sim {

namespace {

const wchar_t kExplorerRibbon[] = L"Microsoft.Outlook.Explorer";

bool IsItemRibbon(const std::wstring& ribbonId) { return ribbonId != kExplorerRibbon; }

}  // namespace

TSimRibbonUI::TSimRibbonUI(std::function<void()> invalidate) : TAutoObject({}, nullptr), invalidate_(std::move(invalidate)) {
    Method(dispid::RibbonUIInvalidate, L"Invalidate", {}, [this](const TArgs&) {
        invalidate_();
        return com::TVariant();
    });
    Method(dispid::RibbonUIInvalidateControl, L"InvalidateControl", {Required(L"ControlID", VT_BSTR)}, [this](const TArgs&) {
        invalidate_();
        return com::TVariant();
    });
}

void* TSimRibbonUI::QueryExtra(REFIID riid) {
    return riid == __uuidof(IRibbonUI) ? static_cast<IRibbonUI*>(this) : TAutoObject::QueryExtra(riid);
}

// The vtable calls go through Invoke, so they are checked and guarded as the late-bound ones are;
// a failure answers its own HRESULT rather than DISP_E_EXCEPTION.
HRESULT TSimRibbonUI::VtableCall(DISPID dispid, DISPPARAMS& params) {
    EXCEPINFO info{};
    const HRESULT hr =
        TAutoObject::Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, nullptr);
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    return hr == DISP_E_EXCEPTION ? info.scode : hr;
}

HRESULT TSimRibbonUI::Invalidate() {
    DISPPARAMS none{};
    return VtableCall(dispid::RibbonUIInvalidate, none);
}

HRESULT TSimRibbonUI::InvalidateControl(BSTR controlId) {
    VARIANT args[1];
    args[0].vt = VT_BSTR;
    args[0].bstrVal = controlId;  // borrowed: Invoke copies what it keeps
    DISPPARAMS params{args, nullptr, 1, 0};
    return VtableCall(dispid::RibbonUIInvalidateControl, params);
}

TSimRibbonControl::TSimRibbonControl(std::wstring id, std::wstring tag, IDispatch* context)
    : TAutoObject({}, nullptr), id_(std::move(id)), tag_(std::move(tag)), context_(context) {
    Property(dispid::RibbonControlId, L"Id", Read(id_));
    Property(dispid::RibbonControlTag, L"Tag", Read(tag_));
    Property(dispid::RibbonControlContext, L"Context", [this](const TArgs&) { return com::TVariant(context_.Get()); });
}

std::wstring TSimRibbons::RibbonIdOf(const TSimWindow& window) {
    const auto* inspector = dynamic_cast<const TSimInspector*>(&window);
    if (!inspector) return kExplorerRibbon;
    com::ComPtr<IDispatch> mail;
    const bool isMail = SUCCEEDED(com::QueryDispatch(inspector->CurrentItem().AsDispatch(), outlook::IID__MailItem, mail));
    return isMail ? L"Microsoft.Outlook.Mail.Compose" : L"Microsoft.Outlook.Contact";
}

void TSimRibbons::Connected(const std::wstring& progID, IUnknown* addin, const std::vector<TSimWindow*>& open) {
    if (off_) return;
    TAddin connected{progID, nullptr, {}};
    if (FAILED(addin->QueryInterface(__uuidof(IRibbonExtensibility), reinterpret_cast<void**>(connected.ribbon.GetAddressOf()))))
        return;
    addins_.push_back(std::move(connected));
    Ask(addins_.back(), kExplorerRibbon);
    for (TSimWindow* window : open) Showing(*window);
}

void TSimRibbons::Disconnected(const std::wstring& progID) {
    for (size_t a = 0; a < addins_.size(); ++a) {
        if (addins_[a].progID != progID) continue;
        addins_[a].ribbon.Reset();
        addins_[a].documents.clear();
        for (TWindowRibbon& shown : windows_)
            shown.controls.erase(std::remove_if(shown.controls.begin(), shown.controls.end(),
                                                [a](const TControl& c) { return c.addin == a; }),
                                 shown.controls.end());
    }
}

// Outlook 2007 has a ribbon in item windows only, 2010 and later in main windows too.
void TSimRibbons::Ask(TAddin& addin, const std::wstring& ribbonId) {
    const int major = major_();
    if (!addin.ribbon || addin.documents.count(ribbonId) || major < (IsItemRibbon(ribbonId) ? 12 : 14)) return;
    TDocument& document = addin.documents[ribbonId];
    com::TBstr xml;
    const HRESULT hr = addin.ribbon->GetCustomUI(com::TBstr(ribbonId).Get(), xml.Put());
    if (FAILED(hr)) {
        errors_.push_back(win32::Narrow(addin.progID) + ": GetCustomUI failed for " + win32::Narrow(ribbonId) + ", " + com::HresultText(hr));
        return;
    }
    document.xml = xml.Text();
    if (document.xml.empty()) return;
    try {
        document.layout = ParseCustomUI(document.xml, ribbonId, major);
    } catch (const Exception& refusal) {
        errors_.push_back("Custom UI error in " + win32::Narrow(addin.progID) + ", " + win32::Narrow(ribbonId) + ": " +
                          refusal.what());
        return;
    }
    document.loaded = true;
    const std::wstring progID = addin.progID;
    document.ui = com::Make<TSimRibbonUI>([this, progID, ribbonId] { Redraw(progID, ribbonId); });
    if (!document.layout.onLoad.empty())
        Callback(size_t(&addin - addins_.data()), document.layout.onLoad, document.ui->AsDispatch(), VT_VARIANT);
}

void TSimRibbons::Showing(TSimWindow& window) {
    const std::wstring ribbonId = RibbonIdOf(window);
    for (TAddin& addin : addins_) Ask(addin, ribbonId);
    TWindowRibbon* shown = Find(window);
    if (!shown) {
        windows_.push_back({&window, ribbonId, false, {}});
        shown = &windows_.back();
    }
    Draw(*shown);
}

void TSimRibbons::Closed(const TSimWindow& window) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [&](const TWindowRibbon& w) { return w.window.Get() == &window; }),
                   windows_.end());
}

void TSimRibbons::SetContext(TSimWindow& window, bool shown) {
    if (TWindowRibbon* ribbon = Find(window)) ribbon->contextShown = shown;
}

void TSimRibbons::Draw(TWindowRibbon& shown) {
    shown.controls.clear();
    for (size_t a = 0; a < addins_.size(); ++a) {
        const auto document = addins_[a].documents.find(shown.ribbonId);
        if (document == addins_[a].documents.end() || !document->second.loaded) continue;
        for (const TRibbonButton& button : document->second.layout.buttons)
            shown.controls.push_back({a, button, button.label, button.enabled, nullptr});
    }
    for (TControl& control : shown.controls) Refresh(shown, control);
}

void TSimRibbons::Refresh(TWindowRibbon& shown, TControl& control) {
    const TRibbonButton& button = control.button;
    const com::ComPtr<TSimRibbonControl> argument = ControlFor(shown, control);
    // An answer is of the asked type or empty, so neither conversion can fail.
    if (!button.getLabel.empty())
        control.label = Callback(control.addin, button.getLabel, argument->AsDispatch(), VT_BSTR).AsText();
    if (!button.getEnabled.empty())
        control.enabled = Callback(control.addin, button.getEnabled, argument->AsDispatch(), VT_BOOL).AsBool();
    if (!button.getImage.empty()) {
        const com::TVariant picture = Callback(control.addin, button.getImage, argument->AsDispatch(), VT_VARIANT);
        control.picture = picture.Type() == VT_DISPATCH || picture.Type() == VT_UNKNOWN ? picture.Get().punkVal : nullptr;
    }
}

void TSimRibbons::Redraw(const std::wstring& progID, const std::wstring& ribbonId) {
    for (size_t w = 0; w < windows_.size(); ++w) {
        if (windows_[w].ribbonId != ribbonId) continue;
        for (size_t c = 0; c < windows_[w].controls.size(); ++c)
            if (addins_[windows_[w].controls[c].addin].progID == progID) Refresh(windows_[w], windows_[w].controls[c]);
    }
}

// A callback that fails, or answers what `type` cannot take, is Outlook's custom UI error, not the
// caller's; it answers empty. VT_VARIANT takes any answer as it is.
com::TVariant TSimRibbons::Callback(size_t addin, const std::wstring& name, IDispatch* argument, VARTYPE type) {
    const com::ComPtr<IRibbonExtensibility> ribbon = addins_[addin].ribbon;
    const std::string where = win32::Narrow(addins_[addin].progID) + ": callback " + win32::Narrow(name);
    if (!ribbon) return {};
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    HRESULT hr = ribbon->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid);
    com::TVariant result;
    if (SUCCEEDED(hr)) {
        com::TVariant control(argument);
        VARIANT args[] = {control.Get()};
        DISPPARAMS params{args, nullptr, 1, 0};
        hr = ribbon->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.Put(), nullptr, nullptr);
    }
    if (FAILED(hr)) {
        errors_.push_back(where + " failed, " + com::HresultText(hr));
        return {};
    }
    if (type == VT_VARIANT) return result;
    com::TVariant converted;
    hr = VariantChangeType(converted.Put(), const_cast<VARIANT*>(&result.Get()), 0, type);
    if (FAILED(hr)) {
        errors_.push_back(where + " answered a value of the wrong type, " + com::HresultText(hr));
        return {};
    }
    return converted;
}

com::ComPtr<TSimRibbonControl> TSimRibbons::ControlFor(const TWindowRibbon& shown, const TControl& control) const {
    return com::Make<TSimRibbonControl>(control.button.id, control.button.tag, shown.window->AsDispatch());
}

TSimRibbons::TWindowRibbon* TSimRibbons::Find(const TSimWindow& window) {
    for (TWindowRibbon& shown : windows_)
        if (shown.window.Get() == &window) return &shown;
    return nullptr;
}

const TSimRibbons::TControl& TSimRibbons::ControlOf(const TSimWindow& window, const std::wstring& label) const {
    for (const TWindowRibbon& shown : windows_) {
        if (shown.window.Get() != &window) continue;
        for (const TControl& control : shown.controls)
            if (control.label == label && (!control.button.contextual || shown.contextShown)) return control;
    }
    throw Exception("no ribbon control \"" + win32::Narrow(label) + "\" shown in that window");
}

// Office calls no onAction of a disabled control.
std::string TSimRibbons::Click(TSimWindow& window, const std::wstring& label) {
    const TControl& control = ControlOf(window, label);
    if (!control.enabled) return "disabled, not clicked";
    const size_t addin = control.addin;
    const std::wstring onAction = control.button.onAction;
    const com::ComPtr<TSimRibbonControl> argument = ControlFor(*Find(window), control);
    if (!onAction.empty()) Callback(addin, onAction, argument->AsDispatch(), VT_VARIANT);  // may run modal windows
    return "clicked";
}

bool TSimRibbons::Enabled(const TSimWindow& window, const std::wstring& label) const {
    return ControlOf(window, label).enabled;
}

void TSimRibbons::SaveImage(const TSimWindow& window, const std::wstring& label, const std::wstring& path) const {
    SavePictureAsPng(ControlOf(window, label).picture.Get(), path);
}

void TSimRibbonControl::Owned(std::vector<const TAutoObject*>& out) const {
    if (const auto* window = dynamic_cast<const TAutoObject*>(context_.Get())) out.push_back(window);
}

void TSimRibbons::Owned(std::vector<const TAutoObject*>& out) const {
    for (const TWindowRibbon& shown : windows_) out.push_back(shown.window.Get());
    for (const TAddin& addin : addins_)
        for (const auto& [ribbonId, document] : addin.documents)
            if (document.ui) out.push_back(document.ui.Get());
}

std::wstring TSimRibbons::Xml(const std::wstring& ribbonId) const {
    std::wstring xml;
    for (const TAddin& addin : addins_)
        if (const auto document = addin.documents.find(ribbonId); document != addin.documents.end()) xml = document->second.xml;
    return xml;
}

}  // namespace kestova::sim
