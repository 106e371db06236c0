#include "addin/RecorderWindows.h"

#include "addin/AddinLog.h"
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

// The recorder window that is up; only the window thread sets and reads it.
TformMain* openRecorder = nullptr;
std::function<void()> recorderWatch;

void RecorderShownChanged() {
    if (recorderWatch) recorderWatch();
}

class TOpenRecorder {
public:
    explicit TOpenRecorder(TformMain& recorder) {
        openRecorder = &recorder;
        RecorderShownChanged();
    }
    ~TOpenRecorder() {
        openRecorder = nullptr;
        RecorderShownChanged();
    }
    TOpenRecorder(const TOpenRecorder&) = delete;
    TOpenRecorder& operator=(const TOpenRecorder&) = delete;
};

}  // namespace

void SetAppPathFromModule() {
    static const int anchor = 0;
    std::string folder = ModuleFolderOf(&anchor);
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    SetAppPath(folder);
}

void RecordVoiceMessage(const std::function<void(const std::string& fileName)>& accepted) {
    if (TformMain* open = openRecorder) {
        Host().BringToFront(*open);
        return;
    }
    InstallMainThread();
    TformMain recorder;
    const TOpenRecorder registered(recorder);
    if (recorder.ShowModal() == mrOk) accepted(recorder.RecordFileName);
}

bool RecorderShown() { return openRecorder != nullptr; }

void WatchRecorderShown(std::function<void()> changed) { recorderWatch = std::move(changed); }

void CloseAddinWindows() { Host().CloseAll(); }

void ShowAboutWindow() {
    TformAbout about;
    about.ShowModal();
}

void ReportMailClosed(const std::string& keptFile) {
    Host().ShowMessageBox("The mail was closed while you were recording, so the recording could not be attached.\n"
                          "It is kept in \"" + keptFile + "\".",
                          "Kestova for Outlook", mbOk);
}

void ReportNoInlineResponse() {
    Host().ShowMessageBox("There is no reply or forward open in the reading pane, so there is nothing to record for.\n"
                          "Choose Reply or Forward first, then Kestova.",
                          "Kestova for Outlook", mbOk);
}

void ReportAttachFailure(const std::string& fileName, const std::exception& error) {
    LogFailure("attaching the recording", error);
    Host().ShowMessageBox("The recording \"" + fileName + "\" could not be attached to this item.\n" + error.what(),
                          "Kestova for Outlook", mbOk | mbIconStop);
}

void ShowClickError(std::exception_ptr error) { ShowException(error); }

}  // namespace kestova
