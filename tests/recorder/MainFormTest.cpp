// The recorder window on the headless host, with the simulated microphone (faster than real
// time), the real encoder and the simulated MCI device (a clock the test moves).
#include "recorder/MainForm.h"

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "platform/ProfileFileText.h"
#include "platform/sim/Mp3Scan.h"
#include "platform/sim/SimMci.h"
#include "platform/sim/WaveInSim.h"
#include "recorder/DiagnosticLog.h"
#include "recorder/Links.h"
#include "recorder/RecordingFile.h"
#include "recorder/RecordingWatch.h"
#include "recorder/Settings.h"
#include "recorder/VoiceTexts.h"
#include "tests/recorder/RecorderFixture.h"
#include "ui/Dialogs.h"
#include "ui/Reader.h"
#include "ui/headless/HeadlessHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

using namespace kestova;
using namespace std::chrono_literals;
using kestova::test::RecorderWindow;
using H = THeadlessHost;

namespace {

std::vector<char> Bytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST_F(RecorderWindow, NewWindowIsReadyAndRemovesAnEarlierRecording) {
    std::ofstream(folder.File("Kestova_for_Outlook.mp3")) << "old";
    TformMain form;
    EXPECT_EQ(form.RecordFileName, folder.File("Kestova_for_Outlook.mp3"));
    EXPECT_FALSE(std::filesystem::exists(form.RecordFileName));
    EXPECT_EQ(Buttons(form), "Rpaso");
    EXPECT_TRUE(H::Enabled(form, "btCancel"));
    EXPECT_EQ(Status(form), "Click 'Record' button to start");
    EXPECT_EQ(H::Position(form, "pbPlay"), 0);
    EXPECT_EQ(H::Caption(form, "btBPS"), "64 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br64);
    EXPECT_EQ(form.Caption(), " Kestova for Outlook");
    EXPECT_EQ(form.ClientWidth(), 400);
    EXPECT_EQ(form.ClientHeight(), 212);
    EXPECT_FALSE(std::filesystem::exists(folder.File("zelt.ini")));  // reading creates nothing
}

TEST_F(RecorderWindow, RecordThenStopFinishesAMarkedFile) {
    TformMain form;
    Record(form, 2);
    EXPECT_EQ(Buttons(form), "rpASo");
    EXPECT_GT(H::Position(form, "pbPlay"), 0);  // a 440 Hz tone at half scale moves the bar
    ASSERT_TRUE(H::Execute(form, "actStop"));
    EXPECT_EQ(Status(form), "Stopped");  // at once; the sink finishes later
    EXPECT_EQ(Buttons(form), "RPasO");
    EXPECT_EQ(H::Position(form, "pbPlay"), 0);
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
    EXPECT_EQ(Status(form), FinishedText(form.MP3Out.ElapsedSeconds(), 64));
    const std::vector<char> file = Bytes(form.RecordFileName);
    ASSERT_GT(file.size(), 128u);
    EXPECT_EQ(file[0], 0x4D);
    const std::string tag(file.end() - 128, file.end());
    EXPECT_EQ(tag.substr(0, 3), "TAG");
    EXPECT_EQ(tag.substr(3, 11), "Voice Email");
}

// The log names the devices and each recording's length, size and rate; once the next line
// would pass 1 MB the log so far becomes kestova.1.log.
TEST_F(RecorderWindow, RecordingIsLoggedAndTheLogRotatesAtOneMegabyte) {
    const std::string earlier = std::string(kLogLimitBytes - 20, 'x') + "\n";
    std::ofstream(log, std::ios::binary) << earlier;
    TformMain form;
    RecordAndFinish(form, 1);
    EXPECT_EQ(FileText(OlderLogFileName()), earlier);
    const std::string text = FileText(log);
    const std::string started = " Recording started at 64 kbps; microphones: Windows default, ";
    EXPECT_NE(text.find(started), std::string::npos) << text;
    EXPECT_NE(text.find(" (chosen)\n"), std::string::npos) << text;
    const std::string finished = " Recording finished: " + std::to_string(form.MP3Out.ElapsedSeconds()) + " s, " +
                                 std::to_string(Bytes(form.RecordFileName).size()) + " bytes, 64 kbps\n";
    EXPECT_NE(text.find(finished), std::string::npos) << text;
}

TEST_F(RecorderWindow, LogThatCannotBeWrittenNeverStopsARecording) {
    std::filesystem::create_directory(log);
    TformMain form;
    RecordAndFinish(form, 1);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_GT(Bytes(form.RecordFileName).size(), 128u);
}

TEST_F(RecorderWindow, PauseKeepsTheFileAndRecordContinuesIt) {
    TformMain form;
    Record(form, 1);
    ASSERT_TRUE(H::Execute(form, "actPause"));
    EXPECT_EQ(Buttons(form), "RpaSo");
    EXPECT_EQ(Status(form), "Recording Paused");
    const int paused = form.MP3Out.ElapsedSeconds();
    host.PumpUntil([] { return false; }, 300ms);  // reports still on their way must not undo it
    EXPECT_EQ(Status(form), "Recording Paused");
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    EXPECT_EQ(Buttons(form), "rpASo");
    ASSERT_TRUE(WaitFor([&] { return form.MP3Out.ElapsedSeconds() >= paused + 2 && RecordingShown(form); }));
    ASSERT_TRUE(H::Execute(form, "actPause"));
    ASSERT_TRUE(H::Execute(form, "actStop"));  // a paused recording ends too
    EXPECT_EQ(Buttons(form), "RPasO");
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
    EXPECT_GE(form.MP3Out.ElapsedSeconds(), paused + 2);
}

TEST_F(RecorderWindow, RecordAfterAFinishedRecordingStartsAfresh) {
    TformMain form;
    RecordAndFinish(form, 2);
    std::vector<std::string> texts;
    form.lbState.SetViewHook([&] { texts.push_back(Status(form)); });
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    // The earlier recording stays whole until the new one is finished and takes its place.
    EXPECT_EQ(Bytes(form.RecordFileName)[0], 0x4D);
    ASSERT_TRUE(WaitFor([&] { return !texts.empty(); }));
    EXPECT_EQ(texts.front().substr(0, 18), "Recording...   0:0");
    EXPECT_EQ(Buttons(form), "rpASO");  // OK stays enabled
    form.lbState.SetViewHook(nullptr);
    H::Execute(form, "actStop");
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
}

TEST_F(RecorderWindow, PlaybackReportsPausesAndEnds) {
    TformMain form;
    RecordAndFinish(form, 4);
    ASSERT_TRUE(H::Execute(form, "actPlay"));
    EXPECT_EQ(Buttons(form), "rpASO");
    ASSERT_TRUE(Shows(form, "Playing...   0:0"));
    ASSERT_NE(form.Player, nullptr);
    const int length = form.Player->LengthSeconds();
    ASSERT_GE(length, 3);
    mci->Advance(1000ms);
    ASSERT_TRUE(Shows(form, "Playing...   0:1"));
    EXPECT_EQ(H::Position(form, "pbPlay"), 300 / length);
    ASSERT_TRUE(H::Execute(form, "actPause"));
    EXPECT_EQ(Buttons(form), "rPaSO");
    EXPECT_EQ(Status(form), "Playing Paused");
    ASSERT_TRUE(H::Execute(form, "actPlay"));
    EXPECT_EQ(Buttons(form), "rpASO");
    mci->Advance(std::chrono::seconds(length + 1));
    ASSERT_TRUE(WaitFor([&] { return form.Player == nullptr; }));
    EXPECT_EQ(Status(form), "Stopped");
    EXPECT_EQ(H::Position(form, "pbPlay"), 0);
    EXPECT_EQ(Buttons(form), "RPasO");
}

TEST_F(RecorderWindow, PlayRightAfterStopOpensOnlyTheCompleteFile) {
    TformMain form;
    Record(form, 2);
    H::Execute(form, "actStop");
    H::Execute(form, "actPlay");
    H::Execute(form, "actStop");  // before the file is complete: the play waiting for it goes
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
    ASSERT_TRUE(form.Player == nullptr) << "the player opened after Stop";
    EXPECT_EQ(Buttons(form), "RPasO");

    Record(form, 2);
    H::Execute(form, "actStop");
    ASSERT_TRUE(H::Execute(form, "actPlay"));
    ASSERT_TRUE(WaitFor([&] { return form.Player != nullptr; }));
    EXPECT_EQ(Bytes(form.RecordFileName)[0], 0x4D);  // finished before the player opened it
    ASSERT_TRUE(H::Execute(form, "actStop"));
    EXPECT_EQ(form.Player, nullptr);
}

TEST_F(RecorderWindow, CancelWithNothingRecordedClosesWithoutAsking) {
    TformMain form;
    host.WhenModal([](TForm& shown) { H::Click(shown, "btCancel"); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(host.Boxes().empty());
}

TEST_F(RecorderWindow, CancelAfterARecordingAsksAndNoKeepsTheWindowStopped) {
    TformMain form;
    RecordAndFinish(form, 1);
    Record(form, 1);
    host.AnswerNext(idNo);
    H::Click(form, "btCancel");
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].Text, "Your voice email has not saved, are you sure to cancel?");
    EXPECT_EQ(host.Boxes()[0].Caption, "Confirm");
    EXPECT_EQ(host.Boxes()[0].Flags, unsigned(mbYesNo | mbIconQuestion));
    EXPECT_EQ(form.ModalResult(), mrNone);
    EXPECT_EQ(Buttons(form), "RPasO");
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
    host.AnswerNext(idYes);
    H::Click(form, "btCancel");
    EXPECT_EQ(form.ModalResult(), mrCancel);
}

TEST_F(RecorderWindow, OkDuringASecondRecordingClosesOnceTheFileIsComplete) {
    TformMain form;
    host.WhenModal([&](TForm&) {
        RecordAndFinish(form, 1);
        Record(form, 2);
        H::Click(form, "btOK");
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(Bytes(form.RecordFileName)[0], 0x4D);
    EXPECT_EQ(Status(form).substr(0, 15), "Stopped. Size: ");
}

TEST_F(RecorderWindow, CloseBoxStopsTheRecordingAndCancels) {
    TformMain form;
    Record(form, 1);
    H::CloseBox(form);
    EXPECT_EQ(form.ModalResult(), mrCancel);
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(Status(form), "Stopped");
}

TEST_F(RecorderWindow, NoCaptureDeviceMeansNoWindow) {
    microphone.DeviceCount = 0;
    SetWaveIn(std::make_shared<TWaveInSim>(microphone));
    try {
        TformMain form;
        FAIL() << "window created";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Error reading AudioIn.BaseChannel: Channel 0 is not available");
    }
}

TEST_F(RecorderWindow, FileThatCannotBeCreatedIsReportedAndTheWindowStops) {
    SetAppPath(folder.File("missing") + "/");
    TformMain form;
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return !host.Boxes().empty(); }));
    EXPECT_NE(host.Boxes()[0].Text.find("Cannot create file"), std::string::npos) << host.Boxes()[0].Text;
    EXPECT_EQ(Buttons(form), "Rpaso");  // nothing to play
    EXPECT_EQ(Status(form), "Stopped");
}

// The microphone stops delivering after eight blocks (1.5 s): the user is told, and those
// blocks are a finished recording that OK attaches.
TEST_F(RecorderWindow, DeviceLostMidRecordingIsReportedAndWhatItGaveIsKept) {
    microphone.Failure = TSimFailure::Stalls;
    microphone.StallAfterBuffers = 8;
    SetWaveIn(std::make_shared<TWaveInSim>(microphone));
    TformMain form;
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return !host.Boxes().empty(); }));
    EXPECT_EQ(host.Boxes()[0].Flags, unsigned(mbIconStop));
    EXPECT_NE(host.Boxes()[0].Text.find("delivered no data"), std::string::npos) << host.Boxes()[0].Text;
    EXPECT_EQ(Buttons(form), "RPasO");
    EXPECT_EQ(Status(form).substr(0, 15), "Stopped. Size: ");
    const std::vector<char> file = Bytes(form.RecordFileName);
    ASSERT_GT(file.size(), 128u);
    EXPECT_EQ(file[0], 0x4D);
    EXPECT_EQ(std::string(file.end() - 128, file.end() - 125), "TAG");
    EXPECT_GT(MeasureMp3(form.RecordFileName).lengthMs, 1000.0);
    H::Click(form, "btOK");
    EXPECT_EQ(form.ModalResult(), mrOk);
}

// The disk fills up during a second recording: the user is told, what it wrote goes, and the
// earlier recording is as it was. Natively /dev/full is the full disk; under Wine the harness's
// small drive fills up, where the machine allowed its mount.
TEST_F(RecorderWindow, FullDiskKeepsTheEarlierRecording) {
#ifdef _WIN32
    const char* const drive = std::getenv("KESTOVA_SMALL_DRIVE");
    if (drive == nullptr) GTEST_SKIP() << "no small drive (the harness mounts one where it may)";
    SetAppPath(std::string("Z:") + drive + "\\");
#endif
    TformMain form;
    RecordAndFinish(form, 1);
    const std::vector<char> earlier = Bytes(form.RecordFileName);
    const std::string written = NewRecordingFile(form.RecordFileName);
#ifndef _WIN32
    std::filesystem::create_symlink("/dev/full", written);
#endif
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return !host.Boxes().empty(); }));
    EXPECT_NE(host.Boxes()[0].Text.find("No space left"), std::string::npos) << host.Boxes()[0].Text;
    EXPECT_EQ(Bytes(form.RecordFileName), earlier);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(written)));
    EXPECT_EQ(Status(form), "Recording failed; the earlier one is kept");
    EXPECT_EQ(Buttons(form), "RPasO");
}

// The finished recording cannot take the recording's place (a folder holds its name): the
// user is told, and the window offers no recording to play or attach.
TEST_F(RecorderWindow, RecordingThatCannotTakeItsPlaceIsReportedNotKept) {
    TformMain form;
    std::filesystem::create_directories(std::filesystem::u8path(form.RecordFileName) / "in the way");
    Record(form, 1);
    H::Execute(form, "actStop");
    ASSERT_TRUE(WaitFor([&] { return !host.Boxes().empty() || Status(form) != "Stopped"; }));
    ASSERT_EQ(host.Boxes().size(), 1u) << Status(form);
    EXPECT_NE(host.Boxes()[0].Text.find("Cannot replace file"), std::string::npos) << host.Boxes()[0].Text;
    EXPECT_EQ(Status(form), "Stopped");
    EXPECT_EQ(Buttons(form), "Rpaso");
    EXPECT_FALSE(std::filesystem::exists(NewRecordingFile(form.RecordFileName)));
}

TEST_F(RecorderWindow, StoredRatesApplyAndOthersOnlyShow) {
    std::ofstream(ini) << "[Audio]\nBitRate=128\n";
    {
        TformMain form;
        EXPECT_EQ(H::Caption(form, "btBPS"), "128 kbps");
        EXPECT_EQ(form.MP3Out.BitRate, br128);
        EXPECT_EQ(form.BitRateKbps, 128);
    }
    std::ofstream(ini) << "[Audio]\nBitRate=100\n";
    {
        TformMain form;
        EXPECT_EQ(H::Caption(form, "btBPS"), "100 kbps");
        EXPECT_EQ(form.MP3Out.BitRate, br64);
        EXPECT_EQ(form.BitRateKbps, 100);
    }
    std::ofstream(ini) << "[Audio]\nBitRate=fast\n";
    TformMain form;
    EXPECT_EQ(H::Caption(form, "btBPS"), "64 kbps");
}

// A muted microphone: the hint comes once 3 s of audio stayed below the floor, the recording
// goes on, and the first update with sound takes the hint away.
TEST_F(RecorderWindow, SilentMicrophoneIsNamedUntilSoundArrives) {
    auto port = std::make_shared<TWaveInSim>(microphone);
    port->SetMuted(true);
    SetWaveIn(port);
    TformMain form;
    const auto audioSeconds = [&] { return form.AudioIn.Position / 88200.0; };
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return Status(form) == NoSoundText; }));
    EXPECT_GE(audioSeconds(), kSilenceSeconds);
    EXPECT_EQ(Buttons(form), "rpASo");
    EXPECT_EQ(H::Position(form, "pbPlay"), 0);
    port->SetMuted(false);
    const double unmuted = audioSeconds();
    ASSERT_TRUE(WaitFor([&] { return RecordingShown(form); }));
    // The blocks the device had filled before, and the one that ends with sound.
    EXPECT_LE(audioSeconds() - unmuted, (TAudioIn::kDriverBuffers + 2) * TAudioIn::kBlockSize / 88200.0);
    EXPECT_GT(H::Position(form, "pbPlay"), 0);
    H::Execute(form, "actStop");
    ASSERT_TRUE(Shows(form, "Stopped. Size: "));
}

// 0.1 MB at 64 kbps is 12.5 s: the time left shows from 10 s on, then the recording ends by
// itself with a complete file no larger than the limit, ready to play and accept.
TEST_F(RecorderWindow, SizeLimitWarnsThenStopsWithACompleteFile) {
    std::ofstream(ini) << "[Audio]\nMaxMessageMB=0.1\n";
    TformMain form;
    std::vector<std::string> texts;
    form.lbState.SetViewHook([&] { texts.push_back(Status(form)); });
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(Shows(form, "Size limit reached. Size: "));
    form.lbState.SetViewHook(nullptr);
    const auto left = std::find_if(texts.begin(), texts.end(), [](const std::string& text) {
        return text.find(" Left: ") != std::string::npos;
    });
    ASSERT_NE(left, texts.end());
    EXPECT_EQ(*left, TimeLeftText(10, 3)) << "the first time-left text, at 80 %";
    EXPECT_EQ(Buttons(form), "RPasO");
    const std::vector<char> file = Bytes(form.RecordFileName);
    EXPECT_LE(file.size(), 100000u);
    EXPECT_GT(file.size(), 90000u);
    EXPECT_EQ(file[0], 0x4D);
    EXPECT_EQ(std::string(file.end() - 128, file.end() - 125), "TAG");
    ASSERT_TRUE(H::Execute(form, "actPlay"));
    ASSERT_TRUE(Shows(form, "Playing...   0:0"));
    EXPECT_EQ(form.Player->LengthSeconds(), 12);
    H::Click(form, "btOK");
    EXPECT_EQ(form.ModalResult(), mrOk);
}

TEST_F(RecorderWindow, SizeLimitIsDecimalMegabytesTenByDefaultAndZeroIsNone) {
    EXPECT_EQ(TStoredSettings().MaxMessageMB(), 10);
    for (const auto& [text, megabytes] : std::vector<std::pair<std::string, double>>{
             {"25", 25}, {"0.5", 0.5}, {"0", 0}, {"-3", 0}, {"ten", 10}, {"5 MB", 10}, {"", 10}}) {
        std::ofstream(ini) << "[Audio]\nMaxMessageMB=" << text << "\n";
        EXPECT_EQ(TStoredSettings().MaxMessageMB(), megabytes) << text;
    }
}
