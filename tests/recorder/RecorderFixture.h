#pragma once
// The recorder window's world for headless tests of its dialogs and links: the program folder
// in a scratch folder, the simulated microphone (eight times real time), the real encoder, the
// simulated MCI device, the text profile file, a recording shell, user folders that keep
// everything in the program folder unless a test says otherwise, and no policies; and the
// recorder window's own helpers.
#include "platform/MainThread.h"
#include "platform/Mci.h"
#include "platform/ProfileFileText.h"
#include "platform/WaveIn.h"
#include "platform/sim/SimMci.h"
#include "platform/sim/SimPolicies.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/SimUserFolders.h"
#include "platform/sim/WaveInSim.h"
#include "recorder/Links.h"
#include "recorder/MainForm.h"
#include "tests/audio/ScratchFolder.h"
#include "ui/Host.h"
#include "ui/headless/HeadlessHost.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

namespace kestova::test {

class RecorderWorld : public ::testing::Test {
protected:
    void SetUp() override {
        SetMainThread(CreateOsMainThread());
        SetAppPath(folder.Folder());
        SetWaveIn(std::make_shared<TWaveInSim>(microphone));
        SetMci(mci);
        SetProfileFile(std::make_shared<TProfileFileText>());
        SetShell(shell);
        SetUserFolders(userFolders);
        SetPolicies(policies);
    }
    void TearDown() override {
        SetPolicies(nullptr);
        SetUserFolders(nullptr);
        SetShell(nullptr);
        SetProfileFile(nullptr);
        SetMci(nullptr);
        SetWaveIn(nullptr);
        SetMainThread(nullptr);
        SetAppPath("");
    }

    bool WaitFor(const std::function<bool()>& done) { return host.PumpUntil(done, std::chrono::seconds(60)); }

    static std::string FileText(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    TScratchFolder folder{"dialogs"};
    std::string ini = folder.File("zelt.ini");
    std::string log = folder.File("kestova.log");
    TWaveInSimConfig microphone = [] {
        TWaveInSimConfig config;
        config.Speed = 8;  // one second of audio every 125 ms
        return config;
    }();
    std::shared_ptr<TSimMci> mci = std::make_shared<TSimMci>();
    std::shared_ptr<TSimShell> shell = std::make_shared<TSimShell>();
    std::shared_ptr<TSimUserFolders> userFolders = std::make_shared<TSimUserFolders>();
    std::shared_ptr<TSimPolicies> policies = std::make_shared<TSimPolicies>();
    THeadlessHost host;
    THostScope scope{host};
};

// The recorder window's tests: what its actions, OK and status line show, and recording.
class RecorderWindow : public RecorderWorld {
protected:
    using H = THeadlessHost;

    // The four voice actions and OK, e.g. "RPas-": capitals enabled, lower case disabled.
    static std::string Buttons(const TformMain& form) {
        std::string s;
        s += form.actRecord.Enabled() ? 'R' : 'r';
        s += form.actPlay.Enabled() ? 'P' : 'p';
        s += form.actPause.Enabled() ? 'A' : 'a';
        s += form.actStop.Enabled() ? 'S' : 's';
        s += form.btOK.Enabled() ? 'O' : 'o';
        return s;
    }
    static std::string Status(const TformMain& form) { return form.lbState.Caption(); }

    bool Shows(TformMain& form, const std::string& prefix) {
        return WaitFor([&] { return Status(form).rfind(prefix, 0) == 0; });
    }
    // Records until the sink has taken `seconds` of audio.
    void Record(TformMain& form, int seconds) {
        ASSERT_TRUE(H::Execute(form, "actRecord"));
        ASSERT_TRUE(WaitFor([&] { return form.MP3Out.ElapsedSeconds() >= seconds && RecordingShown(form); }));
    }
    static bool RecordingShown(TformMain& form) { return Status(form).rfind("Recording...   ", 0) == 0; }
    void RecordAndFinish(TformMain& form, int seconds) {
        Record(form, seconds);
        H::Execute(form, "actStop");
        ASSERT_TRUE(Shows(form, "Stopped. Size: "));
    }
};

}  // namespace kestova::test
