#pragma once
// Late-bound automation calls: members are found by name through IDispatch, the way a script
// or a Delphi OleVariant would call them. Failures raise EOleError naming the member.
#include <oaidl.h>

#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/Variant.h"

namespace kestova::com {

struct TNamedArg {
    std::wstring name;
    TVariant value;
};

TVariant GetProperty(IDispatch* object, const std::wstring& name, std::vector<TVariant> args = {});
void PutProperty(IDispatch* object, const std::wstring& name, TVariant value);
TVariant CallMethod(IDispatch* object, const std::wstring& name, std::vector<TVariant> args = {},
                    std::vector<TNamedArg> named = {});

// Where argument `i` of an Invoke goes among the declared parameters (0 = first): COM lists
// named arguments first, by DISPID (which may be negative, as DISPID_PROPERTYPUT), then the
// positional ones last to first.
DISPID DeclaredIndex(const DISPPARAMS& params, UINT i);

// The object a member answered, whether as VT_DISPATCH or as VT_UNKNOWN (Outlook's type library
// declares a window's CommandBars as IUnknown). Raises EOleError for a null or non-object value.
ComPtr<IDispatch> ObjectOf(const TVariant& value, const std::wstring& member);

// Queries `object` for `iid` and keeps the answer as IDispatch: Outlook's interfaces are dual,
// so the pointer answered for a typed id is also its IDispatch. E_POINTER for a null object.
HRESULT QueryDispatch(IUnknown* object, REFIID iid, ComPtr<IDispatch>& out);

// The IDispatch of an object that must have one; raises EOleError for a null object or none.
ComPtr<IDispatch> DispatchOf(IUnknown* object);

// COM identity: the same object may be handed out through different interfaces. Null for null.
ComPtr<IUnknown> IdentityOf(IUnknown* object);

}  // namespace kestova::com
