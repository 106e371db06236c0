#include "platform/sim/SimMci.h"

#include <algorithm>
#include <utility>

#include "platform/MainThread.h"
#include "platform/sim/Mp3Scan.h"

namespace kestova {

namespace {

constexpr uint32_t kOpenFlags = mci::OPEN_ELEMENT | mci::OPEN_SHAREABLE | mci::WAIT;
constexpr uint32_t kStatusFlags = mci::STATUS_ITEM | mci::WAIT;
constexpr TMciError kUnsupportedFunction = 274, kBadTimeFormat = 293;

// Texts for the errors this device raises, worded as Windows words them.
const std::map<TMciError, std::string> kErrorTexts = {
    {mci::ERR_INVALID_DEVICE_ID, "Invalid device ID. Use the ID given to the device when the device was opened."},
    {mci::ERR_UNRECOGNIZED_COMMAND, "The specified command is not recognized."},
    {kUnsupportedFunction, "The MCI device driver does not support the specified command."},
    {mci::ERR_INTERNAL, "A problem occurred in initializing MCI. Try restarting Windows."},
    {mci::ERR_FLAGS_NOT_COMPATIBLE, "The specified parameters cannot be used together."},
    {kBadTimeFormat, "The specified time format is invalid."},
};

}  // namespace

// The notify windows by handle, each with the dispatcher of the thread that made it. Shared
// with the calls it posts, so a notification still on its way finds a window gone, not freed
// memory.
class TSimNotifyWindows : public std::enable_shared_from_this<TSimNotifyWindows> {
public:
    TNotifyHandle Add(TNotifyProc proc) {
        std::shared_ptr<IMainThread> owner = MainThread();
        std::lock_guard<std::mutex> guard(lock_);
        const TNotifyHandle handle = nextHandle_++;
        windows_[handle] = {std::move(proc), std::move(owner)};
        return handle;
    }

    void Remove(TNotifyHandle handle) {
        std::lock_guard<std::mutex> guard(lock_);
        windows_.erase(handle);
    }

    // Posts MM_MCINOTIFY to the window's thread; a message to no window is lost, as in Windows.
    void Post(TNotifyHandle handle, uint32_t code, TMciDeviceId device) {
        std::shared_ptr<IMainThread> owner;
        {
            std::lock_guard<std::mutex> guard(lock_);
            auto it = windows_.find(handle);
            if (it == windows_.end()) return;
            owner = it->second.owner;
        }
        owner->Post([self = shared_from_this(), handle, code, device] {
            self->Deliver(handle, code, device);
        });
    }

private:
    struct TWindow {
        TNotifyProc proc;
        std::shared_ptr<IMainThread> owner;
    };

    void Deliver(TNotifyHandle handle, uint32_t code, TMciDeviceId device) {
        TNotifyProc proc;
        {
            std::lock_guard<std::mutex> guard(lock_);
            auto it = windows_.find(handle);
            if (it == windows_.end()) return;
            proc = it->second.proc;  // a copy: the window may be destroyed inside the call
        }
        proc(mci::NOTIFY_MESSAGE, code, device);
    }

    std::mutex lock_;
    std::map<TNotifyHandle, TWindow> windows_;
    TNotifyHandle nextHandle_ = 0x1000;
};

namespace {

class TSimNotifyWindow : public INotifyWindow {
public:
    TSimNotifyWindow(std::shared_ptr<TSimNotifyWindows> windows, TNotifyProc proc)
        : windows_(std::move(windows)), handle_(windows_->Add(std::move(proc))) {}
    ~TSimNotifyWindow() override { windows_->Remove(handle_); }
    TNotifyHandle Handle() const override { return handle_; }

private:
    std::shared_ptr<TSimNotifyWindows> windows_;
    TNotifyHandle handle_;
};

}  // namespace

TSimMci::TSimMci(TClock clock) : windows_(std::make_shared<TSimNotifyWindows>()) {
    if (clock == TClock::RealTime) {
        ticking_ = true;
        ticker_ = std::thread([this] { Tick(); });
    }
}

TSimMci::~TSimMci() {
    {
        std::lock_guard<std::mutex> guard(lock_);
        ticking_ = false;
    }
    stopTicking_.notify_all();
    if (ticker_.joinable()) ticker_.join();
}

// Real time: advances the clock by the time that really passed, in steps of about 10 ms.
void TSimMci::Tick() {
    auto last = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(lock_);
    while (ticking_) {
        stopTicking_.wait_for(lock, std::chrono::milliseconds(10));
        const auto now = std::chrono::steady_clock::now();
        const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - last);
        last += elapsed;
        lock.unlock();
        Advance(elapsed);
        lock.lock();
    }
}

TMciError TSimMci::SendCommand(TMciDeviceId device, uint32_t command, uint32_t flags,
                               TMciParams* params) {
    std::lock_guard<std::mutex> guard(lock_);
    auto failure = failures_.find(command);
    if (failure != failures_.end()) return failure->second;
    if (command == mci::OPEN) return Open(flags, params);
    auto it = devices_.find(device);
    if (it == devices_.end()) return mci::ERR_INVALID_DEVICE_ID;
    return OnDevice(it->second, device, command, flags, params);
}

TMciError TSimMci::Open(uint32_t flags, TMciParams* params) {
    if (flags != kOpenFlags || !params) return mci::ERR_FLAGS_NOT_COMPATIBLE;
    const TMp3Measure measure = MeasureMp3(params->elementName);
    // What Windows answers for a missing file or one without MPEG audio, under this flag set.
    if (measure.frames == 0) return mci::ERR_INTERNAL;
    TDevice device;
    device.lengthMs = measure.lengthMs;
    params->deviceId = nextId_++;
    devices_[params->deviceId] = device;
    return 0;
}

TMciError TSimMci::OnDevice(TDevice& device, TMciDeviceId id, uint32_t command, uint32_t flags,
                            TMciParams* params) {
    switch (command) {
    case mci::CLOSE:
        Notify(device, id, mci::NOTIFY_ABORTED);
        devices_.erase(id);
        return 0;
    case mci::PLAY:
        return Play(device, id, flags, params);
    case mci::STOP:
        Notify(device, id, mci::NOTIFY_ABORTED);
        device.mode = mci::MODE_STOP;
        return 0;
    case mci::PAUSE:
        if (device.mode == mci::MODE_PLAY) device.mode = mci::MODE_PAUSE;
        return 0;
    case mci::RESUME:
        if (device.mode == mci::MODE_PAUSE) device.mode = mci::MODE_PLAY;
        return 0;
    case mci::SET:
        if (flags != mci::SET_TIME_FORMAT || !params) return mci::ERR_FLAGS_NOT_COMPATIBLE;
        return params->timeFormat == mci::FORMAT_MILLISECONDS ? 0 : kBadTimeFormat;
    case mci::STATUS:
        return Status(device, flags, params);
    default:
        return mci::ERR_UNRECOGNIZED_COMMAND;
    }
}

TMciError TSimMci::Play(TDevice& device, TMciDeviceId id, uint32_t flags, TMciParams* params) {
    if ((flags & ~mci::NOTIFY) != 0 || (flags != 0 && !params)) return mci::ERR_FLAGS_NOT_COMPATIBLE;
    Notify(device, id, mci::NOTIFY_SUPERSEDED);
    if (flags & mci::NOTIFY) device.notify = params->callback;
    device.mode = mci::MODE_PLAY;
    FinishIfAtEnd(device, id);
    return 0;
}

TMciError TSimMci::Status(const TDevice& device, uint32_t flags, TMciParams* params) {
    if (flags != kStatusFlags || !params) return mci::ERR_FLAGS_NOT_COMPATIBLE;
    switch (params->item) {
    case mci::STATUS_LENGTH: params->returnValue = device.lengthMs; return 0;
    case mci::STATUS_POSITION: params->returnValue = device.positionMs; return 0;
    case mci::STATUS_MODE: params->returnValue = device.mode; return 0;
    default: return kUnsupportedFunction;
    }
}

// Sends the pending play notification, if any, with `code`.
void TSimMci::Notify(TDevice& device, TMciDeviceId id, uint32_t code) {
    if (device.notify == 0) return;
    windows_->Post(std::exchange(device.notify, 0), code, id);
}

void TSimMci::FinishIfAtEnd(TDevice& device, TMciDeviceId id) {
    if (device.mode != mci::MODE_PLAY || device.positionMs < device.lengthMs) return;
    device.positionMs = device.lengthMs;
    device.mode = mci::MODE_STOP;
    Notify(device, id, mci::NOTIFY_SUCCESSFUL);
}

void TSimMci::Advance(std::chrono::milliseconds elapsed) {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto& [id, device] : devices_) {
        if (device.mode != mci::MODE_PLAY) continue;
        const uint64_t position = uint64_t(device.positionMs) + uint64_t(elapsed.count());
        device.positionMs = static_cast<uint32_t>(std::min<uint64_t>(position, device.lengthMs));
        FinishIfAtEnd(device, id);
    }
}

void TSimMci::FailCommand(uint32_t command, TMciError error) {
    std::lock_guard<std::mutex> guard(lock_);
    if (error == 0) {
        failures_.erase(command);
    } else {
        failures_[command] = error;
    }
}

int TSimMci::OpenDevices() const {
    std::lock_guard<std::mutex> guard(lock_);
    return static_cast<int>(devices_.size());
}

bool TSimMci::ErrorString(TMciError error, std::string& text) {
    auto it = kErrorTexts.find(error);
    if (it == kErrorTexts.end()) return false;
    text = it->second;
    return true;
}

std::unique_ptr<INotifyWindow> TSimMci::CreateNotifyWindow(TNotifyProc proc) {
    return std::make_unique<TSimNotifyWindow>(windows_, std::move(proc));
}

}  // namespace kestova
