#pragma once
// The readers under fuzzing take a file name: each input is written to one file of this
// process, in memory-backed /dev/shm when there is one, and removed at exit.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace kestova::fuzz {

class TFuzzFile {
public:
    explicit TFuzzFile(const char* name) {
        const std::filesystem::path shm("/dev/shm");
        const std::filesystem::path folder =
            std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
        path_ = (folder / ("kestova-fuzz-" + std::to_string(getpid()) + "-" + name)).string();
    }
    ~TFuzzFile() { std::remove(path_.c_str()); }
    TFuzzFile(const TFuzzFile&) = delete;
    TFuzzFile& operator=(const TFuzzFile&) = delete;

    const std::string& Write(const uint8_t* data, size_t size) const {
        std::FILE* file = std::fopen(path_.c_str(), "wb");
        if (!file) std::abort();
        if (size != 0 && std::fwrite(data, 1, size, file) != size) std::abort();
        std::fclose(file);
        return path_;
    }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

}  // namespace kestova::fuzz
