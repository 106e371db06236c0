#pragma once
// A disk with no room left, for the file calls' own failures: natively /dev/full; under Wine
// the harness's small drive, filled up by a file, with everything made on it removed at the end
// of the scope. Where neither exists (a harness that could not mount its drive) there is none.
#include "platform/Files.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace kestova::test {

class TFullDisk {
public:
    TFullDisk() {
#ifdef _WIN32
        const char* const drive = std::getenv("KESTOVA_SMALL_DRIVE");
        if (drive == nullptr) return;
        folder_ = std::string("Z:") + drive + "\\";
        Fill(File("filler"));
#elif defined(__linux__)
        folder_ = "/dev/";
#endif
    }
    ~TFullDisk() {
        std::error_code ignored;
        for (const std::string& made : made_) std::filesystem::remove(made, ignored);
    }
    TFullDisk(const TFullDisk&) = delete;
    TFullDisk& operator=(const TFullDisk&) = delete;

    bool Available() const { return !folder_.empty(); }

    // A file to create on the full disk; natively every name is /dev/full.
    std::string File(const std::string& name) {
#ifdef _WIN32
        made_.push_back(folder_ + name);
        return made_.back();
#else
        (void)name;
        return folder_ + "full";
#endif
    }

private:
    // Writes until the drive refuses more.
    static void Fill(const std::string& path) {
        const TFile filler = OpenFile(path, "wb");
        if (!filler) return;
        const std::vector<char> block(4096);
        while (std::fwrite(block.data(), 1, block.size(), filler.get()) == block.size() &&
               std::fflush(filler.get()) == 0) {
        }
    }

    std::string folder_;
    std::vector<std::string> made_;
};

}  // namespace kestova::test
