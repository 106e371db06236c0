#pragma once
// The recording file's two file operations outside the sink.
#include <string>

namespace kestova {

extern const char* const RecordingFileName;  // "Kestova_for_Outlook.mp3"

// Best effort: a missing or locked file is no error.
void DeleteRecording(const std::string& path);

// Where a new recording is written until it is finished: beside `path`, in the same folder.
std::string NewRecordingFile(const std::string& path);

// Marks the finished recording `newFile` and puts it in the place of `path` in one step.
// Raises as MarkRecording does, or with the system's text when it cannot take the place.
void KeepRecording(const std::string& newFile, const std::string& path);

// The first byte of every finished recording: "M".
constexpr unsigned char RecordingMark = 0x4D;

// Overwrites the first byte with RecordingMark and leaves the rest as it is. Raises EFOpenError
// when the file cannot be opened for writing, kestova::Exception when the byte is not written.
void MarkRecording(const std::string& path);

}  // namespace kestova
