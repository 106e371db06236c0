#pragma once
// The ribbon of the simulated Outlook. At an add-in's connection it asks for the add-in's
// IRibbonExtensibility and calls GetCustomUI for the main window's ribbon (2010 on) and for each
// kind of item window that is open; later for each kind when its first window opens. It keeps
// every window's controls, asks their getLabel, getEnabled and getImage when the window is drawn
// and after each Invalidate, and calls onAction with an IRibbonControl when one is clicked.
// The callbacks go through the add-in's IDispatch: GetIDsOfNames, then Invoke.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "addin/com/RibbonIds.h"
#include "tools/outlook_sim/AutoObject.h"
#include "tools/outlook_sim/RibbonXml.h"

namespace kestova::sim {

class TSimWindow;

// What onLoad hands the add-in; Invalidate redraws every window of the document. It answers
// IRibbonUI with that interface's own vtable, as Office does, and late-bound calls too.
class TSimRibbonUI : public TAutoObject, public IRibbonUI {
public:
    explicit TSimRibbonUI(std::function<void()> invalidate);

    // One IUnknown and one IDispatch for both bases.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        return TAutoObject::QueryInterface(riid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return TAutoObject::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return TAutoObject::Release(); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return TAutoObject::GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
        return TAutoObject::GetTypeInfo(index, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
        return TAutoObject::GetIDsOfNames(riid, names, count, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* argError) override {
        return TAutoObject::Invoke(dispid, riid, lcid, flags, params, result, info, argError);
    }

    HRESULT STDMETHODCALLTYPE Invalidate() override;
    HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR controlId) override;

protected:
    void* QueryExtra(REFIID riid) override;

private:
    HRESULT VtableCall(DISPID dispid, DISPPARAMS& params);

    std::function<void()> invalidate_;
};

// The control a callback is about. It answers IDispatch only, as Office's does to C++ add-ins
// that call it late-bound.
class TSimRibbonControl : public TAutoObject {
public:
    TSimRibbonControl(std::wstring id, std::wstring tag, IDispatch* context);
    void Owned(std::vector<const TAutoObject*>& out) const override;

private:
    std::wstring id_, tag_;
    com::ComPtr<IDispatch> context_;
};

class TSimRibbons {
public:
    explicit TSimRibbons(std::function<int()> major) : major_(std::move(major)) {}
    // The ribbon ID of a window, as Outlook names the kind of window.
    static std::wstring RibbonIdOf(const TSimWindow& window);

    // A policy that turns add-in UI off: no add-in is asked for its ribbon.
    void TurnOff() { off_ = true; }
    void Connected(const std::wstring& progID, IUnknown* addin, const std::vector<TSimWindow*>& open);
    void Disconnected(const std::wstring& progID);
    // A window is about to show: its kind's ribbon is asked for if it has not been, then drawn.
    void Showing(TSimWindow& window);
    void Closed(const TSimWindow& window);
    // Shows or hides a window's contextual tabs (an inline reply in the reading pane).
    void SetContext(TSimWindow& window, bool shown);

    // The step texts: "clicked", or why not. Raises kestova::Exception for a missing control.
    std::string Click(TSimWindow& window, const std::wstring& label);
    bool Enabled(const TSimWindow& window, const std::wstring& label) const;
    void SaveImage(const TSimWindow& window, const std::wstring& label, const std::wstring& path) const;
    // The XML the add-ins answered for that ribbon ID (the last one's when several did).
    std::wstring Xml(const std::wstring& ribbonId) const;
    // Outlook's custom UI errors so far, one line each.
    const std::vector<std::string>& Errors() const { return errors_; }
    // The simulated objects it holds: the windows it draws, each loaded document's IRibbonUI.
    void Owned(std::vector<const TAutoObject*>& out) const;

private:
    struct TDocument {
        std::wstring xml;
        bool loaded = false;
        TRibbonLayout layout;
        com::ComPtr<TSimRibbonUI> ui;
    };
    struct TAddin {
        std::wstring progID;
        com::ComPtr<IRibbonExtensibility> ribbon;
        std::map<std::wstring, TDocument> documents;  // by ribbon ID
    };
    struct TControl {
        size_t addin;
        TRibbonButton button;
        std::wstring label;
        bool enabled = true;
        com::ComPtr<IUnknown> picture;
    };
    struct TWindowRibbon {
        com::ComPtr<TSimWindow> window;
        std::wstring ribbonId;
        bool contextShown = false;
        std::vector<TControl> controls;
    };

    void Ask(TAddin& addin, const std::wstring& ribbonId);
    void Draw(TWindowRibbon& shown);
    void Refresh(TWindowRibbon& shown, TControl& control);
    void Redraw(const std::wstring& progID, const std::wstring& ribbonId);
    com::TVariant Callback(size_t addin, const std::wstring& name, IDispatch* argument, VARTYPE type);
    com::ComPtr<TSimRibbonControl> ControlFor(const TWindowRibbon& shown, const TControl& control) const;
    TWindowRibbon* Find(const TSimWindow& window);
    const TControl& ControlOf(const TSimWindow& window, const std::wstring& label) const;

    std::function<int()> major_;
    bool off_ = false;
    std::vector<TAddin> addins_;
    std::vector<TWindowRibbon> windows_;
    std::vector<std::string> errors_;
};

}  // namespace kestova::sim
