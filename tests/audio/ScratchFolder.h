#pragma once
// A fresh folder under the temp directory, removed with everything in it at the end of a test.
#include <filesystem>
#include <string>
#include <system_error>

namespace kestova::test {

class TScratchFolder {
public:
    explicit TScratchFolder(const std::string& tag) {
        const auto base = std::filesystem::temp_directory_path();
        for (int n = 0;; ++n) {
            path_ = base / ("kestova-" + tag + "-" + std::to_string(n));
            if (std::filesystem::create_directory(path_)) break;
        }
    }
    ~TScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TScratchFolder(const TScratchFolder&) = delete;
    TScratchFolder& operator=(const TScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // The folder with a trailing separator, as the library port wants it.
    std::string Folder() const { return (path_ / "").string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// Makes `folder` the current directory until the end of the scope.
class TCurrentDirectory {
public:
    explicit TCurrentDirectory(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(folder);
    }
    ~TCurrentDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
    }
    TCurrentDirectory(const TCurrentDirectory&) = delete;
    TCurrentDirectory& operator=(const TCurrentDirectory&) = delete;

private:
    std::filesystem::path previous_;
};

}  // namespace kestova::test
