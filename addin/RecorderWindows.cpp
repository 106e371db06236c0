#include "addin/RecorderWindows.h"

#include "platform/Library.h"
#include "platform/MainThread.h"
#include "recorder/AboutForm.h"
#include "recorder/Links.h"
#include "recorder/MainForm.h"
#include "ui/Dialogs.h"
#include "ui/Host.h"

namespace kestova {

namespace {

// The recorder's worker posts what it shows to the thread that runs the windows: Outlook's
// main thread, which runs every click.
void InstallMainThread() {
    try {
        if (MainThread()->IsOwnerThread()) return;
    } catch (const Exception&) {
        // none installed yet
    }
    SetMainThread(CreateOsMainThread());
}

}  // namespace

void SetAppPathFromModule() {
    static const int anchor = 0;
    std::string folder = ModuleFolderOf(&anchor);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    SetAppPath(folder);
}

void RecordVoiceMessage(const std::function<void(const std::string& fileName)>& accepted) {
    InstallMainThread();
    TformMain recorder;
    if (recorder.ShowModal() == mrOk) accepted(recorder.RecordFileName);
}

void ShowAboutWindow() {
    TformAbout about;
    about.ShowModal();
}

void ReportAttachFailure(const std::string& fileName, const std::exception& error) {
    Host().ShowMessageBox("The recording \"" + fileName + "\" could not be attached to this item.\n" + error.what(),
                          "Kestova for Outlook", mbOk | mbIconStop);
}

void ShowClickError(std::exception_ptr error) { ShowException(error); }

}  // namespace kestova
