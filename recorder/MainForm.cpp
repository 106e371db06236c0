#include "recorder/MainForm.h"

#include "recorder/AboutForm.h"
#include "recorder/DataFolder.h"
#include "recorder/Links.h"
#include "recorder/OptionsForm.h"
#include "recorder/RecordingFile.h"
#include "recorder/Settings.h"
#include "recorder/VoiceTexts.h"
#include "ui/Cursors.h"
#include "ui/Dialogs.h"
#include "ui/Reader.h"

namespace kestova {

namespace {

const char* const kReadyText = "Click 'Record' button to start";

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
    alive_.reset();
    Player.reset();
}

void TformMain::BuildLayout() {
    SetCaption(" Kestova for Outlook");
    SetBorderStyle(TBorderStyle::bsToolWindow);
    SetClientSize(400, 196);
    SetPosition(TPosition::poScreenCenter);
    SetIconResource("MAINICON");
    imgLogo.SetResourceName("BANNER");
    imgLogo.SetBounds(0, 0, 400, 64);
    imgLogo.SetCursor(crHandPoint);
    ShapeState.SetBounds(8, 72, 241, 25);
    lbState.SetBounds(8, 5, 225, 16);
    lbState.SetFont({"Verdana", 13, true});
    lbState.SetCaption(kReadyText);
    btBPS.SetBounds(256, 72, 65, 25);
    btBPS.SetCaption("kbps");
    pbPlay.SetBounds(8, 104, 313, 25);
    pbPlay.SetMax(kBarMax);
    pbPlay.SetSmooth(true);
    btOK.SetBounds(328, 72, 64, 25);
    btOK.SetCaption("OK");
    btOK.SetEnabled(false);
    btCancel.SetBounds(328, 104, 64, 25);
    btCancel.SetCaption("Cancel");
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
    MP3Out.Id3TagTitle = "Voice Email";
    MP3Out.Id3TagArtist = MakerDomain;
    MP3Out.Id3TagAlbum = "Kestova";
    MP3Out.Id3TagYear = "2004";
    MP3Out.Id3TagTrack = "Kestova";
    MP3Out.Id3TagComment = "Kestova for Outlook";
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
    MP3Out.OnProgress = bind(&TformMain::MP3OutProgress);
    MP3Out.OnDone = bind(&TformMain::MP3OutDone);
    MP3Out.OnThreadException = [this](TComponent* sender, const std::exception& e) {
        MP3OutThreadException(sender, e);
    };
}

void TformMain::FormCreate() {
    RecordFileName = DataFolder() + RecordingFileName;
    DeleteRecording(RecordFileName);
    MP3Out.FileName = RecordFileName;
    LoadSettings();
}

void TformMain::LoadSettings() {
    const int kbps = StoredBitRateKbps();
    BitRateKbps = kbps;
    if (const auto rate = BitRateFromKbps(kbps)) MP3Out.BitRate = *rate;
    btBPS.SetCaption(std::to_string(kbps) + " kbps");
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
    // While the sink still finishes the last recording its file stays, and Run reports the
    // sink busy.
    if (openRuns_ == 0) DeleteRecording(RecordFileName);
    // Counted first: a run that fails to start still ends through MP3OutThreadException.
    ++openRuns_;
    try {
        MP3Out.Run();
    } catch (...) {
        --openRuns_;
        throw;
    }
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
    std::weak_ptr<int> alive = alive_;
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
    const int bar = LevelBar(levels[0]);
    const std::string text = RecordingText(MP3Out.ElapsedSeconds(), BitRateKbps);
    // A report that arrives after a pause or stop must not bring the recording text back.
    Post([this, bar, text] {
        if (!RecordingShown()) return;
        pbPlay.SetPosition(bar);
        lbState.SetCaption(text);
    });
}

void TformMain::MP3OutDone(TComponent*) {
    const std::string text = FinishedText(MP3Out.ElapsedSeconds(), BitRateKbps);
    std::string error;
    try {
        MarkRecording(RecordFileName);
    } catch (const std::exception& e) {
        error = e.what();
    }
    Post([this, text, error] { RunEnded(text, error); });
}

void TformMain::MP3OutThreadException(TComponent*, const std::exception& E) {
    Post([this, error = std::string(E.what())] { RunEnded("", error); });
}

// Every counted run ends here once, finished (`text`) or failed (`error`). A failed recording
// is reported and the window returns to Stopped, with OK as it was.
void TformMain::RunEnded(const std::string& text, const std::string& error) {
    openRuns_ = openRuns_ > 0 ? openRuns_ - 1 : 0;
    if (!text.empty() && openRuns_ == 0) {
        pbPlay.SetPosition(0);
        lbState.SetCaption(text);
    }
    if (!error.empty()) {
        okPending_ = playPending_ = false;
        if (text.empty() && actStop.Enabled() && !Player) {
            SetVoiceActions(true, true, false, false);
            pbPlay.SetPosition(0);
            lbState.SetCaption("Stopped");
        }
        ShowException(Exception(error));
        return;
    }
    if (openRuns_ > 0) return;  // a newer recording is still going
    if (okPending_) SetModalResult(mrOk);
    if (playPending_) {
        playPending_ = false;
        StartPlayer();
    }
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
