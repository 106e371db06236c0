#pragma once
// The recorder window: records one voice message from the chosen capture device (the first
// one unless the user chose another) into an MP3 file, plays it back, and closes with OK (1)
// or Cancel (2). While it records, the status line also says when the microphone hears
// nothing and how much time the size limit leaves; the limit ends the recording.
//
// Threads: everything runs on the window's thread except MP3OutProgress, MP3OutDone and
// MP3OutThreadException, which the sink raises on its worker. Those post what they want shown
// to the window's thread and never wait for it. OK and Play wait, with the window responsive,
// for the sink's end before they close the window or open the file.
#include "audio/ACS_Audio.h"
#include "audio/ACS_Indicator.h"
#include "audio/ACS_LAME.h"
#include "player/cmxMP3.h"
#include "recorder/RecordingWatch.h"
#include "ui/ComCtrls.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace kestova {

class TformMain : public TForm {
public:
    // Raises EReadError when there is no capture device, EACSException without the encoder.
    explicit TformMain(TForm* owner = nullptr);
    ~TformMain() override;

    std::string RecordFileName;
    std::atomic<std::int32_t> BitRateKbps{64};  // also read by the worker's handlers
    std::unique_ptr<TcmxMP3> Player;

    // The controls, before the audio components: the worker goes first when the window does.
    TImage imgLogo{this, "imgLogo"};
    TShape ShapeState{this, "ShapeState"};
    TLabel lbState{this, "lbState", &ShapeState};
    TFlatButton btBPS{this, "btBPS"};
    TProgressBar pbPlay{this, "pbPlay"};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};
    TActionToolBar tbVoice{this, "tbVoice"};
    TPopupMenu pmMain{this, "pmMain"};

    TAction actRecord{this, "actRecord", "Record", 0};
    TAction actPlay{this, "actPlay", "Play", 1};
    TAction actPause{this, "actPause", "Pause", 2};
    TAction actStop{this, "actStop", "Stop", 3};
    TAction actOptions{this, "actOptions", "Options", 4};
    TAction actAbout{this, "actAbout", "About...", 5};
    TAction actHelp{this, "actHelp", "Help", 6};
    TAction actHomePage{this, "actHomePage", "Home Page"};
    TAction actSupport{this, "actSupport", "Support"};

private:
    // Before the audio components, so it outlives the worker whose handlers post through it.
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // posted calls hold it weakly

public:
    TAudioIn AudioIn;
    TSoundIndicator SoundIndicator;
    TMP3Out MP3Out;

    void actRecordExecute(TComponent* Sender);
    void actPlayExecute(TComponent* Sender);
    void actPauseExecute(TComponent* Sender);
    void actStopExecute(TComponent* Sender);
    void actOptionsExecute(TComponent* Sender);
    void actAboutExecute(TComponent* Sender);
    void actHelpExecute(TComponent* Sender);
    void actHomePageExecute(TComponent* Sender);
    void actSupportExecute(TComponent* Sender);
    void btOKClick(TComponent* Sender);
    void btCancelClick(TComponent* Sender);
    void FormClose(TComponent* Sender);
    void imgLogoClick(TComponent* Sender);

    // Applies the stored settings: BitRateKbps, the encoder's rate (listed values only) and the
    // caption of btBPS; the microphone (from the next recording when one runs) and the size
    // limit.
    void LoadSettings();

    // The sink's events, on its worker thread.
    void MP3OutProgress(TComponent* Sender);
    void MP3OutDone(TComponent* Sender);
    void MP3OutThreadException(TComponent* Sender, const std::exception& E);
    // The player's events, on the window's thread.
    void OnPlayProgress(TcmxMP3* Sender, int Seconds);
    void OnPlayComplete(TcmxMP3* Sender);

private:
    void FormCreate();
    void BuildLayout();
    void ConfigureAudio();
    void ConnectHandlers();
    void SetVoiceActions(bool record, bool play, bool pause, bool stop);
    void StartPlayer();
    bool RecordingShown() const;
    // Runs `call` on the window's thread later, unless the window is gone by then.
    void Post(std::function<void()> call);
    void RunEnded(const std::string& text, const std::string& error);
    void RunFailed(const std::string& error);
    void LoadMicrophone(const std::string& stored);
    void UseMicrophone();
    void LogEncoderOnce();
    void ShowRecording(TRecordingWatch::TNote note, int elapsed, int secondsLeft, int kbps);

    // Window thread only.
    int openRuns_ = 0;          // runs started whose end has not reached the window yet
    bool okPending_ = false;    // OK pressed: close once the recording is complete
    bool playPending_ = false;  // Play pressed: open the file once it is complete
    bool recordingKept_ = false;  // a finished recording is in RecordFileName
    int microphone_ = 0;            // the device recordings start with
    std::string microphoneNotice_;  // the missing-device notice last shown, shown only once
    double limitBytes_ = 0;         // 0 = no size limit
    bool limitReached_ = false;     // the limit stopped the last recording
    bool encoderLogged_ = false;    // the encoder's version is in the log

    TRecordingWatch watch_;  // guarded by its own lock: the worker's progress handler feeds it

};

}  // namespace kestova
