#include "addin/com/Dispatch.h"

#include <algorithm>

#include "addin/com/Handles.h"
#include "addin/com/OleError.h"
#include "platform/win32/WideText.h"

namespace kestova::com {

namespace {

std::vector<DISPID> IdsOfNames(IDispatch* object, const std::wstring& name, const std::vector<TNamedArg>& named) {
    if (!object) throw EOleError(E_POINTER, win32::Narrow(name) + " of a null object");
    std::vector<LPOLESTR> names{const_cast<LPOLESTR>(name.c_str())};
    for (const TNamedArg& arg : named) names.push_back(const_cast<LPOLESTR>(arg.name.c_str()));
    std::vector<DISPID> ids(names.size(), DISPID_UNKNOWN);
    Check(object->GetIDsOfNames(IID_NULL, names.data(), UINT(names.size()), LOCALE_USER_DEFAULT, ids.data()),
          ("GetIDsOfNames " + win32::Narrow(name)).c_str());
    return ids;
}

std::string FailureText(const std::wstring& name, const EXCEPINFO& info) {
    std::string text = "Invoke " + win32::Narrow(name);
    if (info.bstrDescription) text += ": " + win32::Narrow(BstrText(info.bstrDescription));
    return text;
}

// Named arguments come first in the list, then the positional ones last to first, as COM wants.
TVariant Invoke(IDispatch* object, const std::wstring& name, WORD flags, std::vector<TVariant> args,
                std::vector<TNamedArg> named, std::vector<DISPID> namedIds) {
    std::vector<TVariant> list;
    for (TNamedArg& arg : named) list.push_back(std::move(arg.value));
    std::reverse(args.begin(), args.end());
    for (TVariant& arg : args) list.push_back(std::move(arg));

    const DISPID member = namedIds.front();
    namedIds.erase(namedIds.begin());
    DISPPARAMS params{reinterpret_cast<VARIANTARG*>(list.data()), namedIds.data(), UINT(list.size()),
                      UINT(namedIds.size())};
    TVariant result;
    EXCEPINFO info{};
    UINT argError = 0;
    const HRESULT hr = object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      flags & DISPATCH_PROPERTYPUT ? nullptr : result.Put(), &info, &argError);
    const std::string failure = FAILED(hr) ? FailureText(name, info) : std::string();
    SysFreeString(info.bstrSource);
    SysFreeString(info.bstrDescription);
    SysFreeString(info.bstrHelpFile);
    Check(hr == DISP_E_EXCEPTION && info.scode ? info.scode : hr, failure.c_str());
    return result;
}

}  // namespace

// Automation makes no difference between reading a property and calling a method.
TVariant GetProperty(IDispatch* object, const std::wstring& name, std::vector<TVariant> args) {
    return CallMethod(object, name, std::move(args));
}

void PutProperty(IDispatch* object, const std::wstring& name, TVariant value) {
    std::vector<DISPID> ids = IdsOfNames(object, name, {});
    ids.push_back(DISPID_PROPERTYPUT);
    std::vector<TNamedArg> named;
    named.push_back({L"", std::move(value)});
    Invoke(object, name, DISPATCH_PROPERTYPUT, {}, std::move(named), std::move(ids));
}

TVariant CallMethod(IDispatch* object, const std::wstring& name, std::vector<TVariant> args,
                    std::vector<TNamedArg> named) {
    std::vector<DISPID> ids = IdsOfNames(object, name, named);
    return Invoke(object, name, DISPATCH_METHOD | DISPATCH_PROPERTYGET, std::move(args), std::move(named), std::move(ids));
}

DISPID DeclaredIndex(const DISPPARAMS& params, UINT i) {
    if (i < params.cNamedArgs) return params.rgdispidNamedArgs[i];
    return DISPID(params.cArgs - 1 - i);
}

ComPtr<IDispatch> ObjectOf(const TVariant& value, const std::wstring& member) {
    const VARIANT& v = value.Get();
    IUnknown* object = v.vt == VT_DISPATCH ? v.pdispVal : v.vt == VT_UNKNOWN ? v.punkVal : nullptr;
    ComPtr<IDispatch> dispatch;
    Check(QueryDispatch(object, IID_IDispatch, dispatch), (win32::Narrow(member) + " is not an object").c_str());
    return dispatch;
}

HRESULT QueryDispatch(IUnknown* object, REFIID iid, ComPtr<IDispatch>& out) {
    out.Reset();
    if (!object) return E_POINTER;
    return object->QueryInterface(iid, reinterpret_cast<void**>(out.GetAddressOf()));
}

ComPtr<IDispatch> DispatchOf(IUnknown* object) {
    ComPtr<IDispatch> dispatch;
    if (!object) throw EOleError(E_POINTER, "window is null");
    Check(QueryDispatch(object, IID_IDispatch, dispatch), "window query");
    return dispatch;
}

ComPtr<IUnknown> IdentityOf(IUnknown* object) {
    ComPtr<IUnknown> identity;
    if (object) object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    return identity;
}

}  // namespace kestova::com
