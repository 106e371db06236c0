#include "player/cmxMP3.h"

#include "platform/MainThread.h"

namespace kestova {

namespace {
// MP3 files go to the device MCI associates with the extension: without MCI_OPEN_TYPE the
// device type text is ignored, and with it MP3 files fail to open.
constexpr uint32_t kOpenFlags = mci::OPEN_ELEMENT | mci::OPEN_SHAREABLE | mci::WAIT;
constexpr uint32_t kStatusFlags = mci::STATUS_ITEM | mci::WAIT;
}  // namespace

TcmxMP3::TcmxMP3(const std::string& fileName) : mci_(Mci()), fileName_(fileName) {
    ReadTag(fileName_, tagBlock_);
    Open();
    try {
        SetTimeFormat();
        lengthSeconds_ = static_cast<int>(StatusLength() / 1000);
    } catch (...) {
        Close();
        throw;
    }
    Close();
    notifyWindow_ = mci_->CreateNotifyWindow(
        [this](unsigned message, uintptr_t wParam, intptr_t lParam) {
            return NotifyWndProc(message, wParam, lParam);
        });
}

TcmxMP3::~TcmxMP3() {
    try {
        Stop();
    } catch (...) {
        // Nobody is left to hear of it; the report thread is told to end regardless.
    }
    EndReportThread();
}

void TcmxMP3::Play() {
    if (Mode() == pmPlaying) Stop();
    if (deviceId_ == 0) Open();
    PlayNotify();
    if (!OnPosition) return;
    EndReportThread();
    reportThread_ = TcmxProgressThread::Start(
        [this](TcmxProgressThread* sender) { ReportPosition(sender); }, MainThread());
}

void TcmxMP3::Pause() {
    if (deviceId_ == 0 || Mode() != pmPlaying) return;
    PauseCommand();
    if (auto thread = reportThread_.lock()) thread->Suspend();
}

void TcmxMP3::Resume() {
    if (deviceId_ == 0 || Mode() != pmPaused) return;
    ResumeCommand();
    if (auto thread = reportThread_.lock()) thread->Resume();
}

void TcmxMP3::Stop() {
    if (deviceId_ == 0) return;
    StopCommand();
    EndReportThread();
    Close();
}

TPlayerMode TcmxMP3::Mode() { return deviceId_ == 0 ? pmNoDevice : StatusMode(); }

// Asks the report thread to end without waiting for it; one that already ended is gone.
void TcmxMP3::EndReportThread() {
    if (auto thread = reportThread_.lock()) thread->Terminate();
    reportThread_.reset();
}

void TcmxMP3::Open() {
    Close();
    TMciParams params;
    params.deviceType = "WaveAudio";
    params.elementName = fileName_;
    CheckMciError(mci_->SendCommand(0, mci::OPEN, kOpenFlags, &params));
    deviceId_ = params.deviceId;
}

void TcmxMP3::Close() {
    if (deviceId_ == 0) return;
    Command(mci::CLOSE, mci::WAIT, nullptr);
    deviceId_ = 0;
}

void TcmxMP3::PlayNotify() {
    TMciParams params;
    params.callback = notifyWindow_->Handle();
    Command(mci::PLAY, mci::NOTIFY, &params);
}

void TcmxMP3::StopCommand() { Command(mci::STOP, 0, nullptr); }
void TcmxMP3::PauseCommand() { Command(mci::PAUSE, 0, nullptr); }
void TcmxMP3::ResumeCommand() { Command(mci::RESUME, 0, nullptr); }

void TcmxMP3::SetTimeFormat() {
    TMciParams params;
    params.timeFormat = mci::FORMAT_MILLISECONDS;
    Command(mci::SET, mci::SET_TIME_FORMAT, &params);
}

uint32_t TcmxMP3::StatusLength() { return Status(mci::STATUS_LENGTH); }
uint32_t TcmxMP3::StatusPosition() { return Status(mci::STATUS_POSITION); }

TPlayerMode TcmxMP3::StatusMode() {
    if (deviceId_ == 0) return pmNoDevice;
    const uint32_t mode = Status(mci::STATUS_MODE);
    if (mode < mci::MODE_NOT_READY || mode > mci::MODE_OPEN) return pmNoDevice;
    return static_cast<TPlayerMode>(mode - mci::MODE_NOT_READY);
}

uint32_t TcmxMP3::Status(uint32_t item) {
    if (deviceId_ == 0) return 0;
    TMciParams params;
    params.item = item;
    Command(mci::STATUS, kStatusFlags, &params);
    return params.returnValue;
}

// Every command but Open does nothing without a device.
void TcmxMP3::Command(uint32_t command, uint32_t flags, TMciParams* params) {
    if (deviceId_ == 0) return;
    CheckMciError(mci_->SendCommand(deviceId_, command, flags, params));
}

void TcmxMP3::CheckMciError(TMciError result) {
    if (result == 0) return;
    std::string text;
    if (!mci_->ErrorString(result, text)) text = "Unknown error code";
    throw eMciDeviceError(std::to_string(static_cast<int>(result)) + " - " + text);
}

// The device id in lParam is not looked at: Wine passes 0 there.
bool TcmxMP3::NotifyWndProc(unsigned message, uintptr_t wParam, intptr_t lParam) {
    if (message != mci::NOTIFY_MESSAGE) return false;
    HandleNotify(static_cast<uint32_t>(wParam));
    return true;
}

// The owner may destroy the player inside OnComplete: nothing of it is touched afterwards.
void TcmxMP3::HandleNotify(uint32_t code) {
    if (code != mci::NOTIFY_SUCCESSFUL) return;
    Stop();
    const TEvent<TcmxMP3*> complete = OnComplete;
    if (complete) complete(this);
}

void TcmxMP3::ReportPosition(TcmxProgressThread*) {
    SetTimeFormat();
    const int seconds = static_cast<int>(StatusPosition() / 1000);
    if (OnPosition) OnPosition(this, seconds);
}

}  // namespace kestova
