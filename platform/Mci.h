#pragma once
// The media control interface as the player uses it: single commands on a device with the
// parameter fields it fills, the system's text for an error number, and a hidden window that
// receives the end-of-play notification on the thread that created it.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kestova {

using TMciDeviceId = uint16_t;
using TMciError = uint32_t;  // 0 = success
using TNotifyHandle = uintptr_t;

// Command numbers, flags and values as the Windows headers define them.
namespace mci {
constexpr uint32_t OPEN = 0x0803, CLOSE = 0x0804, PLAY = 0x0806, STOP = 0x0808, PAUSE = 0x0809,
                   SET = 0x080D, STATUS = 0x0814, RESUME = 0x0855;
constexpr uint32_t NOTIFY = 0x1, WAIT = 0x2, OPEN_SHAREABLE = 0x100, OPEN_ELEMENT = 0x200,
                   OPEN_TYPE = 0x2000, SET_TIME_FORMAT = 0x400, STATUS_ITEM = 0x100;
constexpr uint32_t FORMAT_MILLISECONDS = 0;
constexpr uint32_t STATUS_LENGTH = 1, STATUS_POSITION = 2, STATUS_MODE = 4;
constexpr uint32_t MODE_NOT_READY = 524, MODE_STOP = 525, MODE_PLAY = 526, MODE_RECORD = 527,
                   MODE_SEEK = 528, MODE_PAUSE = 529, MODE_OPEN = 530;
constexpr unsigned NOTIFY_MESSAGE = 0x3B9;  // MM_MCINOTIFY
constexpr uint32_t NOTIFY_SUCCESSFUL = 1, NOTIFY_SUPERSEDED = 2, NOTIFY_ABORTED = 4,
                   NOTIFY_FAILURE = 8;
constexpr TMciError ERR_INVALID_DEVICE_ID = 257, ERR_UNRECOGNIZED_COMMAND = 261,
                    ERR_INTERNAL = 277, ERR_FLAGS_NOT_COMPATIBLE = 284;
}  // namespace mci

// The fields of the open, play, set and status parameter blocks that the player uses.
struct TMciParams {
    TNotifyHandle callback = 0;
    std::string deviceType;   // open
    std::string elementName;  // open
    TMciDeviceId deviceId = 0;  // open: the device opened
    uint32_t timeFormat = 0;    // set
    uint32_t item = 0;          // status: what to ask
    uint32_t returnValue = 0;   // status: the answer
};

// A window's procedure as the player sees it: answers true when it handled the message,
// otherwise the window does the default handling.
using TNotifyProc = std::function<bool(unsigned message, uintptr_t wParam, intptr_t lParam)>;

class INotifyWindow {
public:
    virtual ~INotifyWindow() = default;
    virtual TNotifyHandle Handle() const = 0;
};

class IMci {
public:
    virtual ~IMci() = default;
    // One command on `device` (0 for open); `params` may be null for commands without a block.
    virtual TMciError SendCommand(TMciDeviceId device, uint32_t command, uint32_t flags,
                                  TMciParams* params) = 0;
    // The system's text for `error`; false when it has none.
    virtual bool ErrorString(TMciError error, std::string& text) = 0;
    // A hidden window, owned by the calling thread, whose messages go to `proc` there. An
    // exception from `proc` surfaces from the main-thread dispatcher's ProcessUntil.
    virtual std::unique_ptr<INotifyWindow> CreateNotifyWindow(TNotifyProc proc) = 0;
};

// The OS's media control interface; outside Windows, a simulated device playing in real time.
std::shared_ptr<IMci> CreateOsMci();

// The interface the player uses: the one installed, else the OS's (made on first use).
std::shared_ptr<IMci> Mci();
void SetMci(std::shared_ptr<IMci> mci);

}  // namespace kestova
