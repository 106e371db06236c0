#pragma once
// Loads and connects COM add-ins the way Outlook does: every ProgID under the Outlook Addins
// key of HKCU and of HKLM with LoadBehavior 3 is created by CoCreateInstance and connected
// through IDTExtensibility2, with a COMAddIn object of its own; one that fails to load stays
// unloaded and gets LoadBehavior 2. At exit each is told of the shutdown, disconnected and released,
// or, as Outlook 2010 and later shut down, released without a word. Ticking and unticking an
// add-in in the COM Add-ins dialog go through its COMAddIn's Connect. Each start
// (OnConnection with OnStartupComplete) and each shutdown is timed, and an add-in is disabled
// as Outlook's resiliency disables it: when the median of its last 5 starts passes 1000 ms, or an
// item open passes 500 ms.
#include <oaidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "addin/com/IDTExtensibility2.h"
#include "tools/outlook_sim/ComAddIn.h"

namespace kestova::sim {

struct TAddinResult {
    std::wstring progID;
    HRESULT result;  // of the step that failed, or S_OK
    double ms = 0;   // how long the add-in took
    std::string verdict = {};  // why Outlook disabled it, or empty
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
    // At Outlook's start, or (ext_cm_AfterStartup) later with windows open, without OnStartupComplete.
    std::vector<TAddinResult> Connect(com::ext_ConnectMode mode = com::ext_cm_Startup);
    // Connects one add-in object directly (tests create it themselves).
    HRESULT Connect(const std::wstring& progID, IUnknown* addin);
    // Outlook shuts down: OnBeginShutdown, then OnDisconnection.
    std::vector<TAddinResult> Disconnect();
    // The user unloads one add-in (ext_dm_UserClosed).
    TAddinResult Disconnect(const std::wstring& progID);
    // Outlook's fast shutdown: every add-in is released, told nothing. Answers how long it took.
    double Release();
    // The user ticks or unticks the add-in in the COM Add-ins dialog, which writes its Connect.
    TAddinResult SetTicked(const std::wstring& progID, bool ticked);
    size_t Count() const;
    // The longest time the add-ins took for their last start.
    double LastStartMs() const { return lastStartMs_; }
    // An item window took `ms` in the add-ins' hands: the verdict when that disables them.
    std::string ItemOpened(double ms);
    // Outlook's ribbon learns of each add-in once it has connected, and once it has gone.
    std::function<void(const std::wstring& progID, IUnknown* addin)> OnConnected;
    std::function<void(const std::wstring& progID)> OnDisconnected;

private:
    struct TLoaded {
        std::wstring progID;
        com::ComPtr<IDTExtensibility2> addin;  // null while the user has it unticked
        com::ComPtr<TSimComAddIn> instance;
    };

    TLoaded* Find(const std::wstring& progID);
    HRESULT ConnectLoaded(TLoaded& loaded, IUnknown* addin, com::ext_ConnectMode mode, double& ms);
    HRESULT DisconnectLoaded(TLoaded& loaded, com::ext_DisconnectMode mode);
    com::ComPtr<TSimComAddIn> InstanceFor(const std::wstring& progID);
    std::string JudgeStart(const std::wstring& progID, double ms);

    com::ComPtr<IDispatch> application_;
    std::vector<TLoaded> loaded_;
    std::map<std::wstring, std::vector<double>> starts_;
    double lastStartMs_ = 0;
};

}  // namespace kestova::sim
