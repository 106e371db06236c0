#include "tools/outlook_sim/AutoObject.h"

#include <olectl.h>
#include <shlwapi.h>

#include <cxxabi.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <set>

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

// Objects may be released on any thread that holds them.
std::mutex& LiveLock() {
    static std::mutex lock;
    return lock;
}
std::set<const TAutoObject*>& LiveObjects() {
    static std::set<const TAutoObject*> live;
    return live;
}

}  // namespace

// An object whose last reference is gone is being destroyed, and holds nothing any more.
void TAutoObject::WithLive(const std::function<void(const std::vector<const TAutoObject*>& live)>& use) {
    const std::lock_guard<std::mutex> guard(LiveLock());
    std::vector<const TAutoObject*> live;
    for (const TAutoObject* object : LiveObjects())
        if (object->RefCount() > 0) live.push_back(object);
    use(live);
}

std::string TAutoObject::Kind() const {
    int status = 0;
    const std::unique_ptr<char, void (*)(void*)> name(abi::__cxa_demangle(typeid(*this).name(), nullptr, nullptr, &status),
                                                      std::free);
    std::string kind = status == 0 && name ? name.get() : typeid(*this).name();
    kind = kind.substr(kind.rfind(':') + 1);
    return kind.rfind("TSim", 0) == 0 ? kind.substr(4) : kind;
}

bool SameName(const wchar_t* a, const wchar_t* b) { return StrCmpIW(a, b) == 0; }

const com::TVariant& TArgs::At(size_t index) const {
    if (!Has(index)) throw com::EOleError(DISP_E_PARAMNOTFOUND, "argument " + std::to_string(index + 1));
    return values_[index];
}

TAutoObject::TAutoObject(std::vector<GUID> identities, const GUID* events)
    : thread_(GetCurrentThreadId()), identities_(std::move(identities)) {
    if (events) point_ = com::Make<TConnectionPoint>(this, *events);
    const std::lock_guard<std::mutex> guard(LiveLock());
    LiveObjects().insert(this);
}

TAutoObject::~TAutoObject() {
    if (point_) point_->Orphan();
    const std::lock_guard<std::mutex> guard(LiveLock());
    LiveObjects().erase(this);
}

void* TAutoObject::QueryExtra(REFIID riid) {
    const bool typed = std::find(identities_.begin(), identities_.end(), riid) != identities_.end();
    return typed ? static_cast<IDispatch*>(this) : nullptr;
}

void TAutoObject::Property(DISPID id, const std::wstring& name, TGetter get, TSetter put) {
    members_.push_back({id, name, false, {}, std::move(get), std::move(put)});
}

void TAutoObject::Property(DISPID id, const std::wstring& name, std::vector<TParam> params, TGetter get) {
    members_.push_back({id, name, false, std::move(params), std::move(get), {}});
}

void TAutoObject::Method(DISPID id, const std::wstring& name, std::vector<TParam> params, TGetter call) {
    members_.push_back({id, name, true, std::move(params), std::move(call), {}});
}

const TAutoObject::TMember* TAutoObject::MemberOf(DISPID dispid) const {
    const auto byId = [&](DISPID id) {
        const auto found = std::find_if(members_.begin(), members_.end(), [&](const TMember& m) { return m.id == id; });
        return found == members_.end() ? nullptr : &*found;
    };
    const TMember* member = byId(dispid);
    return !member && dispid == DISPID_VALUE && default_ != DISPID_UNKNOWN ? byId(default_) : member;
}

HRESULT TAutoObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

// Parameter names get their position as DISPID, as type libraries number them.
HRESULT TAutoObject::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (GetCurrentThreadId() != thread_) return RPC_E_WRONG_THREAD;
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    if (!names || !ids || count == 0) return E_INVALIDARG;
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    const auto member = std::find_if(members_.begin(), members_.end(),
                                     [&](const TMember& m) { return SameName(m.name.c_str(), names[0]); });
    if (member == members_.end()) return DISP_E_UNKNOWNNAME;
    ids[0] = member->id;
    HRESULT result = S_OK;
    for (UINT i = 1; i < count; ++i) {
        const auto param = std::find_if(member->params.begin(), member->params.end(),
                                        [&](const TParam& p) { return SameName(p.name.c_str(), names[i]); });
        if (param == member->params.end()) {
            result = DISP_E_UNKNOWNNAME;
        } else {
            ids[i] = DISPID(param - member->params.begin());
        }
    }
    return result;
}

namespace {

// The argument as the parameter's type takes it, by the rules of VariantChangeType.
bool Coerce(const VARIANT& arg, VARTYPE type, com::TVariant& out) {
    com::TVariant value;
    if (FAILED(VariantCopyInd(value.Put(), const_cast<VARIANT*>(&arg)))) return false;
    if (type == VT_VARIANT) {
        out = std::move(value);
        return true;
    }
    return SUCCEEDED(VariantChangeType(out.Put(), const_cast<VARIANT*>(&value.Get()), 0, type));
}

}  // namespace

HRESULT TAutoObject::Bind(const TMember& member, WORD flags, const DISPPARAMS& params, std::vector<com::TVariant>& args,
                          UINT* argError) const {
    const auto mismatch = [&](UINT i) {
        if (argError) *argError = i;
        return DISP_E_TYPEMISMATCH;
    };
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (!member.put) return DISP_E_MEMBERNOTFOUND;
        if (params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) return DISP_E_PARAMNOTOPTIONAL;
        if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
        args.assign(1, com::TVariant());
        return Coerce(params.rgvarg[0], member.put.type, args[0]) ? S_OK : mismatch(0);
    }
    if (!(flags & (member.method ? DISPATCH_METHOD : DISPATCH_PROPERTYGET))) return DISP_E_MEMBERNOTFOUND;
    if (params.cArgs > member.params.size()) return DISP_E_BADPARAMCOUNT;
    args.assign(member.params.size(), com::TVariant::Missing());
    for (UINT i = 0; i < params.cArgs; ++i) {
        const DISPID declared = com::DeclaredIndex(params, i);
        if (declared < 0 || size_t(declared) >= member.params.size()) return DISP_E_PARAMNOTFOUND;
        if (com::TVariant::IsMissing(params.rgvarg[i])) continue;
        if (!Coerce(params.rgvarg[i], member.params[declared].type, args[declared])) return mismatch(i);
    }
    for (size_t i = 0; i < args.size(); ++i)
        if (!member.params[i].optional && args[i].IsMissing()) return DISP_E_PARAMNOTOPTIONAL;
    return S_OK;
}

HRESULT TAutoObject::Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                            EXCEPINFO* info, UINT* argError) {
    if (GetCurrentThreadId() != thread_) return RPC_E_WRONG_THREAD;
    if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
    const TMember* member = MemberOf(dispid);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    const DISPPARAMS none{};
    const DISPPARAMS& given = params ? *params : none;
    if ((given.cArgs && !given.rgvarg) || (given.cNamedArgs && !given.rgdispidNamedArgs)) return E_INVALIDARG;
    try {
        std::vector<com::TVariant> args;
        if (const HRESULT refused = Bind(*member, flags, given, args, argError); FAILED(refused)) return refused;
        if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            member->put.assign(args[0]);
            return S_OK;
        }
        com::TVariant value = member->get(TArgs(std::move(args)));
        if (result) *result = value.Detach();
        return S_OK;
    } catch (const com::EOleError& error) {
        Describe(info, error.Code(), error.Message());
    } catch (const std::exception& error) {
        Describe(info, E_FAIL, error.what());
    } catch (...) {
        return E_UNEXPECTED;  // nothing may cross the COM boundary
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
