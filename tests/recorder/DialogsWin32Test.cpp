// The Options dialog and the About window as a user meets them: real windows under Wine (Xvfb)
// with the system's profile functions, driven through their controls, with screenshots saved
// under the build folder. The shell only records, so no browser starts; the simulated
// microphone stands in, since these windows do not record. Skipped without a display.
#include "recorder/AboutForm.h"
#include "recorder/Links.h"
#include "recorder/MainForm.h"
#include "recorder/OptionsForm.h"

#include "core/Exception.h"
#include "platform/MainThread.h"
#include "platform/ProfileFile.h"
#include "platform/Shell.h"
#include "platform/WaveIn.h"
#include "platform/sim/SimShell.h"
#include "platform/sim/WaveInSim.h"
#include "platform/win32/WideText.h"
#include "tests/audio/ScratchFolder.h"
#include "tests/ui/RealWindows.h"
#include "ui/Dialogs.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Win32Host.h"

#include <gtest/gtest.h>

#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace kestova;
using namespace std::chrono_literals;
using kestova::test::HasDisplay;
using kestova::test::SaveScreenshot;
using kestova::test::TextOf;
using kestova::test::TScratchFolder;
using kestova::win32::Widen;

namespace {

const std::string kShotDir = KESTOVA_SHOT_DIR;

class DialogsWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasDisplay()) GTEST_SKIP() << "no display";
        SetMainThread(CreateOsMainThread());
        SetAppPath(folder.Folder());
        SetWaveIn(std::make_shared<TWaveInSim>(TWaveInSimConfig{}));
        SetShell(shell);
    }
    void TearDown() override {
        SetShell(nullptr);
        SetWaveIn(nullptr);
        SetAppPath("");
        SetMainThread(nullptr);
    }

    // Runs `script` on the window thread with the top-level form window captioned `caption`,
    // once a modal loop shows it.
    static void WhenShown(const std::string& caption, std::function<void(HWND)> script) {
        MainThread()->Post([caption, script] {
            RunGuarded([&] {
                HWND window = FindWindowW(L"KestovaForm", Widen(caption).c_str());
                if (!window) throw Exception("no window \"" + caption + "\"");
                script(window);
            });
        });
    }
    static HWND Child(HWND window, const wchar_t* className, const std::string& text) {
        return FindWindowExW(window, nullptr, className, text.empty() ? nullptr : Widen(text).c_str());
    }
    // What the dialog's list sends when the user picks item `index`; answers the list.
    static HWND Pick(HWND dialog, int index) {
        HWND list = Child(dialog, L"ComboBox", "");
        SendMessageW(list, CB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        return list;
    }
    static SIZE ClientSize(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        return {r.right - r.left, r.bottom - r.top};
    }
    // The X server maps a new window some time after it is shown and what was painted before
    // is lost: the messages of a moment are handled, then everything is painted again.
    static bool Shot(HWND window, const std::string& name) {
        MainThread()->ProcessUntil([] { return false; }, 1s);
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
        return SaveScreenshot(window, kShotDir + "/" + name);
    }
    static POINT Centre(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    TScratchFolder folder{"dialogs-win32"};
    std::shared_ptr<TSimShell> shell = std::make_shared<TSimShell>();
    TWin32Host host;
    THostScope scope{host};
};

}  // namespace

TEST_F(DialogsWin32, OptionsFromTheRateButtonStoresTheChoiceAndEscCancels) {
    TformMain form;
    SIZE client{};
    POINT dialogCentre{}, ownerCentre{};
    int items = 0;
    std::string opened, group, afterOk, afterEsc;
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            HWND rateButton = window.HandleOf(form.btBPS);
            ownerCentre = Centre(window.Handle());
            WhenShown("Options", [&](HWND dialog) {
                client = ClientSize(dialog);
                dialogCentre = Centre(dialog);
                HWND list = Child(dialog, L"ComboBox", "");
                group = TextOf(Child(dialog, L"Button", "Compress"));
                items = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
                opened = TextOf(list);
                Pick(dialog, 11);  // "128"
                SendMessageW(Child(dialog, L"Button", "OK"), BM_CLICK, 0, 0);
            });
            SendMessageW(rateButton, BM_CLICK, 0, 0);
            afterOk = TextOf(rateButton);
            WhenShown("Options", [&](HWND dialog) {
                PostMessageW(Pick(dialog, 0), WM_KEYDOWN, VK_ESCAPE, 0);
            });
            SendMessageW(rateButton, BM_CLICK, 0, 0);
            afterEsc = TextOf(rateButton);
            SendMessageW(window.HandleOf(form.btCancel), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(client.cx, 247);
    EXPECT_EQ(client.cy, 169);
    EXPECT_NEAR(dialogCentre.x, ownerCentre.x, 1);
    EXPECT_NEAR(dialogCentre.y, ownerCentre.y, 1);
    EXPECT_EQ(group, "Compress");
    EXPECT_EQ(items, 14);
    EXPECT_EQ(opened, "64");
    EXPECT_EQ(afterOk, "128 kbps");
    EXPECT_EQ(afterEsc, "128 kbps");
    EXPECT_EQ(ProfileFile()->ReadString(folder.File("zelt.ini"), "Audio", "BitRate", ""), "128");
    EXPECT_EQ(form.MP3Out.BitRate, br128);
}

// The dialog on its own, for its screenshot: shown over the recorder window, Wine under Xvfb
// leaves its area black on the X screen although the window itself is painted. Enter takes
// the choice.
TEST_F(DialogsWin32, OptionsDialogPicksWithTheListAndEnter) {
    TformOptions options(nullptr);
    bool shot = false;
    WhenShown("Options", [&](HWND dialog) {
        HWND list = Pick(dialog, 0);  // "8"
        shot = Shot(dialog, "options-dialog.png");
        SetFocus(list);
        PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
    });
    EXPECT_EQ(options.ShowModal(), mrOk);
    EXPECT_EQ(ProfileFile()->ReadString(folder.File("zelt.ini"), "Audio", "BitRate", ""), "8");
    EXPECT_TRUE(shot) << kShotDir << "/options-dialog.png";
}

// The system's capture devices as Wine reports them (under the harness its two PulseAudio
// sources), listed by name below the bit rate.
TEST_F(DialogsWin32, OptionsListsTheSystemsMicrophonesByName) {
    SetWaveIn(CreateOsWaveIn());
    std::vector<std::string> items;
    bool shot = false;
    WhenShown("Options", [&](HWND dialog) {
        HWND list = FindWindowExW(dialog, Child(dialog, L"ComboBox", ""), L"ComboBox", nullptr);
        const int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[MAXPNAMELEN + 16] = {};  // device names are shorter than MAXPNAMELEN
            SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
            items.push_back(win32::Narrow(text));
        }
        // Wine under Xvfb leaves a dropped-down list black on the X screen: the picture shows a
        // device picked by name instead.
        SendMessageW(list, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Monitor of Tone"));
        shot = Shot(dialog, "options-microphone.png");
        PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    TformOptions options(nullptr);
    EXPECT_EQ(options.ShowModal(), mrCancel);
    ASSERT_EQ(items.size(), waveInGetNumDevs() + 1);
    EXPECT_EQ(items[0], "Windows default");
    for (UINT device = 0; device < waveInGetNumDevs(); ++device) {
        WAVEINCAPSW caps{};
        ASSERT_EQ(waveInGetDevCapsW(device, &caps, sizeof caps), MMSYSERR_NOERROR);
        EXPECT_EQ(items[device + 1], win32::Narrow(caps.szPname));
    }
    if (std::getenv("PULSE_SERVER")) {
        EXPECT_NE(std::find(items.begin(), items.end(), "Monitor of Tone"), items.end());
        EXPECT_NE(std::find(items.begin(), items.end(), "Monitor of Silent"), items.end());
    }
    EXPECT_TRUE(shot) << kShotDir << "/options-microphone.png";
}

TEST_F(DialogsWin32, AboutWindowShowsItsLinksAndClosesEveryWay) {
    struct TWay {
        std::function<void(HWND)> Close;
        int Result;
    };
    const std::vector<TWay> ways = {
        {[](HWND about) { PostMessageW(about, WM_KEYDOWN, VK_RETURN, 0); }, mrOk},
        {[](HWND about) { PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0); }, mrOk},
        {[](HWND about) { SendMessageW(Child(about, L"Button", "OK"), BM_CLICK, 0, 0); }, mrOk},
        {[](HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); }, mrCancel},
    };
    SIZE client{};
    bool product = false, picture = false, handCursor = false, shot = false;
    for (const TWay& way : ways) {
        TformAbout about;  // as the add-in shows it: no owner
        WhenShown("About Kestova for Outlook", [&](HWND window) {
            if (!shot) {
                client = ClientSize(window);
                product = Child(window, L"Static", "Kestova for Outlook Version 2.2") != nullptr;
                HWND icon = host.WindowOf(about)->HandleOf(about.imgIcon);
                picture = SendMessageW(icon, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
                HWND support = Child(window, L"Button", "Click here to get support online");
                SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(support), MAKELPARAM(HTCLIENT, 0));
                handCursor = GetCursor() == LoadCursorW(GetModuleHandleW(nullptr), L"_HANDPOINT");
                SendMessageW(Child(window, L"Button", HomePageAddress()), BM_CLICK, 0, 0);
                SendMessageW(support, BM_CLICK, 0, 0);
                shot = Shot(window, "about-window.png");
            }
            way.Close(window);
        });
        EXPECT_EQ(about.ShowModal(), way.Result);
    }
    EXPECT_EQ(client.cx, 289);
    EXPECT_EQ(client.cy, 201);
    EXPECT_TRUE(product);
    EXPECT_TRUE(picture);
    EXPECT_TRUE(handCursor);
    const std::string home = HomePageAddress();
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>{home, home + "/support.php"}));
    EXPECT_TRUE(shot) << kShotDir << "/about-window.png";
}

TEST_F(DialogsWin32, RecorderToolbarOpensAboutOverTheWindow) {
    TformMain form;
    bool shown = false;
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            WhenShown("About Kestova for Outlook", [&](HWND about) {
                shown = GetWindow(about, GW_OWNER) == window.Handle() && !IsWindowEnabled(window.Handle());
                PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
            });
            SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(form.actAbout), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
            SendMessageW(window.HandleOf(form.btCancel), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(shown);
}

// The system's shell with no help file next to the program: nothing comes back, nothing shows.
TEST_F(DialogsWin32, HelpWithTheSystemShellAndNoHelpFileReturnsQuietly) {
    SetShell(CreateOsShell());
    TformMain form;
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(form.actHelp), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
            SendMessageW(window.HandleOf(form.btCancel), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.lbState.Caption(), "Click 'Record' button to start");
    EXPECT_TRUE(form.actRecord.Enabled());
}

// The help file the build compiles: a CHM (ITSF) container holding the repo's pages.
TEST(HelpFile, IsACompiledHtmlHelpFileWithThePages) {
    std::ifstream file("Z:" KESTOVA_HELP_FILE, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_GT(bytes.size(), 4u) << KESTOVA_HELP_FILE;
    EXPECT_EQ(bytes.substr(0, 4), "ITSF");
    for (const char* page : {"/index.html", "/recording.html", "/options.html", "/support.html"})
        EXPECT_NE(bytes.find(page), std::string::npos) << page;
}

