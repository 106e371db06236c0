#pragma once
// The base of every simulated Outlook object: IDispatch over a table of named members (found
// case-insensitively, parameters by name too), the typed interface ids the object answers
// (Outlook's interfaces are dual, so they all lead to this IDispatch), and one connection point
// for the object's event interface.
#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/Variant.h"

namespace kestova::sim {

// One call's arguments in declared order; omitted ones are missing.
class TArgs {
public:
    explicit TArgs(std::vector<com::TVariant> values) : values_(std::move(values)) {}
    bool Has(size_t index) const { return index < values_.size() && !values_[index].IsMissing(); }
    const com::TVariant& At(size_t index) const;  // raises DISP_E_PARAMNOTFOUND when missing
    long Long(size_t index, long fallback) const { return Has(index) ? At(index).AsLong() : fallback; }
    bool Bool(size_t index, bool fallback) const { return Has(index) ? At(index).AsBool() : fallback; }
    std::wstring Text(size_t index) const { return At(index).AsText(); }

private:
    std::vector<com::TVariant> values_;
};

using TGetter = std::function<com::TVariant(const TArgs&)>;
using TSetter = std::function<void(const com::TVariant&)>;

// Accessors of a property kept in a field of the object.
template <class T>
TGetter Read(const T& field) {
    return [&field](const TArgs&) { return com::TVariant(field); };
}
inline TSetter Assign(std::wstring& field) {
    return [&field](const com::TVariant& value) { field = value.AsText(); };
}
inline TSetter Assign(long& field) {
    return [&field](const com::TVariant& value) { field = value.AsLong(); };
}
inline TSetter Assign(bool& field) {
    return [&field](const com::TVariant& value) { field = value.AsBool(); };
}

// Outlook compares member, parameter and item names without regard to case.
bool SameName(const wchar_t* a, const wchar_t* b);

class TConnectionPoint;

class TAutoObject : public com::TComObject<IDispatch, IConnectionPointContainer> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // The sinks advised on this object's event interface.
    std::vector<com::ComPtr<IDispatch>> Sinks() const;
    IDispatch* AsDispatch() { return this; }

protected:
    // `identities`: the typed interface ids this object answers; `events`: its event
    // interface, or null for an object without events.
    TAutoObject(std::vector<GUID> identities, const GUID* events);
    ~TAutoObject() override;
    void* QueryExtra(REFIID riid) override;

    void Property(const std::wstring& name, TGetter get, TSetter put = nullptr);
    void Method(const std::wstring& name, std::vector<std::wstring> params, TGetter call);
    // Raises an event at every advised sink; `args` in declared order.
    void Fire(DISPID dispid, std::vector<com::TVariant>& args) const;
    void Fire(DISPID dispid) const;
    void Fire(DISPID dispid, IDispatch* object) const;
    // Raises an event of the (object, Cancel by reference) form; answers the final Cancel.
    bool FireCancellable(DISPID dispid, IDispatch* object) const;

private:
    struct TMember {
        std::wstring name;
        std::vector<std::wstring> params;
        TGetter get;
        TSetter put;
    };
    const TMember* MemberOf(DISPID dispid) const;
    com::TVariant Call(const TMember& member, WORD flags, const DISPPARAMS& params) const;

    std::vector<TMember> members_;  // DISPID = index + 1
    std::vector<GUID> identities_;
    com::ComPtr<TConnectionPoint> point_;
};

}  // namespace kestova::sim
