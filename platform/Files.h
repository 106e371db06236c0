#pragma once
// File port: the file operations the recorder and the player do by path. Paths are UTF-8
// text; on Windows they go to the wide (UTF-16) calls, so a folder named in any language works.
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

// Best effort: false when the file is missing, locked or cannot be removed.
bool RemoveFile(const std::string& path);

}  // namespace kestova
