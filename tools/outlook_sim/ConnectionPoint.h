#pragma once
// One event interface's connection point: the sinks advised on it, by cookie.
#include <ocidl.h>

#include <map>
#include <vector>

#include "platform/win32/ComObject.h"

namespace kestova::sim {

class TConnectionPoint : public com::TComObject<IConnectionPoint> {
public:
    TConnectionPoint(IConnectionPointContainer* container, const GUID& events) : container_(container), events_(events) {}
    // The container is going away; clients that still hold the point get no container.
    void Orphan() { container_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

    // A copy, so that a sink may unadvise while it is being called.
    std::vector<com::ComPtr<IDispatch>> Sinks() const;

private:
    IConnectionPointContainer* container_;  // not owned: the container owns this point
    GUID events_;
    std::map<DWORD, com::ComPtr<IDispatch>> sinks_;
    DWORD nextCookie_ = 1;
};

}  // namespace kestova::sim
