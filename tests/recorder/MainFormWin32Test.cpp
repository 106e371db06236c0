// The recorder window as a user meets it: real windows under Wine (Xvfb), the test microphone
// of the harness, the real encoder and MCI. Driven through its controls only; a screenshot of
// the window while it records is saved under the build folder. Skipped without a display or
// a capture device.
#include "recorder/MainForm.h"

#include "platform/MainThread.h"
#include "platform/WaveIn.h"
#include "recorder/Links.h"
#include "recorder/VoiceTexts.h"
#include "tests/audio/ScratchFolder.h"
#include "ui/Dialogs.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Win32Host.h"

#include "tests/ui/RealWindows.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace kestova;
using kestova::test::HasDisplay;
using kestova::test::SaveScreenshot;
using kestova::test::TextOf;
using kestova::test::WrapsInside;
using namespace std::chrono_literals;
using kestova::test::TScratchFolder;

namespace {

class RecorderWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasDisplay()) GTEST_SKIP() << "no display";
        if (WaveIn()->NumDevs() == 0) GTEST_SKIP() << "no capture device";
        SetMainThread(CreateOsMainThread());
        SetAppPath(folder.Folder());
    }
    void TearDown() override {
        SetAppPath("");
        SetMainThread(nullptr);
    }

    bool WaitFor(const std::function<bool()>& done) { return MainThread()->ProcessUntil(done, 30s); }

    TScratchFolder folder{"recorder-win32"};
    TWin32Host host;
    THostScope scope{host};
};

// Seconds in "Recording...   0:3 Size: 24 k" or "Playing...   0:1"; -1 for any other text.
// A busy machine may skip a tick of the label, so tests wait for "at least".
int SecondsShown(const std::string& text, const std::string& state) {
    const std::string prefix = state + "...   0:";
    if (text.rfind(prefix, 0) != 0 || text.size() == prefix.size()) return -1;
    return std::atoi(text.c_str() + prefix.size());
}

}  // namespace

TEST_F(RecorderWin32, RecordsStopsPlaysAndAcceptsThroughItsWindows) {
    TformMain form;
    std::string recording, finished, playing;
    bool shot = false, okEnabledBefore = true;
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            HWND toolbar = window.HandleOf(form.tbVoice);
            HWND state = window.HandleOf(form.lbState);
            const auto press = [&](const TAction& action) {
                SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(action), BN_CLICKED),
                             reinterpret_cast<LPARAM>(toolbar));
            };
            okEnabledBefore = IsWindowEnabled(window.HandleOf(form.btOK)) != FALSE;
            press(form.actRecord);
            // The label follows the encoder on a timer, so wait for what the user sees.
            WaitFor([&] { return SecondsShown(TextOf(state), "Recording") >= 3; });
            recording = TextOf(state);
            shot = SaveScreenshot(window.Handle(), std::string(KESTOVA_SHOT_DIR) + "/recorder-recording.png");
            press(form.actStop);
            WaitFor([&] { return TextOf(state).rfind("Stopped. Size: ", 0) == 0; });
            finished = TextOf(state);
            press(form.actPlay);
            WaitFor([&] { return SecondsShown(TextOf(state), "Playing") >= 1; });
            playing = TextOf(state);
            SendMessageW(window.HandleOf(form.btOK), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(okEnabledBefore);
    EXPECT_GE(SecondsShown(recording, "Recording"), 3) << recording;
    EXPECT_NE(recording.find(" Size: "), std::string::npos) << recording;
    EXPECT_EQ(finished.substr(0, 15), "Stopped. Size: ") << finished;
    EXPECT_GE(SecondsShown(playing, "Playing"), 1) << playing;
    EXPECT_TRUE(shot);
    std::ifstream file(form.RecordFileName, std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    // About 3 s at 64 kbps, frames after the patched byte, and the tag at the end.
    ASSERT_GT(bytes.size(), 20000u);
    EXPECT_EQ(bytes[0], 0x4D);
    EXPECT_EQ(bytes[1] & 0xE0, 0xE0);  // the rest of the first frame's sync bits
    EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125), "TAG");
}

// What the user meets before recording, read from the real window: the toolbar's items in
// order (the last three show their glyph only), OK as the default button (Enter is OK once it
// is enabled; Esc goes through Cancel's confirmation, not a cancel button's style), and Tab
// going round the enabled controls, the toolbar among them.
TEST_F(RecorderWin32, ToolbarButtonsAndTabOrderAreTheRecordersOwn) {
    TformMain form;
    std::vector<std::wstring> labels;
    std::vector<int> glyphs;
    std::string ok, cancel, rate;
    LONG_PTR okType = -1, cancelType = -1;
    std::vector<std::string> tabs;
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            HWND toolbar = window.HandleOf(form.tbVoice);
            const int count = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
            for (int i = 0; i < count; ++i) {
                TBBUTTON button{};
                SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
                wchar_t label[64] = L"";
                SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(label));
                labels.emplace_back(label);
                glyphs.push_back(button.iBitmap);
            }
            ok = TextOf(window.HandleOf(form.btOK));
            cancel = TextOf(window.HandleOf(form.btCancel));
            rate = TextOf(window.HandleOf(form.btBPS));
            okType = GetWindowLongPtrW(window.HandleOf(form.btOK), GWL_STYLE) & BS_TYPEMASK;
            cancelType = GetWindowLongPtrW(window.HandleOf(form.btCancel), GWL_STYLE) & BS_TYPEMASK;
            HWND first = GetNextDlgTabItem(window.Handle(), nullptr, FALSE);
            for (HWND item = first; item && tabs.size() < 10;) {
                tabs.push_back(TextOf(item));
                item = GetNextDlgTabItem(window.Handle(), item, FALSE);
                if (item == first) break;
            }
            SendMessageW(window.Handle(), WM_CLOSE, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(labels, (std::vector<std::wstring>{L"&Record", L"&Play", L"P&ause", L"&Stop", L"", L"", L""}));
    EXPECT_EQ(glyphs, (std::vector<int>{0, 1, 2, 3, 5, 4, 6}));
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "Cancel");
    EXPECT_EQ(okType, BS_DEFPUSHBUTTON);
    EXPECT_EQ(cancelType, BS_PUSHBUTTON);
    EXPECT_EQ(tabs, (std::vector<std::string>{rate, "Cancel", ""}));  // OK is disabled; "" the toolbar
}

// The harness's silent source chosen by name: after 3 s of it the status line asks whether the
// microphone is muted, and the recording goes on until Stop.
TEST_F(RecorderWin32, SilentMicrophoneChosenByNameIsNamedMuted) {
    bool present = false;
    for (int device = 0; device < WaveIn()->NumDevs(); ++device)
        present = present || WaveIn()->DeviceName(device) == "Monitor of Silent";
    if (!present) GTEST_SKIP() << "not the harness's silent microphone";
    std::ofstream(folder.File("zelt.ini"), std::ios::binary) << "[Audio]\r\nMicrophone=Monitor of Silent\r\n";
    TformMain form;
    std::string hint, finished;
    bool fits = false, shot = false;
    const std::string picture = "/recorder-nosound-" + std::to_string(DpiOf(nullptr)) + ".png";
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            HWND state = window.HandleOf(form.lbState);
            const auto press = [&](const TAction& action) {
                SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(action), BN_CLICKED),
                             reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
            };
            press(form.actRecord);
            WaitFor([&] { return TextOf(state) == NoSoundText; });
            hint = TextOf(state);
            fits = WrapsInside(state);
            shot = SaveScreenshot(window.Handle(), std::string(KESTOVA_SHOT_DIR) + picture);
            press(form.actStop);
            WaitFor([&] { return TextOf(state).rfind("Stopped. Size: ", 0) == 0; });
            finished = TextOf(state);
            SendMessageW(window.HandleOf(form.btOK), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(hint, NoSoundText);
    EXPECT_TRUE(fits) << "the hint is cut off in " << picture;
    EXPECT_TRUE(shot);
    EXPECT_EQ(finished.substr(0, 15), "Stopped. Size: ") << finished;
    EXPECT_GE(form.MP3Out.ElapsedSeconds(), 3);
}
