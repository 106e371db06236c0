#include "addin/zelAddinFactory.h"

#include "addin/ComServer.h"
#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "addin/uAddin.h"

namespace kestova {

namespace {

struct TDocumentation {
    std::wstring name;
    std::wstring help;
};

// Name and help string of a type library (ITypeLib) or of a type in it (ITypeInfo); -1 names
// the library itself, or the type rather than one of its members.
template <class TSource>
TDocumentation DocumentationOf(TSource* source, int index) {
    com::TBstr name;
    com::TBstr help;
    com::Check(source->GetDocumentation(index, name.Put(), help.Put(), nullptr, nullptr), "GetDocumentation");
    return {name.Text(), help.Text()};
}

TDocumentation ClassDocumentation() {
    return DocumentationOf(TComServer::Instance().TypeInfoOf(CLSID_zelAddin).Get(), MEMBERID_NIL);
}

}  // namespace

void* TzelAddinFactory::QueryExtra(REFIID riid) {
    return riid == IID_IClassFactory ? static_cast<IClassFactory2*>(this) : nullptr;
}

HRESULT TzelAddinFactory::CreateInstance(IUnknown* outer, REFIID riid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    try {
        return com::Make<TzelAddin>()->QueryInterface(riid, out);
    } catch (...) {
        return com::ErrorToResult(IID_IClassFactory, L"zelt.zelAddin");
    }
}

HRESULT TzelAddinFactory::LockServer(BOOL lock) {
    if (lock) {
        TComServer::Instance().Lock();
    } else {
        TComServer::Instance().Unlock();
    }
    return S_OK;
}

HRESULT TzelAddinFactory::GetLicInfo(LICINFO* info) {
    if (!info) return E_POINTER;
    info->cbLicInfo = sizeof(LICINFO);
    info->fRuntimeKeyAvail = FALSE;
    info->fLicVerified = TRUE;
    return S_OK;
}

HRESULT TzelAddinFactory::RequestLicKey(DWORD, BSTR* key) {
    if (key) *key = nullptr;
    return E_NOTIMPL;
}

HRESULT TzelAddinFactory::CreateInstanceLic(IUnknown* outer, IUnknown*, REFIID riid, BSTR, void** out) {
    return CreateInstance(outer, riid, out);
}

std::wstring TzelAddinFactory::ClassName() const { return ClassDocumentation().name; }

std::wstring TzelAddinFactory::Description() const { return ClassDocumentation().help; }

std::wstring TzelAddinFactory::ProgID() const {
    return DocumentationOf(TComServer::Instance().TypeLib(), -1).name + L"." + ClassName();
}

}  // namespace kestova
