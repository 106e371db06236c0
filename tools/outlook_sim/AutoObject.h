#pragma once
// The base of every simulated Outlook object: IDispatch over a table of members with the DISPIDs
// of Outlook's and Office's type libraries (DispIds.h; names found case-insensitively,
// parameters by name too), the typed interface ids the object answers (Outlook's interfaces
// are dual, so they all lead to this IDispatch), and one connection point for the object's
// event interface. Invoke is as strict as a type library's: the argument count, required
// arguments, argument types, method against property, DISPID_PROPERTYPUT on a put, a null
// riid, and Outlook's one thread (the thread that made the object) are all checked.
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

// How a property is written: the type the value is converted to first, and what takes it.
struct TSetter {
    VARTYPE type = VT_EMPTY;
    std::function<void(const com::TVariant&)> assign;
    explicit operator bool() const { return bool(assign); }
};

// One declared parameter: its name, the type its argument is converted to (VT_VARIANT takes
// any), and whether it may be left out.
struct TParam {
    std::wstring name;
    VARTYPE type = VT_VARIANT;
    bool optional = false;
};
inline TParam Required(std::wstring name, VARTYPE type = VT_VARIANT) { return {std::move(name), type, false}; }
inline TParam Optional(std::wstring name, VARTYPE type = VT_VARIANT) { return {std::move(name), type, true}; }

// Accessors of a property kept in a field of the object.
template <class T>
TGetter Read(const T& field) {
    return [&field](const TArgs&) { return com::TVariant(field); };
}
inline TSetter Assign(std::wstring& field) {
    return {VT_BSTR, [&field](const com::TVariant& value) { field = value.AsText(); }};
}
inline TSetter Assign(long& field) {
    return {VT_I4, [&field](const com::TVariant& value) { field = value.AsLong(); }};
}
inline TSetter Assign(bool& field) {
    return {VT_BOOL, [&field](const com::TVariant& value) { field = value.AsBool(); }};
}

// Outlook compares member, parameter and item names without regard to case.
bool SameName(const wchar_t* a, const wchar_t* b);

class TConnectionPoint;

class TAutoObject : public com::TComObject<IDispatch, IConnectionPointContainer> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispid, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* info, UINT* argError) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

    // The sinks advised on this object's event interface.
    std::vector<com::ComPtr<IDispatch>> Sinks() const;
    IDispatch* AsDispatch() { return this; }

    // Runs `use` over every simulated object alive in the process, under the lock their
    // destruction takes, since they may be released on any thread. With the objects each one
    // holds a reference to, it is what `expect released` reckons the host's own references
    // from. An object that keeps others must list them here.
    static void WithLive(const std::function<void(const std::vector<const TAutoObject*>& live)>& use);
    virtual void Owned(std::vector<const TAutoObject*>& out) const {}
    // The object's kind as Outlook names it ("Inspector", "CommandBarButton"...).
    std::string Kind() const;

protected:
    // `identities`: the typed interface ids this object answers; `events`: its event
    // interface, or null for an object without events.
    TAutoObject(std::vector<GUID> identities, const GUID* events);
    ~TAutoObject() override;
    void* QueryExtra(REFIID riid) override;

    void Property(DISPID id, const std::wstring& name, TGetter get, TSetter put = {});
    // A property read with arguments, as Office's Item.
    void Property(DISPID id, const std::wstring& name, std::vector<TParam> params, TGetter get);
    void Method(DISPID id, const std::wstring& name, std::vector<TParam> params, TGetter call);
    // DISPID_VALUE calls this member: the Item of an Outlook collection.
    void DefaultMember(DISPID id) { default_ = id; }
    // Raises an event at every advised sink; `args` in declared order.
    void Fire(DISPID dispid, std::vector<com::TVariant>& args) const;
    void Fire(DISPID dispid) const;
    void Fire(DISPID dispid, IDispatch* object) const;
    // Raises an event of the (object, Cancel by reference) form; answers the final Cancel.
    bool FireCancellable(DISPID dispid, IDispatch* object) const;

private:
    struct TMember {
        DISPID id;
        std::wstring name;
        bool method;
        std::vector<TParam> params;
        TGetter get;
        TSetter put;
    };
    const TMember* MemberOf(DISPID dispid) const;
    // The call's arguments in declared order, converted; or the HRESULT that refuses the call.
    HRESULT Bind(const TMember& member, WORD flags, const DISPPARAMS& params, std::vector<com::TVariant>& args,
                 UINT* argError) const;

    std::vector<TMember> members_;
    DISPID default_ = DISPID_UNKNOWN;
    DWORD thread_;  // Outlook's: the thread that made the object
    std::vector<GUID> identities_;
    com::ComPtr<TConnectionPoint> point_;
};

}  // namespace kestova::sim
