#pragma once
// The library's COM server object: its own module and type library, the count of live
// objects (add-in objects and event sinks) and of server locks, and the one class factory.
#include <oaidl.h>

#include <atomic>
#include <string>

#include "platform/win32/ComObject.h"

namespace kestova {

class TzelAddinFactory;

class TComServer {
public:
    static TComServer& Instance();

    std::wstring ModuleFileName() const;
    ITypeLib* TypeLib();  // loaded from the module's TYPELIB 1 when first needed
    com::ComPtr<ITypeInfo> TypeInfoOf(const GUID& guid);
    TzelAddinFactory& Factory() const { return *factory_.Get(); }

    void ObjectCreated() { ++objectCount_; }
    void ObjectDestroyed() { --objectCount_; }
    long ObjectCount() const { return objectCount_; }
    void Lock() { ++lockCount_; }
    // An unlock without a lock of its own is ignored, so a client's extra one cannot keep
    // the library loaded for good.
    void Unlock();
    bool CanUnloadNow() const;

private:
    TComServer();

    HMODULE module_;
    com::ComPtr<ITypeLib> typeLib_;
    std::atomic<long> objectCount_{0};
    std::atomic<long> lockCount_{0};
    com::ComPtr<TzelAddinFactory> factory_;
};

}  // namespace kestova
