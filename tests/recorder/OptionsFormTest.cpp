// The Options dialog and the stored bit rate, opened from the recorder window on the headless
// host; recordings are real MP3 files whose frame headers are read back.
#include "recorder/OptionsForm.h"

#include "recorder/MainForm.h"
#include "recorder/Settings.h"
#include "platform/WaveIn.h"
#include "recorder/VoiceTexts.h"
#include "tests/recorder/RecorderFixture.h"
#include "ui/Dialogs.h"

#include <filesystem>
#include <set>

using namespace kestova;
using kestova::test::RecorderWorld;
using kestova::test::TScratchFolder;
using H = THeadlessHost;

namespace {

// The bit rates of the MPEG-2 Layer III 22050 Hz frames from the file's start up to its tag;
// empty when the walk meets anything else first. The first byte is the recorder's mark.
std::set<int> FrameRates(const std::string& bytes) {
    static const int kbps[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
    std::set<int> rates;
    for (size_t at = 0; at + 128 < bytes.size();) {
        const auto byte = [&](size_t i) { return static_cast<unsigned char>(bytes[at + i]); };
        const bool header = (at == 0 || byte(0) == 0xFF) && (byte(1) & 0xFE) == 0xF2 && (byte(2) & 0x0C) == 0;
        const int rate = header ? kbps[byte(2) >> 4] : 0;
        if (rate == 0) return {};
        rates.insert(rate);
        at += 72000 * rate / 22050 + ((byte(2) >> 1) & 1);
        if (bytes.compare(at, 3, "TAG") == 0 && at + 128 == bytes.size()) return rates;
    }
    return {};
}

class OptionsDialog : public RecorderWorld {
protected:
    struct TSeen {
        std::string Shown;  // the selected text when the dialog opened
        int Result = mrNone;
    };

    // Opens the dialog through `trigger` of the recorder window, picks `rate` (unless empty)
    // and leaves through `button` ("" for the close box).
    TSeen Choose(TformMain& form, const std::string& rate, const std::string& button,
                 const std::string& trigger = "btBPS") {
        TSeen seen;
        host.WhenModal([&](TForm& shown) {
            auto& options = dynamic_cast<TformOptions&>(shown);
            seen.Shown = options.cbBitRate.Text();
            if (!rate.empty()) options.cbBitRate.SetItemIndex(options.cbBitRate.IndexOf(rate));
            if (button.empty())
                H::CloseBox(shown);
            else
                H::Click(shown, button);
            seen.Result = shown.ModalResult();
        });
        if (trigger == "btBPS")
            H::Click(form, trigger);
        else
            H::ClickMenu(form, trigger);
        return seen;
    }

    // Three named microphones in place of the fixture's one; the port, to ask what it opened.
    std::shared_ptr<TWaveInSim> Microphones(std::vector<std::string> names) {
        microphone.DeviceCount = static_cast<int>(names.size());
        microphone.Names = std::move(names);
        auto port = std::make_shared<TWaveInSim>(microphone);
        SetWaveIn(port);
        return port;
    }
    // Picks microphone item `item` in the dialog and leaves with OK.
    void ChooseMicrophone(TformMain& form, const std::string& item) {
        host.WhenModal([&](TForm& shown) {
            auto& options = dynamic_cast<TformOptions&>(shown);
            options.cbMicrophone.SetItemIndex(options.cbMicrophone.IndexOf(item));
            H::Click(shown, "btOK");
        });
        H::Click(form, "btBPS");
    }
    std::string ShownMicrophone(TformMain& form) {
        std::string shown;
        host.WhenModal([&](TForm& dialog) {
            shown = dynamic_cast<TformOptions&>(dialog).cbMicrophone.Text();
            H::Click(dialog, "btCancel");
        });
        H::Click(form, "btBPS");
        return shown;
    }

    std::string Recorded(TformMain& form, int seconds) {
        EXPECT_TRUE(H::Execute(form, "actRecord"));
        EXPECT_TRUE(WaitFor([&] { return form.MP3Out.ElapsedSeconds() >= seconds; }));
        H::Execute(form, "actStop");
        EXPECT_TRUE(WaitFor([&] { return form.lbState.Caption().rfind("Stopped. Size: ", 0) == 0; }));
        return FileText(form.RecordFileName);
    }
};

}  // namespace

TEST_F(OptionsDialog, LaysOutTheFourteenRatesUnderCompress) {
    TformMain owner;
    TformOptions options(&owner);
    EXPECT_EQ(options.Caption(), "Options");
    EXPECT_EQ(options.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(options.ClientWidth(), 247);
    EXPECT_EQ(options.ClientHeight(), 169);
    EXPECT_EQ(options.Position(), TPosition::poOwnerFormCenter);
    EXPECT_EQ(options.OwnerForm(), &owner);
    EXPECT_EQ(options.gbCompress.Caption(), "Compress");
    EXPECT_EQ(options.gbCompress.Width(), 225);
    EXPECT_EQ(options.gbCompress.Height(), 105);
    EXPECT_EQ(options.lbBitRate.Caption(), "Bit Rate (kbps):");
    EXPECT_EQ(options.cbBitRate.Items(), (std::vector<std::string>{"8", "16", "24", "32", "40", "48", "56", "64",
                                                                  "80", "96", "112", "128", "144", "160"}));
    EXPECT_TRUE(options.btOK.Default());
    EXPECT_EQ(options.btOK.ModalResult(), mrOk);
    EXPECT_TRUE(options.btCancel.Cancel());
    EXPECT_EQ(options.btCancel.ModalResult(), mrCancel);
}

TEST_F(OptionsDialog, WithoutASettingsFileEverythingIsAt64AndCancelWritesNothing) {
    TformMain form;
    EXPECT_EQ(form.btBPS.Caption(), "64 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br64);
    for (const std::string trigger : {"btBPS", "Options"}) {
        const auto seen = Choose(form, "160", "btCancel", trigger);
        EXPECT_EQ(seen.Shown, "64");
        EXPECT_EQ(seen.Result, mrCancel);
    }
    EXPECT_EQ(Choose(form, "160", "").Result, mrCancel);  // the close box
    EXPECT_FALSE(std::filesystem::exists(ini));
    EXPECT_EQ(form.btBPS.Caption(), "64 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br64);
}

TEST_F(OptionsDialog, OkStoresTheRateAndTheNextRecordingUsesIt) {
    TformMain form;
    EXPECT_EQ(Choose(form, "128", "btOK").Result, mrOk);
    EXPECT_EQ(FileText(ini), "[Audio]\r\nBitRate=128\r\n");
    EXPECT_EQ(form.btBPS.Caption(), "128 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br128);
    EXPECT_EQ(Choose(form, "", "btCancel").Shown, "128");
    EXPECT_EQ(FrameRates(Recorded(form, 2)), std::set<int>{128});
    Choose(form, "8", "btOK");
    EXPECT_EQ(form.MP3Out.BitRate, br8);
    EXPECT_EQ(form.btBPS.Caption(), "8 kbps");
}

TEST_F(OptionsDialog, CancelLeavesFileAndWindowAsTheyWere) {
    const std::string stored = "[Audio]\r\nBitRate=96\r\n";
    std::ofstream(ini, std::ios::binary) << stored;
    TformMain form;
    EXPECT_EQ(Choose(form, "160", "btCancel").Shown, "96");
    EXPECT_EQ(FileText(ini), stored);
    EXPECT_EQ(form.btBPS.Caption(), "96 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br96);
}

TEST_F(OptionsDialog, RateChosenDuringARecordingChangesOnlyItsEstimate) {
    TformMain form;
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return form.MP3Out.ElapsedSeconds() >= 1; }));
    Choose(form, "128", "btOK");
    EXPECT_EQ(form.BitRateKbps, 128);
    EXPECT_FALSE(form.actRecord.Enabled());  // still recording
    ASSERT_TRUE(WaitFor([&] { return form.lbState.Caption() == RecordingText(form.MP3Out.ElapsedSeconds(), 128); }));
    H::Execute(form, "actStop");
    ASSERT_TRUE(WaitFor([&] { return form.lbState.Caption().rfind("Stopped. Size: ", 0) == 0; }));
    EXPECT_EQ(form.lbState.Caption(), FinishedText(form.MP3Out.ElapsedSeconds(), 128));
    EXPECT_EQ(FrameRates(FileText(form.RecordFileName)), std::set<int>{64});
}

TEST_F(OptionsDialog, SavingKeepsEveryOtherLineByteForByte) {
    const std::string before = "; kept\r\n[Window]\r\nLeft = 10 \r\n\r\n[audio]\r\nDevice=1\r\nbitrate=64\r\n"
                               "[Other]\r\nBitRate=8\r\n";
    std::ofstream(ini, std::ios::binary) << before;
    TformMain form;
    Choose(form, "32", "btOK");
    std::string expected = before;
    expected.replace(expected.find("bitrate=64"), 10, "BitRate=32");
    EXPECT_EQ(FileText(ini), expected);
}

TEST_F(OptionsDialog, StoredValueOutsideTheListOpensEmptyAndOkStoresEmpty) {
    std::ofstream(ini, std::ios::binary) << "[Audio]\r\nBitRate=100\r\n";
    TformMain form;
    EXPECT_EQ(form.btBPS.Caption(), "100 kbps");
    const auto seen = Choose(form, "", "btOK");
    EXPECT_EQ(seen.Shown, "");
    EXPECT_EQ(FileText(ini), "[Audio]\r\nBitRate=\r\n");
    EXPECT_EQ(form.btBPS.Caption(), "64 kbps");
    EXPECT_EQ(form.BitRateKbps, 64);
}

// The program folder cannot be written (here: it does not exist, which fails for root too).
TEST_F(OptionsDialog, UnwritableFileIsReportedAndTheDialogStillClosesWithOk) {
    const std::string missing = folder.File("missing") + "/";
    SetAppPath(missing);
    TformMain form;
    EXPECT_EQ(Choose(form, "128", "btOK").Result, mrOk);
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].Text, "Unable to write to " + missing + "zelt.ini");
    EXPECT_EQ(host.Boxes()[0].Flags, unsigned(mbIconStop));
    EXPECT_EQ(form.btBPS.Caption(), "64 kbps");
    EXPECT_EQ(form.MP3Out.BitRate, br64);
}

// Numbers change as devices come and go; the choice follows the name.
TEST_F(OptionsDialog, MicrophoneIsChosenByNameAndFollowsItsDevice) {
    auto port = Microphones({"Webcam", "Headset", "Laptop"});
    {
        TformMain form;
        TformOptions options(&form);
        EXPECT_EQ(options.lbMicrophone.Caption(), "Microphone:");
        EXPECT_EQ(options.cbMicrophone.Items(),
                  (std::vector<std::string>{"Windows default", "Webcam", "Headset", "Laptop"}));
        EXPECT_EQ(options.cbMicrophone.Text(), "Webcam");  // nothing stored: device 0
        ChooseMicrophone(form, "Headset");
        EXPECT_EQ(FileText(ini), "[Audio]\r\nBitRate=64\r\nMicrophone=Headset\r\n");
        Recorded(form, 1);
        EXPECT_EQ(port->LastOpened(), 1);
        ChooseMicrophone(form, "Windows default");
        Recorded(form, 1);
        EXPECT_EQ(port->LastOpened(), wavein::MAPPER);
        ChooseMicrophone(form, "Headset");
    }
    port = Microphones({"Headset", "Laptop"});  // the webcam unplugged
    TformMain form;
    EXPECT_EQ(form.lbState.Caption(), "Click 'Record' button to start");
    EXPECT_EQ(ShownMicrophone(form), "Headset");
    Recorded(form, 1);
    EXPECT_EQ(port->LastOpened(), 0);
}

// A missing device: the first one records, the status line says so once, the choice is kept.
TEST_F(OptionsDialog, MissingMicrophoneFallsBackToTheFirstAndSaysSoOnce) {
    std::ofstream(ini, std::ios::binary) << "[Audio]\r\nMicrophone=Headset\r\n";
    auto port = Microphones({"Webcam", "Laptop"});
    TformMain form;
    EXPECT_EQ(form.lbState.Caption(), "Headset not found, using the first microphone");
    EXPECT_EQ(ShownMicrophone(form), "Webcam");
    Recorded(form, 1);
    EXPECT_EQ(port->LastOpened(), 0);
    Choose(form, "128", "btOK");
    EXPECT_EQ(form.lbState.Caption(), FinishedText(form.MP3Out.ElapsedSeconds(), 64));  // not again
    EXPECT_EQ(FileText(ini), "[Audio]\r\nMicrophone=Headset\r\nBitRate=128\r\n");
}

// A machine-wide install the user cannot write: the administrator's rate is read from the
// program folder until the user stores one, which goes, with the recording, to their own folder.
TEST_F(OptionsDialog, UnwritableProgramFolderKeepsTheUsersFilesInTheirOwnFolder) {
    TScratchFolder own{"own"};
    userFolders->Unwritable.insert(folder.Folder());
    userFolders->UserData = own.Folder();
    const std::string adminRate = "[Audio]\r\nBitRate=96\r\n";
    std::ofstream(ini, std::ios::binary) << adminRate;
    TformMain form;
    EXPECT_EQ(form.btBPS.Caption(), "96 kbps");
    EXPECT_EQ(form.RecordFileName, own.File("Kestova_for_Outlook.mp3"));
    EXPECT_EQ(FrameRates(Recorded(form, 1)), std::set<int>{96});
    EXPECT_EQ(Choose(form, "32", "btOK").Result, mrOk);
    EXPECT_EQ(FileText(own.File("zelt.ini")), "[Audio]\r\nBitRate=32\r\n");
    EXPECT_EQ(FileText(ini), adminRate);
    EXPECT_EQ(Choose(form, "", "btCancel").Shown, "32");
}

// A policy wins over every zelt.ini: its control shows the value, disabled, says why, and OK
// stores nothing for it. Gone again, the user's own value holds.
TEST_F(OptionsDialog, PolicyOverridesTheFileAndDisablesItsControl) {
    Microphones({"Webcam", "Headset"});
    const std::string stored = "[Audio]\r\nBitRate=128\r\nMicrophone=Webcam\r\n";
    std::ofstream(ini, std::ios::binary) << stored;
    policies->Values["BitRate"] = {"32", TPolicyScope::Machine};
    policies->Values["Microphone"] = {"Headset", TPolicyScope::User};
    {
        TformMain form;
        EXPECT_EQ(form.btBPS.Caption(), "32 kbps");
        EXPECT_EQ(form.MP3Out.BitRate, br32);
        EXPECT_EQ(form.AudioIn.BaseChannel(), 1);
        host.WhenModal([&](TForm& shown) {
            auto& options = dynamic_cast<TformOptions&>(shown);
            EXPECT_EQ(options.cbBitRate.Text(), "32");
            EXPECT_FALSE(options.cbBitRate.Enabled());
            EXPECT_EQ(options.cbBitRate.Hint(), "Set by your administrator (policy (machine))");
            EXPECT_EQ(options.cbMicrophone.Text(), "Headset");
            EXPECT_FALSE(options.cbMicrophone.Enabled());
            EXPECT_EQ(options.cbMicrophone.Hint(), "Set by your administrator (policy (user))");
            H::Click(shown, "btOK");
        });
        H::Click(form, "btBPS");
        EXPECT_EQ(FileText(ini), stored);
    }
    policies->Values.clear();
    TformMain form;
    EXPECT_EQ(form.btBPS.Caption(), "128 kbps");
    EXPECT_EQ(form.AudioIn.BaseChannel(), 0);
    TformOptions options(&form);
    EXPECT_TRUE(options.cbBitRate.Enabled());
    EXPECT_EQ(options.cbBitRate.Hint(), "");
}

// A rate that is not one of the fourteen, a negative size: the user's settings hold, and the log
// says which policy was ignored.
TEST_F(OptionsDialog, OutOfRangePolicyIsIgnoredAndLogged) {
    std::ofstream(ini, std::ios::binary) << "[Audio]\r\nBitRate=96\r\nMaxMessageMB=2\r\n";
    policies->Values["BitRate"] = {"100", TPolicyScope::Machine};
    policies->Values["MaxMessageMB"] = {"-1", TPolicyScope::Machine};
    const TStoredSettings stored;
    EXPECT_EQ(stored.BitRateKbps(), 96);
    EXPECT_EQ(stored.MaxMessageMB(), 2);
    const std::string text = FileText(log);
    EXPECT_NE(text.find(" Policy BitRate = \"100\" is out of range and ignored\n"), std::string::npos) << text;
    EXPECT_NE(text.find(" Policy MaxMessageMB = \"-1\" is out of range and ignored\n"), std::string::npos) << text;
    TformOptions options(nullptr);
    EXPECT_TRUE(options.cbBitRate.Enabled());
    EXPECT_EQ(options.cbBitRate.Text(), "96");
}

// Nor a folder of their own: the recording stays in the program folder, not in whatever the
// current directory happens to be.
TEST_F(OptionsDialog, UnwritableProgramFolderWithoutAFolderOfTheirOwnIsStillUsed) {
    userFolders->Unwritable.insert(folder.Folder());
    TformMain form;
    EXPECT_EQ(form.RecordFileName, folder.File("Kestova_for_Outlook.mp3"));
}
