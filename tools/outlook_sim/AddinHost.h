#pragma once
// Loads and connects COM add-ins the way Outlook does: every ProgID under HKLM's Outlook Addins
// key with LoadBehavior 3 is created by CoCreateInstance and connected through
// IDTExtensibility2; at exit each is told of the shutdown, disconnected and released.
#include <oaidl.h>

#include <string>
#include <vector>

#include "addin/com/ComObject.h"
#include "addin/com/IDTExtensibility2.h"

namespace kestova::sim {

struct TAddinResult {
    std::wstring progID;
    HRESULT result;  // of the step that failed, or S_OK
};

class TAddinHost {
public:
    explicit TAddinHost(IDispatch* application) : application_(application) {}
    ~TAddinHost() { Disconnect(); }
    TAddinHost(const TAddinHost&) = delete;
    TAddinHost& operator=(const TAddinHost&) = delete;

    // The registered add-ins that Outlook would load at its start.
    static std::vector<std::wstring> StartupAddins();
    std::vector<TAddinResult> Connect();
    // Connects one add-in object directly (tests create it themselves).
    HRESULT Connect(const std::wstring& progID, IUnknown* addin);
    std::vector<TAddinResult> Disconnect();
    size_t Count() const { return loaded_.size(); }

private:
    struct TLoaded {
        std::wstring progID;
        com::ComPtr<IDTExtensibility2> addin;
    };

    com::ComPtr<IDispatch> application_;
    std::vector<TLoaded> loaded_;
};

}  // namespace kestova::sim
