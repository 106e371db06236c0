#include "tools/outlook_sim/ConnectionPoint.h"

#include <olectl.h>

#include "addin/com/Dispatch.h"

namespace kestova::sim {

HRESULT TConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = events_;
    return S_OK;
}

HRESULT TConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
    if (!container) return E_POINTER;
    *container = container_;
    if (!container_) return E_UNEXPECTED;
    container_->AddRef();
    return S_OK;
}

// As COM sources do, the sink must answer the event interface id itself.
HRESULT TConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    *cookie = 0;
    com::ComPtr<IDispatch> events;
    if (FAILED(com::QueryDispatch(sink, events_, events))) return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    sinks_[*cookie] = events;
    return S_OK;
}

HRESULT TConnectionPoint::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

std::vector<com::ComPtr<IDispatch>> TConnectionPoint::Sinks() const {
    std::vector<com::ComPtr<IDispatch>> sinks;
    for (const auto& entry : sinks_) sinks.push_back(entry.second);
    return sinks;
}

}  // namespace kestova::sim
