#include "recorder/RecordingFile.h"

#include "core/Exception.h"
#include "platform/AtomicReplace.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstring>

namespace kestova {

const char* const RecordingFileName = "Kestova_for_Outlook.mp3";

void DeleteRecording(const std::string& path) { RemoveFile(path); }

void MarkRecording(const std::string& path) {
    // "r+b": opens for update without truncating; fails on a missing file.
    TFile file = OpenFile(path, "r+b");
    if (!file) throw EFOpenError(path, std::strerror(errno));
    const bool written = std::fputc(RecordingMark, file.get()) != EOF;
    if (!CloseFile(file) || !written) throw Exception("Cannot write to file \"" + path + "\"");
}

std::string NewRecordingFile(const std::string& path) { return path + ".new"; }

void KeepRecording(const std::string& newFile, const std::string& path) {
    MarkRecording(newFile);
    std::string error;
    if (!ReplaceAtomically(newFile, path, error))
        throw Exception("Cannot replace file \"" + path + "\": " + error);
}

}  // namespace kestova
