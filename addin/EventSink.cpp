// The sink's side of event delivery: arguments arrive last first (named ones by DISPID), are
// put into declared order for the wrapper, and by-reference ones are written back afterwards.
#include "addin/ComServer.h"
#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "addin/uOutlookEvents.h"

#include <algorithm>

namespace kestova {

namespace {

// A negative DISPID wraps past the end of the arguments, so it is skipped.
size_t ElementOf(const DISPPARAMS& params, UINT i) { return size_t(com::DeclaredIndex(params, i)); }

// Each array present when its count says there are elements, and no by-reference argument
// pointing nowhere.
bool WellFormed(const DISPPARAMS& params) {
    if ((params.cArgs != 0 && !params.rgvarg) || (params.cNamedArgs != 0 && !params.rgdispidNamedArgs)) return false;
    return std::none_of(params.rgvarg, params.rgvarg + params.cArgs,
                        [](const VARIANTARG& arg) { return (arg.vt & VT_BYREF) && !arg.byref; });
}

TEventArgs CollectArguments(const DISPPARAMS& params) {
    TEventArgs args(params.cArgs);
    for (UINT i = 0; i < params.cArgs; ++i) {
        const size_t element = ElementOf(params, i);
        if (element < args.size()) args[element] = com::TVariant::FromVariant(params.rgvarg[i]);
    }
    return args;
}

void StoreByRef(VARIANTARG& target, const com::TVariant& value) {
    const VARTYPE type = target.vt & ~VT_BYREF;
    if (type == VT_VARIANT) {
        com::Check(VariantCopy(target.pvarVal, const_cast<VARIANT*>(&value.Get())), "VariantCopy");
        return;
    }
    com::TVariant converted;
    com::Check(VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value.Get()), 0, type), "VariantChangeType");
    const VARIANT& v = converted.Get();
    switch (type) {
        case VT_BOOL: *target.pboolVal = v.boolVal; break;
        case VT_I2: *target.piVal = v.iVal; break;
        case VT_I4: *target.plVal = v.lVal; break;
        case VT_BSTR:
            SysFreeString(*target.pbstrVal);
            *target.pbstrVal = converted.Detach().bstrVal;  // ownership moves to the caller
            break;
        default: break;  // no event of ours passes other types by reference
    }
}

void CopyBack(DISPPARAMS& params, const TEventArgs& args) {
    for (UINT i = 0; i < params.cArgs; ++i) {
        const size_t element = ElementOf(params, i);
        if ((params.rgvarg[i].vt & VT_BYREF) && element < args.size()) StoreByRef(params.rgvarg[i], args[element]);
    }
}

}  // namespace

TEventSink::TEventSink(TOutlookServer* server, const GUID& eventIID) : server_(server), eventIID_(eventIID) {
    TComServer::Instance().ObjectCreated();
}

TEventSink::~TEventSink() { TComServer::Instance().ObjectDestroyed(); }

void* TEventSink::QueryExtra(REFIID riid) {
    return riid == eventIID_ ? static_cast<IDispatch*>(this) : nullptr;
}

// A malformed argument list is refused; errors of handlers and conversions end here: the event
// source never sees them.
HRESULT TEventSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (params && !WellFormed(*params)) return E_INVALIDARG;
    const com::ComPtr<TEventSink> keepAlive(this);  // a handler may unadvise us mid-call
    try {
        const DISPPARAMS none{};
        TEventArgs args = CollectArguments(params ? *params : none);
        if (server_) server_->RouteEvent(dispid, args);
        if (params) CopyBack(*params, args);
    } catch (...) {
    }
    return S_OK;
}

}  // namespace kestova
