// Real windows under Wine: a form like the recorder window is created by the Win32 host and
// driven through its windows (toolbar commands, button clicks, close box, keyboard), and a
// screenshot of it is saved under the build folder. Skipped without a display.
#include "ui/win32/Win32Host.h"

#include "platform/MainThread.h"
#include "ui/ComCtrls.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/Form.h"
#include "ui/StdCtrls.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Resources.h"

#include "tests/ui/RealWindows.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace kestova;
using kestova::test::HasDisplay;
using kestova::test::SaveScreenshot;
using kestova::test::TextOf;

namespace {

struct TVoiceForm : TForm {
    TAction actRecord{this, "actRecord", "Record", 0};
    TAction actStop{this, "actStop", "Stop", 3};
    TAction actAbout{this, "actAbout", "About...", 5};
    TImage imgLogo{this, "imgLogo"};
    TShape ShapeState{this, "ShapeState"};
    TLabel lbState{this, "lbState"};
    TProgressBar pbPlay{this, "pbPlay"};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};
    TActionToolBar tbVoice{this, "tbVoice"};
    TPopupMenu pmMain{this, "pmMain"};

    explicit TVoiceForm(TForm* owner = nullptr) : TForm(owner) {
        SetCaption(" Kestova for Outlook");
        SetBorderStyle(TBorderStyle::bsToolWindow);
        SetClientSize(400, 196);
        SetPosition(owner ? TPosition::poOwnerFormCenter : TPosition::poScreenCenter);
        SetIconResource("MAINICON");
        imgLogo.SetResourceName("BANNER");
        imgLogo.SetBounds(0, 0, 400, 64);
        imgLogo.SetCursor(crHandPoint);
        ShapeState.SetBounds(8, 72, 241, 25);
        lbState.SetBounds(16, 77, 225, 16);
        lbState.SetFont({"Verdana", 13, true});
        lbState.SetCaption("Click 'Record' button to start");
        pbPlay.SetBounds(8, 104, 313, 25);
        pbPlay.SetMax(300);
        pbPlay.SetSmooth(true);
        btOK.SetBounds(328, 72, 64, 25);
        btOK.SetCaption("OK");
        btOK.SetEnabled(false);
        btOK.SetDefault(true);
        btOK.SetModalResult(mrOk);
        btCancel.SetBounds(328, 104, 64, 25);
        btCancel.SetCaption("Cancel");
        btCancel.SetCancel(true);
        btCancel.SetModalResult(mrCancel);
        tbVoice.Images() = {"GLYPHS", 32, 32, 7};
        tbVoice.AddItem(&actRecord, "&Record");
        tbVoice.AddItem(&actStop, "&Stop");
        tbVoice.AddItem(&actAbout);
        pmMain.AddItem(&actAbout);
        SetPopupMenu(&pmMain);
        actStop.SetEnabled(false);
        actRecord.OnExecute = [this](TComponent*) {
            actRecord.SetEnabled(false);
            actStop.SetEnabled(true);
            btOK.SetEnabled(true);
            lbState.SetCaption("Recording...   0:3");
            pbPlay.SetPosition(150);
        };
    }
};

// A small settings dialog: fixed border, a group box holding a label and a drop-down list,
// a default and a cancel button.
struct TChoiceDialog : TForm {
    TGroupBox gbChoice{this, "gbChoice"};
    TLabel lbChoice{this, "lbChoice", &gbChoice};
    TComboBox cbChoice{this, "cbChoice", &gbChoice};
    TFlatButton btOK{this, "btOK"};
    TFlatButton btCancel{this, "btCancel"};
    int changes = 0;

    explicit TChoiceDialog(TForm* owner) : TForm(owner) {
        SetCaption("Options");
        SetClientSize(247, 169);
        SetPosition(TPosition::poOwnerFormCenter);
        gbChoice.SetBounds(11, 8, 225, 105);
        gbChoice.SetCaption("Compress");
        lbChoice.SetBounds(16, 32, 90, 13);
        lbChoice.SetCaption("Bit Rate (kbps):");
        cbChoice.SetBounds(112, 28, 97, 21);
        cbChoice.SetItems({"8", "64", "128"});
        cbChoice.OnChange = [this](TComponent*) { ++changes; };
        btOK.SetBounds(80, 128, 75, 25);
        btOK.SetCaption("OK");
        btOK.SetDefault(true);
        btOK.SetModalResult(mrOk);
        btCancel.SetBounds(161, 128, 75, 25);
        btCancel.SetCaption("Cancel");
        btCancel.SetCancel(true);
        btCancel.SetModalResult(mrCancel);
    }
};

class Win32Host : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HasDisplay()) GTEST_SKIP() << "no display";
        SetMainThread(CreateOsMainThread());
    }
    void TearDown() override { SetMainThread(nullptr); }

    // Runs `script` inside the next modal loop, as a user acting on the shown window would.
    void WhenShown(std::function<void()> script) { MainThread()->Post([script] { RunGuarded(script); }); }

    TWin32Host host;
    THostScope scope{host};
};

}  // namespace

TEST_F(Win32Host, FormWindowIsDrivenThroughItsControls) {
    TVoiceForm form;
    RECT client{}, bar{};
    int buttons = 0, glyphs = 0, glyphSize = 0, position = -1, recordOn = -1, stopOn = -1;
    std::string before, after, shot = std::string(KESTOVA_SHOT_DIR) + "/ui-form.png";
    bool saved = false;
    WhenShown([&] {
        TFormWindow& window = *host.WindowOf(form);
        HWND toolbar = window.HandleOf(form.tbVoice);
        GetClientRect(window.Handle(), &client);
        GetWindowRect(toolbar, &bar);
        buttons = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0));
        glyphs = ImageList_GetImageCount(images);
        int cx = 0, cy = 0;
        ImageList_GetIconSize(images, &cx, &cy);
        glyphSize = cx * 100 + cy;
        before = TextOf(window.HandleOf(form.lbState));
        // What the toolbar sends when its Record button is pressed.
        SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(window.CommandOf(form.actRecord), BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar));
        after = TextOf(window.HandleOf(form.lbState));
        position = static_cast<int>(SendMessageW(window.HandleOf(form.pbPlay), PBM_GETPOS, 0, 0));
        recordOn = static_cast<int>(SendMessageW(toolbar, TB_ISBUTTONENABLED, window.CommandOf(form.actRecord), 0));
        stopOn = static_cast<int>(SendMessageW(toolbar, TB_ISBUTTONENABLED, window.CommandOf(form.actStop), 0));
        RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        GdiFlush();
        saved = SaveScreenshot(window.Handle(), shot);
        SendMessageW(window.HandleOf(form.btOK), BM_CLICK, 0, 0);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(client.right, 400);
    EXPECT_EQ(client.bottom, 196);
    EXPECT_EQ(bar.bottom - bar.top, 59);
    EXPECT_EQ(buttons, 3);
    EXPECT_EQ(glyphs, 7);
    EXPECT_EQ(glyphSize, 3232);
    EXPECT_EQ(before, "Click 'Record' button to start");
    EXPECT_EQ(after, "Recording...   0:3");
    EXPECT_EQ(position, 150);
    EXPECT_EQ(recordOn, 0);
    EXPECT_NE(stopOn, 0);
    EXPECT_TRUE(saved) << shot;
    EXPECT_EQ(host.WindowOf(form), nullptr);
}

TEST_F(Win32Host, CloseBoxCancelsAndTheOwnerIsDisabledMeanwhile) {
    TVoiceForm owner;
    TVoiceForm dialog(&owner);
    BOOL ownerEnabledDuring = TRUE, ownerEnabledAfter = FALSE;
    int dialogResult = -1;
    WhenShown([&] {
        HWND ownerWindow = host.WindowOf(owner)->Handle();
        WhenShown([&] {
            ownerEnabledDuring = IsWindowEnabled(ownerWindow);
            SendMessageW(host.WindowOf(dialog)->Handle(), WM_CLOSE, 0, 0);
        });
        dialogResult = dialog.ShowModal();
        ownerEnabledAfter = IsWindowEnabled(ownerWindow);
        SendMessageW(ownerWindow, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(owner.ShowModal(), mrCancel);
    EXPECT_EQ(dialogResult, mrCancel);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(ownerEnabledAfter);
}

// A plain top-level window of the thread, as another of Outlook's windows would be.
struct TOtherWindow {
    explicit TOtherWindow(bool enabled)
        : handle(CreateWindowExW(0, L"STATIC", L"Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE | (enabled ? 0 : WS_DISABLED),
                                 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr)) {}
    ~TOtherWindow() { DestroyWindow(handle); }
    TOtherWindow(const TOtherWindow&) = delete;
    TOtherWindow& operator=(const TOtherWindow&) = delete;
    const HWND handle;
};

TEST_F(Win32Host, ModalToEveryWindowOfTheThreadAndTheStartingWindowIsActiveAgain) {
    TOtherWindow mail(true), other(true), disabledBefore(false);
    SetForegroundWindow(mail.handle);
    SetActiveWindow(mail.handle);
    ASSERT_EQ(GetActiveWindow(), mail.handle);
    TVoiceForm recorder;
    TVoiceForm options(&recorder);
    BOOL mailDuring = TRUE, otherDuring = TRUE, recorderDuringOptions = TRUE, recorderAfterOptions = FALSE;
    bool recorderActiveAgain = false;
    WhenShown([&] {
        mailDuring = IsWindowEnabled(mail.handle);
        otherDuring = IsWindowEnabled(other.handle);
        const HWND recorderWindow = host.WindowOf(recorder)->Handle();
        WhenShown([&] {
            recorderDuringOptions = IsWindowEnabled(recorderWindow);
            SendMessageW(host.WindowOf(options)->Handle(), WM_CLOSE, 0, 0);
        });
        options.ShowModal();
        recorderAfterOptions = IsWindowEnabled(recorderWindow);
        recorderActiveAgain = GetActiveWindow() == recorderWindow;
        SendMessageW(recorderWindow, WM_CLOSE, 0, 0);
    });
    recorder.ShowModal();
    EXPECT_FALSE(mailDuring);
    EXPECT_FALSE(otherDuring);
    EXPECT_FALSE(recorderDuringOptions);
    EXPECT_TRUE(recorderAfterOptions);
    EXPECT_TRUE(recorderActiveAgain);
    EXPECT_TRUE(IsWindowEnabled(mail.handle));
    EXPECT_TRUE(IsWindowEnabled(other.handle));
    EXPECT_FALSE(IsWindowEnabled(disabledBefore.handle));  // not ours to enable
    EXPECT_EQ(GetActiveWindow(), mail.handle);
    EXPECT_EQ(GetFocus(), mail.handle);
}

TEST_F(Win32Host, AltWithAMarkedLetterRunsTheToolbarItem) {
    TVoiceForm form;
    WhenShown([&] {
        HWND cancel = host.WindowOf(form)->HandleOf(form.btCancel);
        SetFocus(cancel);
        constexpr LPARAM kAltDown = 1 << 29;
        PostMessageW(cancel, WM_SYSCHAR, 'r', kAltDown);  // "&Record"
        PostMessageW(cancel, WM_SYSCHAR, 'x', kAltDown);  // marks nothing
        PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_FALSE(form.actRecord.Enabled());
    EXPECT_EQ(form.lbState.Caption(), "Recording...   0:3");
}

TEST_F(Win32Host, EscapePressesTheCancelButton) {
    TVoiceForm form;
    WhenShown([&] {
        HWND cancel = host.WindowOf(form)->HandleOf(form.btCancel);
        SetFocus(cancel);
        PostMessageW(cancel, WM_KEYDOWN, VK_ESCAPE, 0);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST_F(Win32Host, DialogListPicksAnItemAndEnterPressesTheDefaultButton) {
    TVoiceForm owner;
    TChoiceDialog dialog(&owner);
    RECT ownerRect{}, dialogRect{};
    std::string group, shown;
    int result = -1;
    WhenShown([&] {
        GetWindowRect(host.WindowOf(owner)->Handle(), &ownerRect);
        WhenShown([&] {
            TFormWindow& window = *host.WindowOf(dialog);
            GetWindowRect(window.Handle(), &dialogRect);
            group = TextOf(window.HandleOf(dialog.gbChoice));
            HWND list = window.HandleOf(dialog.cbChoice);
            // What the list sends when the user picks its third item.
            SendMessageW(list, CB_SETCURSEL, 2, 0);
            SendMessageW(window.Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(list));
            shown = TextOf(list);
            SetFocus(list);
            PostMessageW(list, WM_KEYDOWN, VK_RETURN, 0);
        });
        result = dialog.ShowModal();
        SendMessageW(host.WindowOf(owner)->Handle(), WM_CLOSE, 0, 0);
    });
    owner.ShowModal();
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(dialog.cbChoice.Text(), "128");
    EXPECT_EQ(dialog.changes, 1);
    EXPECT_EQ(shown, "128");
    EXPECT_EQ(group, "Compress");
    // Centred over its owner.
    EXPECT_NEAR((dialogRect.left + dialogRect.right) / 2, (ownerRect.left + ownerRect.right) / 2, 1);
    EXPECT_NEAR((dialogRect.top + dialogRect.bottom) / 2, (ownerRect.top + ownerRect.bottom) / 2, 1);
}

TEST(Win32Resources, ArtworkIsLinkedIntoTheModule) {
    EXPECT_NE(LoadCursorW(ResourceModule(), L"_HANDPOINT"), nullptr);
    HICON icon = static_cast<HICON>(LoadImageW(ResourceModule(), L"MAINICON", IMAGE_ICON, 48, 48, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) DestroyIcon(icon);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageW(ResourceModule(), L"GLYPHS", IMAGE_BITMAP, 0, 0, 0));
    ASSERT_NE(strip, nullptr);
    BITMAP info{};
    GetObjectW(strip, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 224);
    EXPECT_EQ(info.bmHeight, 32);
    DeleteObject(strip);
}
