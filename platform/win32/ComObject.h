#pragma once
// One IUnknown for every COM object we implement: an atomic reference count and a
// QueryInterface table built from the listed interfaces, so no class hand-rolls AddRef/Release.
#include <windows.h>
#include <unknwn.h>
#include <wrl/client.h>

#include <atomic>
#include <tuple>
#include <utility>

namespace kestova::com {

using Microsoft::WRL::ComPtr;

template <class... Interfaces>
class TComObject : public Interfaces... {
    using TFirst = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    TComObject() = default;
    TComObject(const TComObject&) = delete;
    TComObject& operator=(const TComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = Lookup(riid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    ULONG RefCount() const { return refs_; }

protected:
    virtual ~TComObject() = default;
    // Ids answered beyond the listed interfaces: a base such as IDispatch of a dual interface,
    // or an id known only at run time.
    virtual void* QueryExtra(REFIID) { return nullptr; }
    IUnknown* Identity() { return static_cast<TFirst*>(this); }

private:
    void* Lookup(REFIID riid) {
        if (riid == IID_IUnknown) return Identity();
        void* found = nullptr;
        ((found = found ? found
                        : (riid == __uuidof(Interfaces) ? static_cast<Interfaces*>(this) : nullptr)),
         ...);
        return found ? found : QueryExtra(riid);
    }

    std::atomic<ULONG> refs_{1};  // the creator's reference, taken over by Make
};

// IDispatch for an object its callers reach through the vtable alone: no type information and
// no names to look up.
template <class Interface>
class TVtableDispatch : public TComObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
};

// Creates a COM object and hands its first reference to a ComPtr. (mingw-w64's
// ComPtr::Attach takes a reference of its own, unlike Microsoft's, so it is not used.)
template <class T, class... Args>
ComPtr<T> Make(Args&&... args) {
    T* created = new T(std::forward<Args>(args)...);
    ComPtr<T> object(created);
    created->Release();
    return object;
}

}  // namespace kestova::com
