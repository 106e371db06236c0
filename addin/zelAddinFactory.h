#pragma once
// The class factory of the add-in object: a new TzelAddin for every request, no licensing.
#include <ocidl.h>

#include <string>

#include "platform/win32/ComObject.h"

namespace kestova {

class TzelAddinFactory : public com::TComObject<IClassFactory2> {
public:
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;
    HRESULT STDMETHODCALLTYPE GetLicInfo(LICINFO* info) override;
    HRESULT STDMETHODCALLTYPE RequestLicKey(DWORD, BSTR* key) override;
    HRESULT STDMETHODCALLTYPE CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID riid, BSTR, void** out) override;

    static const wchar_t* ThreadingModel() { return L"Apartment"; }
    // Read from the type library.
    std::wstring ClassName() const;
    std::wstring Description() const;
    std::wstring ProgID() const;

protected:
    void* QueryExtra(REFIID riid) override;
};

}  // namespace kestova
