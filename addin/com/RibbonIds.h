#pragma once
// Office's ribbon interfaces, declared from their published interface ids and method order
// (mingw-w64 has no header for them), and the DISPIDs of the add-in's ribbon callbacks.
#include <oaidl.h>

struct IRibbonControl : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Context(IDispatch** context) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Tag(BSTR* tag) = 0;
};
__CRT_UUID_DECL(IRibbonControl, 0x000C0395, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

struct IRibbonExtensibility : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR RibbonID, BSTR* RibbonXml) = 0;
};
__CRT_UUID_DECL(IRibbonExtensibility, 0x000C0396, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

struct IRibbonUI : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE Invalidate() = 0;
    virtual HRESULT STDMETHODCALLTYPE InvalidateControl(BSTR ControlID) = 0;
};
__CRT_UUID_DECL(IRibbonUI, 0x000C03A7, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)

namespace kestova::ribbon {

// The callbacks the ribbon XML names. Their DISPIDs sit far from the type library's own
// (IzelAddin has none; IDispatch's are 0x60000000 and up), so Invoke can route by number.
enum : DISPID {
    dispRibbonLoaded = 0x4B500001,
    dispRibbonAction = 0x4B500002,
    dispRibbonEnabled = 0x4B500003,
    dispRibbonImage = 0x4B500004,
};

}  // namespace kestova::ribbon
