#include "audio/ACS_Stream.h"

#include "audio/ACS_Classes.h"
#include "platform/ExclusiveFile.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace kestova {

namespace {

std::string ExpandedPath(const std::string& FileName) {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(FileName, error);
    return error ? FileName : path.string();
}

std::string SystemText(int error) { return std::generic_category().message(error); }

}  // namespace

TFileStream::TFileStream(const std::string& FileName) {
    file_.reset(CreateExclusiveFile(FileName));
    if (!file_) throw EFCreateError(ExpandedPath(FileName), SystemText(errno));
}

void TFileStream::Write(const void* Buffer, std::size_t Count) {
    if (Count == 0) return;
    if (!file_) throw EACSException("Stream write error: the file is closed");
    if (std::fwrite(Buffer, 1, Count, file_.get()) != Count)
        throw EACSException("Stream write error: " + SystemText(errno));
}

void TFileStream::Close() {
    if (!CloseFile(file_)) throw EACSException("Stream write error: " + SystemText(errno));
}

}  // namespace kestova
