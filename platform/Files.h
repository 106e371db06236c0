#pragma once
// File port: the file operations the recorder and the player do by path. Paths are UTF-8
// text; on Windows they go to the wide (UTF-16) calls, so a folder named in any language works.
#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>

namespace kestova {

struct TFileCloser {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TFileCloser>;

// std::fopen's modes; empty on failure, with errno set.
TFile OpenFile(const std::string& path, const char* mode);

// The file's size in bytes; -1 when it cannot be opened.
long FileSize(const std::string& path);
// The open file's size in bytes, leaving it positioned at its end; -1 when it cannot be told.
long FileSize(std::FILE* file);

// Flushes and closes `file` (an empty one is closed already); false, with errno set, when the
// last bytes did not reach the disk. The flush is checked on its own: Wine's fclose answers
// success after a flush that failed.
inline bool CloseFile(TFile& file) {
    std::FILE* const open = file.release();
    if (open == nullptr) return true;
    const bool flushed = std::fflush(open) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(open) == 0;
    if (!flushed) errno = flushError;
    return flushed && closed;
}

// Best effort: false when the file is missing, locked or cannot be removed.
bool RemoveFile(const std::string& path);

}  // namespace kestova
