#include "recorder/AboutForm.h"

#include "recorder/Diagnostics.h"
#include "recorder/Links.h"
#include "ui/Dialogs.h"
#include "ui/Host.h"

#include "KestovaVersion.h"

#include <string>

namespace kestova {

TformAbout::TformAbout(TForm* owner) : TForm(owner) {
    BuildLayout();
    btHomePage.OnClick = [this](TComponent* sender) { btHomePageClick(sender); };
    btSupport.OnClick = [this](TComponent* sender) { btSupportClick(sender); };
    btDiagnostics.OnClick = [this](TComponent* sender) { btDiagnosticsClick(sender); };
    OnHelp = [](TComponent*) { OpenHelpFile(); };
}

void TformAbout::BuildLayout() {
    SetCaption("About Kestova for Outlook");
    SetBorderStyle(TBorderStyle::bsSingle);
    SetClientSize(289, 201);
    SetPosition(TPosition::poOwnerFormCenter);  // the recorder, or Outlook's main window
    imgIcon.SetResourceName("ABOUTICON");
    imgIcon.SetBounds(8, 8, 48, 48);
    lbProduct.SetBounds(68, 14, 213, 16);
    lbProduct.SetFont({"Tahoma", 11, true});
    lbProduct.SetCaption("Kestova for Outlook Version " + std::to_string(KESTOVA_VERSION_MAJOR) + "." +
                         std::to_string(KESTOVA_VERSION_MINOR));
    lbNotice.SetBounds(68, 34, 213, 16);
    lbNotice.SetCaption("Copyright (c) 2004 Kestova");
    lbHomePage.SetBounds(8, 80, 80, 16);
    lbHomePage.SetCaption("Home Page:");
    btHomePage.SetBounds(96, 76, 185, 25);
    btHomePage.SetCaption(HomePageAddress());
    btHomePage.SetCursor(crHandPoint);
    lbSupport.SetBounds(8, 116, 80, 16);
    lbSupport.SetCaption("Support:");
    btSupport.SetBounds(96, 112, 185, 25);
    btSupport.SetCaption("Click here to get support online");
    btSupport.SetCursor(crHandPoint);
    btDiagnostics.SetBounds(8, 168, 120, 25);
    btDiagnostics.SetCaption("Copy diagnostics");
    btOK.SetBounds(206, 168, 75, 25);
    btOK.SetCaption("OK");
    btOK.SetDefault(true);
    btOK.SetCancel(true);
    btOK.SetModalResult(mrOk);
    SetActiveControl(&btOK);
}

void TformAbout::btHomePageClick(TComponent*) { OpenHomePage(); }

void TformAbout::btSupportClick(TComponent*) { OpenSupportPage(); }

void TformAbout::btDiagnosticsClick(TComponent*) {
    if (!Host().CopyText(*this, DiagnosticsReport()))
        Host().ShowMessageBox("The diagnostics could not be put on the clipboard.", "Kestova for Outlook", mbOk);
}

}  // namespace kestova
