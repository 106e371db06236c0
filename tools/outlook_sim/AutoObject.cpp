#include "tools/outlook_sim/AutoObject.h"

#include <olectl.h>
#include <shlwapi.h>

#include <algorithm>

#include "addin/com/Dispatch.h"
#include "addin/com/OleError.h"
#include "tools/outlook_sim/ConnectionPoint.h"
#include "platform/win32/WideText.h"

namespace kestova::sim {

namespace {

void Describe(EXCEPINFO* info, HRESULT code, const std::string& text) {
    if (!info) return;
    *info = EXCEPINFO{};
    info->scode = code;
    info->bstrSource = SysAllocString(L"Outlook");
    const std::wstring description = win32::Widen(text);
    info->bstrDescription = SysAllocStringLen(description.data(), UINT(description.size()));
}

}  // namespace

bool SameName(const wchar_t* a, const wchar_t* b) { return StrCmpIW(a, b) == 0; }

const com::TVariant& TArgs::At(size_t index) const {
    if (!Has(index)) throw com::EOleError(DISP_E_PARAMNOTFOUND, "argument " + std::to_string(index + 1));
    return values_[index];
}

TAutoObject::TAutoObject(std::vector<GUID> identities, const GUID* events) : identities_(std::move(identities)) {
    if (events) point_ = com::Make<TConnectionPoint>(this, *events);
}

TAutoObject::~TAutoObject() {
    if (point_) point_->Orphan();
}

void* TAutoObject::QueryExtra(REFIID riid) {
    const bool typed = std::find(identities_.begin(), identities_.end(), riid) != identities_.end();
    return typed ? static_cast<IDispatch*>(this) : nullptr;
}

void TAutoObject::Property(const std::wstring& name, TGetter get, TSetter put) {
    members_.push_back({name, {}, std::move(get), std::move(put)});
}

void TAutoObject::Method(const std::wstring& name, std::vector<std::wstring> params, TGetter call) {
    members_.push_back({name, std::move(params), std::move(call), nullptr});
}

const TAutoObject::TMember* TAutoObject::MemberOf(DISPID dispid) const {
    return dispid >= 1 && size_t(dispid) <= members_.size() ? &members_[dispid - 1] : nullptr;
}

HRESULT TAutoObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

// Parameter names get their position as DISPID, as type libraries number them.
HRESULT TAutoObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    const auto member = std::find_if(members_.begin(), members_.end(),
                                     [&](const TMember& m) { return SameName(m.name.c_str(), names[0]); });
    if (member == members_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = DISPID(member - members_.begin() + 1);
    HRESULT result = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const auto param = std::find_if(member->params.begin(), member->params.end(),
                                        [&](const std::wstring& p) { return SameName(p.c_str(), names[i]); });
        if (param == member->params.end()) {
            result = DISP_E_UNKNOWNNAME;
        } else {
            ids[i] = DISPID(param - member->params.begin());
        }
    }
    return result;
}

com::TVariant TAutoObject::Call(const TMember& member, WORD flags, const DISPPARAMS& params) const {
    const bool put = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
    std::vector<com::TVariant> values(params.cArgs, com::TVariant::Missing());
    com::TVariant assigned;
    for (UINT i = 0; i < params.cArgs; ++i) {
        const DISPID declared = com::DeclaredIndex(params, i);
        const com::TVariant value = com::TVariant::FromVariant(params.rgvarg[i]);
        if (declared == DISPID_PROPERTYPUT) {
            assigned = value;
        } else if (i < params.cNamedArgs) {
            if (declared < 0 || size_t(declared) >= member.params.size()) throw com::EOleError(DISP_E_PARAMNOTFOUND, "named argument");
            if (size_t(declared) >= values.size()) values.resize(declared + 1, com::TVariant::Missing());
            values[declared] = value;
        } else {
            values[declared] = value;
        }
    }
    if (put) {
        if (!member.put) throw com::EOleError(DISP_E_MEMBERNOTFOUND, win32::Narrow(member.name) + " is read-only");
        member.put(assigned);
        return com::TVariant();
    }
    return member.get(TArgs(std::move(values)));
}

HRESULT TAutoObject::Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* info, UINT*) {
    const TMember* member = MemberOf(dispid);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    const DISPPARAMS none{};
    try {
        com::TVariant value = Call(*member, flags, params ? *params : none);
        if (result) *result = value.Detach();
        return S_OK;
    } catch (const com::EOleError& error) {
        Describe(info, error.Code(), error.Message());
    } catch (const std::exception& error) {
        Describe(info, E_FAIL, error.what());
    }
    return DISP_E_EXCEPTION;
}

HRESULT TAutoObject::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    IID events{};
    if (!point_ || FAILED(point_->GetConnectionInterface(&events)) || events != riid) return CONNECT_E_NOCONNECTION;
    *point = point_.Get();
    (*point)->AddRef();
    return S_OK;
}

std::vector<com::ComPtr<IDispatch>> TAutoObject::Sinks() const {
    return point_ ? point_->Sinks() : std::vector<com::ComPtr<IDispatch>>{};
}

// COM passes arguments last first.
void TAutoObject::Fire(DISPID dispid, std::vector<com::TVariant>& args) const {
    std::vector<VARIANT> reversed;
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->Get());
    for (const com::ComPtr<IDispatch>& sink : Sinks()) {
        DISPPARAMS params{reversed.data(), nullptr, UINT(reversed.size()), 0};
        sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
    }
}

void TAutoObject::Fire(DISPID dispid) const {
    std::vector<com::TVariant> none;
    Fire(dispid, none);
}

void TAutoObject::Fire(DISPID dispid, IDispatch* object) const {
    std::vector<com::TVariant> args;
    args.emplace_back(object);
    Fire(dispid, args);
}

bool TAutoObject::FireCancellable(DISPID dispid, IDispatch* object) const {
    VARIANT_BOOL cancel = VARIANT_FALSE;
    std::vector<com::TVariant> args;
    args.emplace_back(object);
    args.push_back(com::TVariant::ByRef(&cancel));
    Fire(dispid, args);
    return cancel != VARIANT_FALSE;
}

}  // namespace kestova::sim
