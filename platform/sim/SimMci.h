#pragma once
// A simulated MCI device for tests and builds without Windows: it opens real MP3 files (their
// length measured from the frame headers), plays against a clock that the test advances (or
// real time), delivers the end-of-play notification through the main-thread dispatcher, and
// fails any command with a chosen error on request. It accepts only the flags the player is
// meant to send, so a wrong command shows up as an MCI error.
#include <chrono>
#include <map>
#include <mutex>
#include <thread>
#include <condition_variable>

#include "platform/Mci.h"

namespace kestova {

class TSimNotifyWindows;

class TSimMci : public IMci {
public:
    enum class TClock { Manual, RealTime };
    explicit TSimMci(TClock clock = TClock::Manual);
    ~TSimMci() override;

    TMciError SendCommand(TMciDeviceId device, uint32_t command, uint32_t flags,
                          TMciParams* params) override;
    bool ErrorString(TMciError error, std::string& text) override;
    std::unique_ptr<INotifyWindow> CreateNotifyWindow(TNotifyProc proc) override;

    // Moves the clock on: playing devices advance, and those reaching their end stop and
    // notify MCI_NOTIFY_SUCCESSFUL.
    void Advance(std::chrono::milliseconds elapsed);
    // From now on `command` fails with `error`; an error of 0 lets it succeed again.
    void FailCommand(uint32_t command, TMciError error);
    int OpenDevices() const;

private:
    struct TDevice {
        uint32_t lengthMs = 0;
        uint32_t positionMs = 0;
        uint32_t mode = mci::MODE_STOP;
        TNotifyHandle notify = 0;  // the window of the pending play notification
    };

    TMciError Open(uint32_t flags, TMciParams* params);
    TMciError OnDevice(TDevice& device, TMciDeviceId id, uint32_t command, uint32_t flags,
                       TMciParams* params);
    TMciError Play(TDevice& device, TMciDeviceId id, uint32_t flags, TMciParams* params);
    TMciError Status(const TDevice& device, uint32_t flags, TMciParams* params);
    void Notify(TDevice& device, TMciDeviceId id, uint32_t code);
    void FinishIfAtEnd(TDevice& device, TMciDeviceId id);
    void Tick();

    mutable std::mutex lock_;
    std::map<TMciDeviceId, TDevice> devices_;
    std::map<uint32_t, TMciError> failures_;
    TMciDeviceId nextId_ = 1;
    std::shared_ptr<TSimNotifyWindows> windows_;

    std::condition_variable stopTicking_;
    bool ticking_ = false;
    std::thread ticker_;
};

}  // namespace kestova
