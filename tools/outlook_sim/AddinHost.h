#pragma once
// Loads and connects COM add-ins the way Outlook does: every ProgID under the Outlook Addins
// key of HKCU and of HKLM with LoadBehavior 3 is created by CoCreateInstance and connected
// through IDTExtensibility2, with a COMAddIn object of its own; one that fails to load stays
// unloaded and gets LoadBehavior 2. At exit each is told of the shutdown, disconnected and released.
#include <oaidl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/IDTExtensibility2.h"
#include "tools/outlook_sim/ComAddIn.h"

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
    // The add-in's LoadBehavior, 0 when it has none.
    static DWORD LoadBehaviorOf(const std::wstring& progID);
    std::vector<TAddinResult> Connect();
    // Connects one add-in object directly (tests create it themselves).
    HRESULT Connect(const std::wstring& progID, IUnknown* addin);
    std::vector<TAddinResult> Disconnect();
    // The user unloads one add-in (ext_dm_UserClosed).
    TAddinResult Disconnect(const std::wstring& progID);
    size_t Count() const { return loaded_.size(); }
    // Outlook's ribbon learns of each add-in once it has connected, and once it has gone.
    std::function<void(const std::wstring& progID, IUnknown* addin)> OnConnected;
    std::function<void(const std::wstring& progID)> OnDisconnected;

private:
    struct TLoaded {
        std::wstring progID;
        com::ComPtr<IDTExtensibility2> addin;
        com::ComPtr<TSimComAddIn> instance;
    };

    com::ComPtr<IDispatch> application_;
    std::vector<TLoaded> loaded_;
};

}  // namespace kestova::sim
