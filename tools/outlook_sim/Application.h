#pragma once
// Outlook's Application object: the root the add-in is handed, with the window collections.
#include "tools/outlook_sim/AutoObject.h"
#include "tools/outlook_sim/Windows.h"

namespace kestova::sim {

class TSimApplication : public TAutoObject {
public:
    TSimApplication();
    TSimInspectors& Inspectors() const { return *inspectors_.Get(); }
    TSimExplorers& Explorers() const { return *explorers_.Get(); }

    // Raises ItemSend; answers whether a handler cancelled the send.
    bool ItemSend(IDispatch* item);

private:
    com::ComPtr<TSimInspectors> inspectors_;
    com::ComPtr<TSimExplorers> explorers_;
};

}  // namespace kestova::sim
