#pragma once
// The MP3 player: plays one file through the media control interface, reports the position
// once a second through its report thread, and tells its owner when playback ran to the end.
// Everything but the report thread runs on the thread that created the player.
#include <cstdint>
#include <memory>
#include <string>

#include "core/Event.h"
#include "core/Exception.h"
#include "platform/Mci.h"
#include "player/cmxProgressThread.h"
#include "player/cmxTag.h"

namespace kestova {

// Every MCI failure of the player: "<error number> - <system text>".
class eMciDeviceError : public Exception {
public:
    using Exception::Exception;
};

enum TPlayerMode {
    pmNotReady,
    pmStopped,
    pmPlaying,
    pmRecording,
    pmSeeking,
    pmPaused,
    pmOpen,
    pmNoDevice
};

class TcmxMP3 {
public:
    // Reads the tag and measures the length, leaving the device closed. Raises EFOpenError
    // for a file that cannot be opened and eMciDeviceError when MCI cannot open it.
    explicit TcmxMP3(const std::string& fileName);
    // Stops and closes a device still open, so no report or notification reaches a freed player.
    ~TcmxMP3();
    TcmxMP3(const TcmxMP3&) = delete;
    TcmxMP3& operator=(const TcmxMP3&) = delete;

    void Play();
    void Pause();
    void Resume();
    void Stop();
    TPlayerMode Mode();
    int LengthSeconds() const { return lengthSeconds_; }

    const TTagBlock& TagBlock() const { return tagBlock_; }
    std::weak_ptr<TcmxProgressThread> ReportThread() const { return reportThread_; }

    // Set by the owner right after creation, before the first Play.
    TEvent<TcmxMP3*, int> OnPosition;
    TEvent<TcmxMP3*> OnComplete;

private:
    void Open();
    void Close();
    void PlayNotify();
    void StopCommand();
    void PauseCommand();
    void ResumeCommand();
    void SetTimeFormat();
    uint32_t StatusLength();
    uint32_t StatusPosition();
    TPlayerMode StatusMode();
    uint32_t Status(uint32_t item);
    void Command(uint32_t command, uint32_t flags, TMciParams* params);
    void CheckMciError(TMciError result);

    bool NotifyWndProc(unsigned message, uintptr_t wParam, intptr_t lParam);
    void HandleNotify(uint32_t code);
    void ReportPosition(TcmxProgressThread* sender);
    void EndReportThread();

    const std::shared_ptr<IMci> mci_;
    TMciDeviceId deviceId_ = 0;
    const std::string fileName_;
    std::unique_ptr<INotifyWindow> notifyWindow_;
    TTagBlock tagBlock_{};
    int lengthSeconds_ = 0;
    std::weak_ptr<TcmxProgressThread> reportThread_;
};

}  // namespace kestova
