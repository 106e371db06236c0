// The Options dialog and the About window as a user meets them: real windows under Wine (Xvfb)
// with the system's profile functions, driven through their controls, with screenshots saved
// under the build folder. The shell only records, so no browser starts; the simulated
// microphone stands in, since these windows do not record. Skipped without a display.
#include "addin/com/Handles.h"
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
#include "ui/win32/Dpi.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Handles.h"
#include "ui/win32/Win32Host.h"

#include <gtest/gtest.h>

#include <mmsystem.h>
#include <oleacc.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace kestova;
using namespace std::chrono_literals;
using namespace kestova::test;
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

    // Keys as the keyboard sends them, to the window that has the focus.
    static void Key(HWND window, WPARAM key) { PostMessageW(window, WM_KEYDOWN, key, 1); }
    // What the toolbar sends when the user clicks the button of `action`.
    void Press(TformMain& form, const TAction& action) {
        TFormWindow& window = *host.WindowOf(form);
        PostMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(action), BN_CLICKED),
                     reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
    }
    static int HotButton(HWND toolbar) { return static_cast<int>(SendMessageW(toolbar, TB_GETHOTITEM, 0, 0)); }
    std::string HelpFile() const { return folder.File("zelt.chm"); }

    com::TApartment apartment;  // screen readers' objects come through COM
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

// The dialog on its own, for its screenshot (over the recorder it lies wholly inside the
// recorder's rectangle, which Wine without a window manager leaves black). Enter takes the
// choice.
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

// A user policy in the real registry: the rate list shows its value, disabled, with the reason
// as its tooltip; the policy removed, the user's own rate is back and can be chosen.
TEST_F(DialogsWin32, PolicyInTheRegistryDisablesTheRateWithItsReasonAsTooltip) {
    const wchar_t key[] = L"Software\\Policies\\Kestova\\Outlook";
    ProfileFile()->WriteString(folder.File("zelt.ini"), "Audio", "BitRate", "128");
    const DWORD rate = 32;
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, key, L"BitRate", REG_DWORD, &rate, sizeof(rate)), ERROR_SUCCESS);
    struct TRemoved {
        const wchar_t* Key;
        ~TRemoved() { RegDeleteTreeW(HKEY_CURRENT_USER, Key); }
    } removed{key};
    const auto seen = [&] {
        std::pair<std::string, std::wstring> shown;  // the list's text, its tooltip when disabled
        TformOptions options(nullptr);
        WhenShown("Options", [&](HWND dialog) {
            HWND list = Child(dialog, L"ComboBox", "");
            wchar_t text[16] = {};
            GetWindowTextW(list, text, 16);
            shown.first = win32::Narrow(text);
            HWND tips = host.WindowOf(options)->ToolTips();
            wchar_t tip[80] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.lpszText = tip;
            if (!IsWindowEnabled(list) && tips && SendMessageW(tips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)))
                shown.second = tip;
            PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        options.ShowModal();
        return shown;
    };
    EXPECT_EQ(seen(), std::make_pair(std::string("32"), std::wstring(L"Set by your administrator (policy (user))")));
    RegDeleteTreeW(HKEY_CURRENT_USER, key);
    EXPECT_EQ(seen(), std::make_pair(std::string("128"), std::wstring()));
}

namespace {

// The clipboard's Unicode text, as a paste would take it.
std::string ClipboardText(HWND window) {
    std::string text;
    if (!OpenClipboard(window)) return text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = win32::Narrow(wide);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

}  // namespace

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
    std::string copied;
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
                SendMessageW(Child(window, L"Button", "Copy diagnostics"), BM_CLICK, 0, 0);
                copied = ClipboardText(window);
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
    EXPECT_EQ(copied.rfind("Kestova for Outlook diagnostics", 0), 0u) << copied;
    const std::string home = HomePageAddress();
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>{home, home + "/support.php"}));
    EXPECT_TRUE(shot) << kShotDir << "/about-window.png";
}

TEST_F(DialogsWin32, RecorderToolbarOpensAboutOverTheWindow) {
    TformMain form;
    bool shown = false;
    POINT aboutCentre{}, ownerCentre{};
    MainThread()->Post([&] {
        RunGuarded([&] {
            TFormWindow& window = *host.WindowOf(form);
            WhenShown("About Kestova for Outlook", [&](HWND about) {
                shown = GetWindow(about, GW_OWNER) == window.Handle() && !IsWindowEnabled(window.Handle());
                aboutCentre = Centre(about);
                ownerCentre = Centre(window.Handle());
                PostMessageW(about, WM_KEYDOWN, VK_ESCAPE, 0);
            });
            SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(form.actAbout), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
            SendMessageW(window.HandleOf(form.btCancel), BM_CLICK, 0, 0);
        });
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_TRUE(shown);
    EXPECT_NEAR(aboutCentre.x, ownerCentre.x, 1);
    EXPECT_NEAR(aboutCentre.y, ownerCentre.y, 1);
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


// Esc is Cancel (asking once something is recorded), Enter is OK once OK is enabled, Record has
// the focus, Tab goes round the tab stops, arrows move along the toolbar's enabled buttons and
// Space presses one, F1 opens the help file.
TEST_F(DialogsWin32, RecorderAnswersTheKeyboardAsADialogDoes) {
    TformMain form;
    HWND window = nullptr, toolbar = nullptr, rate = nullptr, cancel = nullptr;
    InTurns({
        [&] {
            window = host.WindowOf(form)->Handle();
            toolbar = host.WindowOf(form)->HandleOf(form.tbVoice);
            rate = host.WindowOf(form)->HandleOf(form.btBPS);
            cancel = host.WindowOf(form)->HandleOf(form.btCancel);
            EXPECT_EQ(GetFocus(), toolbar);
            EXPECT_EQ(HotButton(toolbar), 0);  // Record
            Key(toolbar, VK_RIGHT);
        },
        [&] {
            EXPECT_EQ(HotButton(toolbar), 4);  // About: Play, Pause and Stop are disabled
            Key(toolbar, VK_LEFT);
        },
        [&] {
            EXPECT_EQ(HotButton(toolbar), 0);
            Key(toolbar, VK_TAB);
        },
        [&] {
            EXPECT_EQ(GetFocus(), rate);
            Key(rate, VK_TAB);
        },
        [&] {
            EXPECT_EQ(GetFocus(), cancel);  // OK is disabled
            Key(cancel, VK_TAB);
        },
        [&] {
            EXPECT_EQ(GetFocus(), toolbar);
            Key(toolbar, VK_F1);
        },
        [&] {
            EXPECT_EQ(shell->Opened(), std::vector<std::string>{HelpFile()});
            SetFocus(window);
            Key(window, VK_RETURN);
        },
        [&] {
            EXPECT_EQ(form.ModalResult(), mrNone);  // OK is still disabled
            SetFocus(toolbar);
            Key(toolbar, VK_SPACE);
        },
        [&] {
            EXPECT_FALSE(form.actRecord.Enabled());
            EXPECT_TRUE(form.actStop.Enabled());
            Key(toolbar, VK_ESCAPE);
        },
        [&] {  // in the confirmation box
            HWND box = FindWindowW(L"#32770", L"Confirm");
            EXPECT_NE(box, nullptr);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDNO)));
        },
        [&] {
            EXPECT_EQ(form.ModalResult(), mrNone);
            EXPECT_TRUE(form.btOK.Enabled());
            SetFocus(window);
            Key(window, VK_RETURN);
        },
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
}

// Options opens on the bit-rate list and About on OK; F1 in either opens the help file, and
// the recorder, active again, has the focus where it was.
TEST_F(DialogsWin32, DialogsOpenOnTheirFirstChoiceAndF1OpensHelp) {
    TformMain form;
    HWND rate = nullptr;
    InTurns({
        [&] {
            rate = host.WindowOf(form)->HandleOf(form.btBPS);
            SetFocus(rate);
            Key(rate, VK_SPACE);
            PostMessageW(rate, WM_KEYUP, VK_SPACE, 0xC0000001);
        },
        [&] {  // in Options
            HWND list = Child(FindWindowW(L"KestovaForm", L"Options"), L"ComboBox", "");
            EXPECT_NE(list, nullptr);
            EXPECT_EQ(GetFocus(), list);
            Key(GetFocus(), VK_F1);
        },
        [&] {
            EXPECT_EQ(shell->Opened().size(), 1u);
            Key(GetFocus(), VK_ESCAPE);
        },
        [&] {
            TFormWindow& window = *host.WindowOf(form);
            SetActiveWindow(window.Handle());
            EXPECT_EQ(GetFocus(), rate);  // where it was when Options opened
            PostMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(form.actAbout), BN_CLICKED),
                         reinterpret_cast<LPARAM>(window.HandleOf(form.tbVoice)));
        },
        [&] {  // in About
            HWND about = FindWindowW(L"KestovaForm", L"About Kestova for Outlook");
            EXPECT_EQ(GetFocus(), Child(about, L"Button", "OK"));
            Key(GetFocus(), VK_F1);
        },
        [&] {
            EXPECT_EQ(shell->Opened(), std::vector<std::string>(2, HelpFile()));
            Key(GetFocus(), VK_RETURN);
        },
        [&] { PostMessageW(host.WindowOf(form)->Handle(), WM_CLOSE, 0, 0); },
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

// What a screen reader announces: each toolbar button by its caption (also its tooltip), the
// level bar as "Level", and the state label as the window's status line.
TEST_F(DialogsWin32, RecorderControlsAreNamedForScreenReaders) {
    TformMain form;
    const std::vector<std::string> captions = {"Record", "Play", "Pause", "Stop", "About", "Options", "Help"};
    std::vector<std::string> names, tips;
    InTurns({[&] {
        TFormWindow& window = *host.WindowOf(form);
        HWND toolbar = window.HandleOf(form.tbVoice);
        EXPECT_EQ(AccessibleChildCount(toolbar), 7);
        HWND tooltips = reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0));
        for (long button = 1; button <= 7; ++button) {
            names.push_back(AccessibleName(toolbar, button));
            wchar_t text[80] = {};
            TTTOOLINFOW tool{};
            tool.cbSize = sizeof(tool);
            tool.hwnd = toolbar;
            tool.uId = window.CommandOf(*form.tbVoice.Items()[button - 1].Action);
            tool.lpszText = text;
            SendMessageW(tooltips, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(&tool));
            tips.push_back(kestova::win32::Narrow(text));
        }
        EXPECT_EQ(AccessibleRole(toolbar, 1), ROLE_SYSTEM_PUSHBUTTON);
        EXPECT_EQ(AccessibleState(toolbar, 1) & STATE_SYSTEM_UNAVAILABLE, 0);
        EXPECT_NE(AccessibleState(toolbar, 2) & STATE_SYSTEM_UNAVAILABLE, 0);  // Play
        EXPECT_EQ(AccessibleName(window.HandleOf(form.pbPlay)), "Level");
        HWND state = window.HandleOf(form.lbState);
        EXPECT_EQ(AccessibleName(state), "Click 'Record' button to start");
        EXPECT_EQ(AccessibleRole(state), ROLE_SYSTEM_STATUSBAR);
        PostMessageW(window.Handle(), WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(names, captions);
    EXPECT_EQ(tips, captions);
}

// Started from a window at the right edge of the screen, the recorder opens beside it, whole,
// on the same monitor's work area, at the owner's height.
TEST_F(DialogsWin32, RecorderOpensOnItsOwnersMonitorWithinTheWorkArea) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const TWindow mail(CreateWindowExW(0, L"STATIC", L"mail", WS_POPUP | WS_VISIBLE, work.right - 150, work.top + 100,
                                       300, 400, nullptr, nullptr, nullptr, nullptr));
    HWND owner = mail.get();
    ASSERT_NE(owner, nullptr);
    SetActiveWindow(owner);
    TformMain form;
    RECT placed{}, ownerRect{};
    InTurns({[&] {
        GetWindowRect(host.WindowOf(form)->Handle(), &placed);
        GetWindowRect(owner, &ownerRect);
        PostMessageW(host.WindowOf(form)->Handle(), WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(placed.right, work.right);
    EXPECT_GE(placed.left, work.left);
    EXPECT_NEAR((placed.top + placed.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
}

namespace {

// Share of the pixels in `area` of the picture for which `test` holds.
template <class Test>
double Share(const TPicture& picture, RECT area, Test test) {
    area.right = std::min<LONG>(area.right, picture.Width);
    area.bottom = std::min<LONG>(area.bottom, picture.Height);
    size_t hits = 0, all = 0;
    for (int y = std::max<LONG>(area.top, 0); y < area.bottom; ++y)
        for (int x = std::max<LONG>(area.left, 0); x < area.right; ++x, ++all) hits += test(picture.At(x, y)) ? 1 : 0;
    return all ? double(hits) / all : 0;
}

// The client area within a screenshot of the whole window (Wine draws no caption without a
// window manager, so only the client area is ours to judge).
RECT ClientInShot(HWND window) {
    RECT frame{}, client{};
    GetWindowRect(window, &frame);
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    OffsetRect(&client, -frame.left, -frame.top);
    return client;
}

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// What each window must show on the screen: painted (little black), its face colour, no text
// cut off, and a client area of its 96-DPI size scaled to the screen's.
void CheckShown(HWND window, const std::string& shot, SIZE designed) {
    const int dpi = DpiOf(nullptr);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_NEAR(client.right, Scaled(designed.cx, dpi), 3) << shot;
    EXPECT_NEAR(client.bottom, Scaled(designed.cy, dpi), 3) << shot;
    EXPECT_EQ(ClippedTexts(window), std::vector<std::string>{}) << shot;
    const TPicture picture = ReadPicture(kShotDir + "/" + shot);
    if (picture.Width == 0) {
        ADD_FAILURE() << "no picture " << shot;
        return;
    }
    const RECT area = ClientInShot(window);
    EXPECT_LT(Share(picture, area, [](COLORREF c) { return Near(c, RGB(0, 0, 0), 8); }), 0.05) << shot;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_GT(Share(picture, area, [&](COLORREF c) { return c == face; }), 0.2) << shot;
}

}  // namespace

// The recorder, About and Options, as the screen shows them; the pictures are kept as
// recorder-DPI.png, about-DPI.png and options-DPI.png.
TEST_F(DialogsWin32, WindowsArePaintedAndScaledAtTheScreensDpi) {
    const std::string dpi = std::to_string(DpiOf(nullptr));
    TformMain form;
    InTurns({[&] {
        HWND window = host.WindowOf(form)->Handle();
        const std::string shot = "recorder-" + dpi + ".png";
        EXPECT_TRUE(Shot(window, shot));
        CheckShown(window, shot, {400, 212});
        // The banner's own colours at its right end, above the waveform and clear of the text.
        const RECT client = ClientInShot(window);
        EXPECT_TRUE(Near(ReadPicture(kShotDir + "/" + shot).At(client.right - 4, client.top + 3), RGB(34, 96, 147), 16));
        PostMessageW(window, WM_CLOSE, 0, 0);
    }});
    EXPECT_EQ(form.ShowModal(), mrCancel);
    // The dialogs on their own: over the recorder each lies wholly inside the recorder's
    // rectangle, and Wine (X11, no window manager) leaves such a window black on the X screen
    // whatever it paints.
    const auto onItsOwn = [&](TForm& dialog, const wchar_t* caption, const std::string& name, SIZE designed) {
        const std::string shot = name + "-" + dpi + ".png";
        InTurns({[&] {
            HWND window = FindWindowW(L"KestovaForm", caption);
            EXPECT_TRUE(Shot(window, shot));
            CheckShown(window, shot, designed);
            Key(GetFocus(), VK_ESCAPE);
        }});
        dialog.ShowModal();
    };
    TformAbout about(nullptr);
    onItsOwn(about, L"About Kestova for Outlook", "about", {289, 201});
    TformOptions options(nullptr);
    onItsOwn(options, L"Options", "options", {247, 169});
}

namespace {

// Wine takes the screen's DPI from this value when a program starts; removed again afterwards.
class TLogPixels {
public:
    explicit TLogPixels(DWORD dpi) {
        RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels", REG_DWORD, &dpi, sizeof(dpi));
    }
    ~TLogPixels() { RegDeleteKeyValueW(HKEY_CURRENT_USER, kKey, L"LogPixels"); }
    TLogPixels(const TLogPixels&) = delete;
    TLogPixels& operator=(const TLogPixels&) = delete;

private:
    static constexpr const wchar_t* kKey = L"Control Panel\\Desktop";
};

using TKernelHandle = TUniqueHandle<HANDLE, &CloseHandle>;

// Runs one test of this program in a program of its own; answers its exit code.
DWORD RunAlone(const std::string& test) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --gtest_brief=1 --gtest_filter=" + Widen(test);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return static_cast<DWORD>(-1);
    const TKernelHandle process(started.hProcess), thread(started.hThread);
    WaitForSingleObject(process.get(), 240000);
    DWORD code = static_cast<DWORD>(-1);
    GetExitCodeProcess(process.get(), &code);
    return code;
}

}  // namespace

// The screenshot test again at 144 and 192 DPI (150 % and 200 %): each window's size, fonts and
// pictures scale, and the pictures are kept beside the 96-DPI ones. The recorder's longest hint
// must still fit its label there.
TEST(DialogsAtDpi, WindowsScaleByOneAndAHalfAndTwo) {
    if (!HasDisplay()) GTEST_SKIP() << "no display";
    for (const DWORD dpi : {144u, 192u}) {
        const std::wstring shot = Widen(kShotDir + "/recorder-" + std::to_string(dpi) + ".png");
        DeleteFileW(shot.c_str());
        const TLogPixels setting(dpi);
        EXPECT_EQ(RunAlone("DialogsWin32.WindowsArePaintedAndScaledAtTheScreensDpi"), 0u) << dpi;
        EXPECT_NE(GetFileAttributesW(shot.c_str()), INVALID_FILE_ATTRIBUTES) << dpi;
        EXPECT_EQ(RunAlone("RecorderWin32.SilentMicrophoneChosenByNameIsNamedMuted"), 0u) << dpi;
    }
}
