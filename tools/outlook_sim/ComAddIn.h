#pragma once
// The COMAddIn object Outlook hands an add-in as AddInInst when it connects it: the add-in's
// description, ProgID and class id, whether it is connected, and the object it offers other
// programs. Writing Connect is what the COM Add-ins dialog does when the user ticks or unticks it.
#include <functional>
#include <string>

#include "tools/outlook_sim/AutoObject.h"

namespace kestova::sim {

class TSimComAddIn : public TAutoObject {
public:
    // `connect`: carries out a write of Connect, and raises what refuses it.
    TSimComAddIn(std::wstring progID, std::function<void(bool)> connect = nullptr);
    void SetConnected(bool connected) { connected_ = connected; }
    const std::wstring& ProgId() const { return progID_; }

private:
    std::function<void(bool)> connect_;
    std::wstring progID_;
    std::wstring description_;
    std::wstring guid_;
    bool connected_ = false;
    com::TVariant object_;
};

}  // namespace kestova::sim
