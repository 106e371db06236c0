// The About window and the three shell links, on the headless host with a recording shell.
#include "recorder/AboutForm.h"

#include "recorder/DiagnosticLog.h"
#include "recorder/Links.h"
#include "recorder/MainForm.h"
#include "tests/recorder/RecorderFixture.h"

#include "KestovaVersion.h"

using namespace kestova;
using kestova::test::RecorderWorld;
using kestova::test::TScratchFolder;
using H = THeadlessHost;

namespace {

class AboutAndLinks : public RecorderWorld {
protected:
    // What Enter and Esc do in a form: press its default or its cancel button.
    static void Press(TForm& form, bool enter) {
        for (TControl* control : form.Controls()) {
            auto* button = dynamic_cast<TFlatButton*>(control);
            if (button && (enter ? button->Default() : button->Cancel())) {
                button->Click();
                return;
            }
        }
        ADD_FAILURE() << "no button for " << (enter ? "Enter" : "Esc");
    }

    const std::string home = HomePageAddress();
};

}  // namespace

TEST_F(AboutAndLinks, LinksOpenTheSiteTheSupportPageAndTheHelpFile) {
    EXPECT_EQ(home, std::string("http://") + MakerDomain);
    OpenHomePage();
    OpenSupportPage();
    OpenHelpFile();
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>{home, home + "/support.php", folder.Folder() + "zelt.chm"}));
}

TEST_F(AboutAndLinks, RecorderWindowOpensTheSameAddressFromBannerAndMenu) {
    TformMain form;
    EXPECT_EQ(form.imgLogo.Cursor(), crHandPoint);
    H::Click(form, "imgLogo");
    H::ClickMenu(form, "Home Page");
    H::ClickMenu(form, "Support");
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>{home, home, home + "/support.php"}));
}

TEST_F(AboutAndLinks, HelpWithoutTheFileLeavesARecordingAlone) {
    TformMain form;
    ASSERT_TRUE(H::Execute(form, "actRecord"));
    ASSERT_TRUE(WaitFor([&] { return form.MP3Out.ElapsedSeconds() >= 1; }));
    ASSERT_TRUE(H::Execute(form, "actHelp"));
    ASSERT_TRUE(H::ClickMenu(form, "Help"));
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>(2, folder.Folder() + "zelt.chm")));
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_EQ(form.MP3Out.Status(), osRunning);
    EXPECT_TRUE(form.actStop.Enabled());
    EXPECT_FALSE(form.actRecord.Enabled());
    H::Execute(form, "actStop");
    ASSERT_TRUE(WaitFor([&] { return form.lbState.Caption().rfind("Stopped. Size: ", 0) == 0; }));
}

TEST_F(AboutAndLinks, AboutWindowShowsTheProductAndItsLinks) {
    TformAbout about;
    EXPECT_EQ(about.Caption(), "About Kestova for Outlook");
    EXPECT_EQ(about.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(about.ClientWidth(), 289);
    EXPECT_EQ(about.ClientHeight(), 201);
    EXPECT_EQ(about.Position(), TPosition::poOwnerFormCenter);  // the recorder, or Outlook's window
    EXPECT_EQ(about.imgIcon.Width(), 48);
    EXPECT_EQ(about.imgIcon.Height(), 48);
    EXPECT_EQ(about.lbProduct.Caption(), "Kestova for Outlook Version 2.2");
    EXPECT_EQ(about.lbHomePage.Caption(), "Home Page:");
    EXPECT_EQ(about.btHomePage.Caption(), home);
    EXPECT_EQ(about.lbSupport.Caption(), "Support:");
    EXPECT_EQ(about.btSupport.Caption(), "Click here to get support online");
    for (const TFlatButton* link : {&about.btHomePage, &about.btSupport}) {
        EXPECT_EQ(link->Width(), 185);
        EXPECT_EQ(link->Height(), 25);
        EXPECT_EQ(link->Cursor(), crHandPoint);
    }
    H::Click(about, "btHomePage");
    H::Click(about, "btSupport");
    EXPECT_EQ(shell->Opened(), (std::vector<std::string>{home, home + "/support.php"}));
    EXPECT_EQ(about.ModalResult(), mrNone);
}

TEST_F(AboutAndLinks, AboutWindowClosesWithEnterEscOkAndTheCloseBox) {
    TformMain form;
    const std::vector<std::pair<std::function<void(TForm&)>, int>> ways = {
        {[](TForm& about) { Press(about, true); }, mrOk},
        {[](TForm& about) { Press(about, false); }, mrOk},
        {[](TForm& about) { H::Click(about, "btOK"); }, mrOk},
        {[](TForm& about) { H::CloseBox(about); }, mrCancel},
    };
    for (const auto& way : ways) {
        int result = mrNone;
        TForm* owner = nullptr;
        host.WhenModal([&](TForm& about) {
            owner = about.OwnerForm();
            way.first(about);
            result = about.ModalResult();
        });
        EXPECT_TRUE(H::ClickMenu(form, "About..."));
        EXPECT_EQ(result, way.second);
        EXPECT_EQ(owner, &form);
    }
    EXPECT_TRUE(host.Boxes().empty());
    EXPECT_TRUE(form.actRecord.Enabled());
}

// Each setting's origin: a policy, the user's own zelt.ini, the administrator's in the program
// folder (the user cannot write there); with the versions and the log's last lines.
TEST_F(AboutAndLinks, CopyDiagnosticsPutsVersionsAndEachSettingsOriginOnTheClipboard) {
    TScratchFolder own{"own"};
    userFolders->Unwritable.insert(folder.Folder());
    userFolders->UserData = own.Folder();
    std::ofstream(ini, std::ios::binary) << "[Audio]\r\nMaxMessageMB=5\r\n";
    std::ofstream(own.File("zelt.ini"), std::ios::binary) << "[Audio]\r\nMicrophone=Windows default\r\n";
    policies->Values["BitRate"] = {"128", TPolicyScope::Machine};
    LogEvent("an earlier event");
    TformAbout about;
    EXPECT_EQ(about.btDiagnostics.Caption(), "Copy diagnostics");
    ASSERT_TRUE(H::Click(about, "btDiagnostics"));
    const std::string report = host.Clipboard();
    for (const std::string& expected : std::vector<std::string>{
             "Versions: zelt.dll " KESTOVA_VERSION_TEXT " (", "-bit); LAME ", "; Outlook not connected; ",
          "  BitRate = 128 (policy (machine))\n", "  MaxMessageMB = 5 (administrator's zelt.ini)\n",
          "  Microphone = Windows default (user's zelt.ini)\n", "Microphones: Windows default (chosen), ",
          "Log: " + own.File("kestova.log") + "\n", " an earlier event\n"})
        EXPECT_NE(report.find(expected), std::string::npos) << expected << " in\n" << report;
    EXPECT_EQ(report.find("LAME not found"), std::string::npos) << report;
}
