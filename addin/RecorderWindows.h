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
// Raises what the window raises (no capture device, no encoder).
void RecordVoiceMessage(const std::function<void(const std::string& fileName)>& accepted);

// Runs the About window modally.
void ShowAboutWindow();

// Tells the user that `fileName` could not be attached, and why.
void ReportAttachFailure(const std::string& fileName, const std::exception& error);

// The framework's default error box, for whatever a click raised.
void ShowClickError(std::exception_ptr error);

}  // namespace kestova
