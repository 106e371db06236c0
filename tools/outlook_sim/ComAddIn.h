#pragma once
// The COMAddIn object Outlook hands an add-in as AddInInst when it connects it: the add-in's
// description and ProgID, whether it is connected, and the object it offers other programs.
#include <string>

#include "tools/outlook_sim/AutoObject.h"

namespace kestova::sim {

class TSimComAddIn : public TAutoObject {
public:
    explicit TSimComAddIn(std::wstring progID);
    void SetConnected(bool connected) { connected_ = connected; }

private:
    std::wstring progID_;
    std::wstring description_;
    bool connected_ = false;
    com::TVariant object_;
};

}  // namespace kestova::sim
