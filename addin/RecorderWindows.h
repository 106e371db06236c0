#pragma once
// What the toolbar clicks need of the recorder and About windows, kept apart from the add-in's
// event types (both name their own TNotifyEvent).
#include <exception>
#include <functional>
#include <string>

namespace kestova {

// Points AppPath at the folder of this library, however long its path.
void SetAppPathFromModule();

// Runs a new recorder window modally. When the user accepts the recording, `accepted` gets
// the recording file's name while the window still exists; the window goes afterwards.
// Raises what the window raises (no capture device, no encoder). While a recorder window is
// up, there is no second one: the open one comes to the front, and `accepted` is not called.
void RecordVoiceMessage(const std::function<void(const std::string& fileName)>& accepted);

// Whether a recorder window is up, and who hears when one comes up or goes (an empty
// function: nobody). The ribbon's buttons are off meanwhile.
bool RecorderShown();
void WatchRecorderShown(std::function<void()> changed);

// Outlook shuts down: the add-in's windows close as Cancel, without a question.
void CloseAddinWindows();

// Runs the About window modally.
void ShowAboutWindow();

// Tells the user that the mail was closed while recording, and where the recording is kept.
void ReportMailClosed(const std::string& keptFile);

// Tells the user that the reading pane holds no reply to record for.
void ReportNoInlineResponse();

// Tells the user that `fileName` could not be attached, and why.
void ReportAttachFailure(const std::string& fileName, const std::exception& error);

// The framework's default error box, for whatever a click raised.
void ShowClickError(std::exception_ptr error);

}  // namespace kestova
