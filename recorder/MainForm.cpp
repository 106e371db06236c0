#include "recorder/MainForm.h"

#include "audio/lame.h"
#include "recorder/AboutForm.h"
#include "platform/Files.h"
#include "recorder/DataFolder.h"
#include "recorder/DiagnosticLog.h"
#include "recorder/Diagnostics.h"
#include "recorder/Links.h"
#include "recorder/Microphones.h"
#include "recorder/OptionsForm.h"
#include "recorder/RecordingFile.h"
#include "recorder/Settings.h"
#include "recorder/VoiceTag.h"
#include "recorder/VoiceTexts.h"
#include "ui/Cursors.h"
#include "ui/Dialogs.h"
#include "ui/Reader.h"

#include <cmath>

namespace kestova {

namespace {

const char* const kReadyText = "Click 'Record' button to start";
const char* const kFailedKeptText = "Recording failed; the earlier one is kept";

// The hand cursor of the banner and the link buttons is the program's own.
const bool handCursorInstalled = [] {
    Screen().SetCursorResource(crHandPoint, "_HANDPOINT");
    return true;
}();

}  // namespace

TformMain::TformMain(TForm* owner) : TForm(owner) {
    (void)handCursorInstalled;
    BuildLayout();
    ConfigureAudio();
    ConnectHandlers();
    FormCreate();
}

TformMain::~TformMain() {
    // The worker may be posting right now: it reads the token through the same atomic access.
    std::atomic_store(&alive_, std::shared_ptr<int>());
    Player.reset();
}

void TformMain::BuildLayout() {
    SetCaption(" Kestova for Outlook");
    SetBorderStyle(TBorderStyle::bsToolWindow);
    SetClientSize(400, 212);
    SetPosition(TPosition::poOwnerFormCenter);  // the mail window it was started from
    SetIconResource("MAINICON");
    imgLogo.SetResourceName("BANNER");
    imgLogo.SetBounds(0, 0, 400, 64);
    imgLogo.SetCursor(crHandPoint);
    // Two lines high: the longest hints wrap at every DPI.
    ShapeState.SetBounds(8, 72, 241, 41);
    lbState.SetBounds(8, 5, 225, 32);
    lbState.SetFont({"Verdana", 13, true});
    lbState.SetCaption(kReadyText);
    lbState.SetIsStatus(true);
    btBPS.SetBounds(256, 72, 65, 25);
    btBPS.SetCaption("kbps");
    pbPlay.SetBounds(8, 120, 313, 25);
    pbPlay.SetMax(kBarMax);
    pbPlay.SetSmooth(true);
    pbPlay.SetAccessibleName("Level");
    btOK.SetBounds(328, 72, 64, 25);
    btOK.SetCaption("OK");
    btOK.SetEnabled(false);
    btOK.SetDefault(true);
    btCancel.SetBounds(328, 120, 64, 25);
    btCancel.SetCaption("Cancel");
    btCancel.SetCancel(true);
    tbVoice.Images() = {"GLYPHS", 32, 32, 7};
    tbVoice.AddItem(&actRecord, "&Record");
    tbVoice.AddItem(&actPlay, "&Play");
    tbVoice.AddItem(&actPause, "P&ause");
    tbVoice.AddItem(&actStop, "&Stop");
    tbVoice.AddItem(&actAbout);
    tbVoice.AddItem(&actOptions);
    tbVoice.AddItem(&actHelp);
    pmMain.AddItem(&actOptions);
    pmMain.AddSeparator();
    pmMain.AddItem(&actHelp);
    pmMain.AddItem(&actHomePage);
    pmMain.AddItem(&actSupport);
    pmMain.AddItem(&actAbout);
    SetPopupMenu(&pmMain);
    SetActiveControl(&tbVoice);  // on Record, its first button
    SetVoiceActions(true, false, false, false);
}

// The window's stored values for its audio components; a value a component refuses names it.
void TformMain::ConfigureAudio() {
    AudioIn.SetName("AudioIn");
    SoundIndicator.SetName("SoundIndicator");
    MP3Out.SetName("MP3Out");
    ReadProperty(AudioIn, "BaseChannel", [this] { AudioIn.SetBaseChannel(0); });
    AudioIn.InBitsPerSample = 16;
    AudioIn.InChannels = 2;
    AudioIn.InSampleRate = 22050;
    AudioIn.RecTime = -1;
    SoundIndicator.SetInput(&AudioIn);
    MP3Out.SetInput(&SoundIndicator);
    MP3Out.SetSuspendWhenIdle(true);
    MP3Out.SetFileMode(foRewrite);
    MP3Out.BitRate = br64;
    MP3Out.Id3Tag = VoiceMessageTag();
}

void TformMain::ConnectHandlers() {
    const auto bind = [this](void (TformMain::*handler)(TComponent*)) {
        return [this, handler](TComponent* sender) { (this->*handler)(sender); };
    };
    actRecord.OnExecute = bind(&TformMain::actRecordExecute);
    actPlay.OnExecute = bind(&TformMain::actPlayExecute);
    actPause.OnExecute = bind(&TformMain::actPauseExecute);
    actStop.OnExecute = bind(&TformMain::actStopExecute);
    actOptions.OnExecute = bind(&TformMain::actOptionsExecute);
    actAbout.OnExecute = bind(&TformMain::actAboutExecute);
    actHelp.OnExecute = bind(&TformMain::actHelpExecute);
    actHomePage.OnExecute = bind(&TformMain::actHomePageExecute);
    actSupport.OnExecute = bind(&TformMain::actSupportExecute);
    btOK.OnClick = bind(&TformMain::btOKClick);
    btCancel.OnClick = bind(&TformMain::btCancelClick);
    btBPS.OnClick = bind(&TformMain::actOptionsExecute);
    imgLogo.OnClick = bind(&TformMain::imgLogoClick);
    OnClose = bind(&TformMain::FormClose);
    OnHelp = bind(&TformMain::actHelpExecute);
    MP3Out.OnProgress = bind(&TformMain::MP3OutProgress);
    MP3Out.OnDone = bind(&TformMain::MP3OutDone);
    MP3Out.OnThreadException = [this](TComponent* sender, const std::exception& e) {
        MP3OutThreadException(sender, e);
    };
}

void TformMain::FormCreate() {
    RecordFileName = DataFolder() + RecordingFileName;
    DeleteRecording(RecordFileName);
    // A recording is written beside the last good one and takes its place once finished.
    MP3Out.FileName = NewRecordingFile(RecordFileName);
    DeleteRecording(MP3Out.FileName);
    LoadSettings();
}

void TformMain::LoadSettings() {
    const TStoredSettings stored;
    const int kbps = stored.BitRateKbps();
    BitRateKbps = kbps;
    if (const auto rate = BitRateFromKbps(kbps)) MP3Out.BitRate = *rate;
    btBPS.SetCaption(std::to_string(kbps) + " kbps");
    limitBytes_ = stored.MaxMessageMB() * 1e6;
    LoadMicrophone(stored.Microphone());
}

void TformMain::LoadMicrophone(const std::string& stored) {
    const TMicrophone microphone = MicrophoneFor(stored);
    microphone_ = microphone.Device;
    UseMicrophone();
    if (!microphone.Notice.empty() && microphone.Notice != microphoneNotice_) lbState.SetCaption(microphone.Notice);
    microphoneNotice_ = microphone.Notice;
}

// A device chosen while a recording runs takes over from the next recording.
void TformMain::UseMicrophone() {
    if (!AudioIn.Busy && AudioIn.BaseChannel() != microphone_) AudioIn.SetBaseChannel(microphone_);
}

void TformMain::SetVoiceActions(bool record, bool play, bool pause, bool stop) {
    actRecord.SetEnabled(record);
    actPlay.SetEnabled(play);
    actPause.SetEnabled(pause);
    actStop.SetEnabled(stop);
}

void TformMain::actRecordExecute(TComponent*) {
    SetVoiceActions(false, false, true, true);
    if (MP3Out.Status() == osPaused) {
        MP3Out.Resume();
        return;
    }
    okPending_ = false;
    UseMicrophone();
    watch_.Start(limitBytes_);
    limitReached_ = false;
    // Counted first: a run that fails to start still ends through MP3OutThreadException.
    ++openRuns_;
    try {
        MP3Out.Run();
    } catch (...) {
        --openRuns_;
        throw;
    }
    // Only for the log: listing every device waits until the recording is under way.
    LogEvent("Recording started at " + std::to_string(BitRateKbps) + " kbps; microphones: " +
             MicrophonesText(AudioIn.BaseChannel()));
    LogEncoderOnce();
}

// Asked here, where this window's sink holds the library, rather than at Outlook's start.
void TformMain::LogEncoderOnce() {
    if (encoderLogged_) return;
    encoderLogged_ = true;
    LogEvent("Encoder: LAME " + LameVersion());
}

void TformMain::actPauseExecute(TComponent*) {
    if (MP3Out.Status() == osRunning) {
        SetVoiceActions(true, false, false, true);
        MP3Out.Pause();
        lbState.SetCaption("Recording Paused");
    }
    if (Player && Player->Mode() == pmPlaying) {
        SetVoiceActions(false, true, false, true);
        Player->Pause();
        lbState.SetCaption("Playing Paused");
    }
}

void TformMain::actPlayExecute(TComponent*) {
    SetVoiceActions(false, false, true, true);
    if (!Player) {
        if (openRuns_ > 0)
            playPending_ = true;  // opened by RunEnded once the file is complete
        else
            StartPlayer();
        return;
    }
    if (Player->Mode() == pmPaused) Player->Play();
}

void TformMain::StartPlayer() {
    auto player = std::make_unique<TcmxMP3>(RecordFileName);
    player->OnComplete = [this](TcmxMP3* sender) { OnPlayComplete(sender); };
    player->OnPosition = [this](TcmxMP3* sender, int seconds) { OnPlayProgress(sender, seconds); };
    Player = std::move(player);
    Player->Play();
}

void TformMain::actStopExecute(TComponent*) {
    if (!actStop.Enabled()) return;
    SetVoiceActions(true, true, false, false);
    playPending_ = false;
    if (MP3Out.Status() == osPaused) MP3Out.Resume();
    if (MP3Out.Status() == osRunning) {
        MP3Out.Stop();
        btOK.SetEnabled(true);
    }
    if (Player) {
        if (Player->Mode() == pmPaused) Player->Resume();
        Player->Stop();
        Player.reset();
    }
    pbPlay.SetPosition(0);
    lbState.SetCaption("Stopped");
}

void TformMain::btOKClick(TComponent*) {
    actStopExecute(this);
    if (openRuns_ > 0)
        okPending_ = true;  // RunEnded closes the window
    else
        SetModalResult(mrOk);
}

void TformMain::btCancelClick(TComponent*) {
    actStopExecute(this);
    okPending_ = false;
    if (!btOK.Enabled() || ConfirmDlg("Your voice email has not saved, are you sure to cancel?") == idYes)
        SetModalResult(mrCancel);
}

void TformMain::FormClose(TComponent*) {
    actStopExecute(this);
    okPending_ = false;
}

// A rate chosen during a recording shows in its size estimate at once; the encoder keeps the
// rate it started with.
void TformMain::actOptionsExecute(TComponent*) {
    TformOptions options(this);
    if (options.ShowModal() == mrOk) LoadSettings();
}

void TformMain::actAboutExecute(TComponent*) {
    TformAbout about(this);
    about.ShowModal();
}

void TformMain::actHelpExecute(TComponent*) { OpenHelpFile(); }
void TformMain::actHomePageExecute(TComponent*) { OpenHomePage(); }
void TformMain::actSupportExecute(TComponent*) { OpenSupportPage(); }
void TformMain::imgLogoClick(TComponent*) { OpenHomePage(); }

bool TformMain::RecordingShown() const { return !actRecord.Enabled() && actPause.Enabled() && !Player; }

void TformMain::Post(std::function<void()> call) {
    std::weak_ptr<int> alive = std::atomic_load(&alive_);
    PostToWindowThread([alive, call = std::move(call)] {
        if (alive.lock()) call();
    });
}

void TformMain::MP3OutProgress(TComponent*) {
    if (MP3Out.Status() != osRunning) {
        Post([this] {
            if (!Player) pbPlay.SetPosition(0);
        });
        return;
    }
    double levels[TSoundIndicator::LevelCount];
    SoundIndicator.ReadLevels(levels);
    const int elapsed = MP3Out.ElapsedSeconds();
    const double seconds = static_cast<double>(AudioIn.Position) / static_cast<double>(AudioIn.BytesPerSecond());
    const int kbps = BitRateKbps;
    const TRecordingWatch::TNote note = watch_.Update(seconds, levels[0], kbps);
    // Stopped here, the run reads one more block: the reserve the watch keeps under the limit.
    if (note == TRecordingWatch::TNote::LimitReached) MP3Out.Stop();
    const int left = static_cast<int>(std::ceil(watch_.SecondsLeft(seconds, kbps)));
    const int bar = LevelBar(levels[0]);
    // A report that arrives after a pause or stop must not bring the recording text back.
    Post([this, bar, note, elapsed, left, kbps] {
        if (!RecordingShown()) return;
        pbPlay.SetPosition(bar);
        ShowRecording(note, elapsed, left, kbps);
    });
}

void TformMain::ShowRecording(TRecordingWatch::TNote note, int elapsed, int secondsLeft, int kbps) {
    switch (note) {
    case TRecordingWatch::TNote::Size: lbState.SetCaption(RecordingText(elapsed, kbps)); break;
    case TRecordingWatch::TNote::TimeLeft: lbState.SetCaption(TimeLeftText(elapsed, secondsLeft)); break;
    case TRecordingWatch::TNote::NoSound: lbState.SetCaption(NoSoundText); break;
    case TRecordingWatch::TNote::LimitReached:
        // As if Stop were pressed (the sink may have ended already): all recorded is kept.
        limitReached_ = true;
        actStopExecute(this);
        btOK.SetEnabled(true);
        break;
    }
}

void TformMain::MP3OutDone(TComponent*) {
    const int seconds = MP3Out.ElapsedSeconds();
    const int kbps = BitRateKbps;
    try {
        KeepRecording(MP3Out.FileName, RecordFileName);
    } catch (const std::exception& e) {
        MP3OutThreadException(this, e);
        return;
    }
    LogEvent("Recording finished: " + std::to_string(seconds) + " s, " + std::to_string(FileSize(RecordFileName)) +
             " bytes, " + std::to_string(kbps) + " kbps");
    // A microphone that stopped delivering ended the recording: what it gave is kept, and the
    // user is told why it ended.
    Post([this, seconds, kbps, lost = AudioIn.DeviceLost()] {
        RunEnded(limitReached_ ? LimitReachedText(seconds, kbps) : FinishedText(seconds, kbps), "");
        if (!lost.empty()) ShowException(Exception(lost));
    });
}

// The earlier recording stays as it was; what the failed run wrote goes.
void TformMain::MP3OutThreadException(TComponent*, const std::exception& E) {
    DeleteRecording(MP3Out.FileName);
    Post([this, error = std::string(E.what())] { RunEnded("", error); });
}

// Every counted run ends here once, finished (`text`) or failed (`error`). A failed recording
// is reported and the window returns to Stopped, offering the earlier recording if any.
void TformMain::RunEnded(const std::string& text, const std::string& error) {
    openRuns_ = openRuns_ > 0 ? openRuns_ - 1 : 0;
    if (!error.empty()) {
        RunFailed(error);
        return;
    }
    recordingKept_ = true;
    btOK.SetEnabled(true);
    if (openRuns_ > 0) return;  // a newer recording is still going
    if (RecordingShown() && !playPending_) SetVoiceActions(true, true, false, false);  // it ended by itself
    pbPlay.SetPosition(0);
    lbState.SetCaption(text);
    if (okPending_) SetModalResult(mrOk);
    if (playPending_) {
        playPending_ = false;
        StartPlayer();
    }
}

void TformMain::RunFailed(const std::string& error) {
    LogEvent("Error in the recorder: " + error);
    okPending_ = playPending_ = false;
    btOK.SetEnabled(recordingKept_);
    if (!Player) {
        if (actStop.Enabled()) SetVoiceActions(true, true, false, false);
        actPlay.SetEnabled(recordingKept_);
        pbPlay.SetPosition(0);
        lbState.SetCaption(recordingKept_ ? kFailedKeptText : "Stopped");
    }
    ShowException(Exception(error));
}

void TformMain::OnPlayProgress(TcmxMP3* Sender, int Seconds) {
    if (!Player || Sender != Player.get()) return;
    pbPlay.SetPosition(PlayBar(Seconds, Player->LengthSeconds()));
    lbState.SetCaption(PlayingText(Seconds));
}

// The Stop routine destroys the player, so it runs on the next turn of the window's thread,
// once the player's notification has returned.
void TformMain::OnPlayComplete(TcmxMP3* Sender) {
    Post([this, Sender] {
        if (Player && Sender == Player.get()) actStopExecute(this);
    });
}

}  // namespace kestova
