#pragma once
// The byte stream a file sink writes: the file is created (or truncated) on construction and
// closed on destruction. A write that cannot be completed raises instead of losing data.
#include "platform/Files.h"

#include <cstdio>
#include <string>

namespace kestova {

class TFileStream {
public:
    // Raises EFCreateError with the expanded path and the system's text.
    explicit TFileStream(const std::string& FileName);

    // Raises EACSException when fewer than Count bytes reach the file.
    void Write(const void* Buffer, std::size_t Count);

    // Flushes and closes; raises when the last bytes cannot be written. Idempotent.
    void Close();

private:
    TFile file_;
};

}  // namespace kestova
