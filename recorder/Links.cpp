#include "recorder/Links.h"

#include <mutex>

namespace kestova {

namespace {
std::mutex appPathLock;
std::string appPath;
}  // namespace

const char* const MakerDomain = "www.kestova.example";

std::string AppPath() {
    std::lock_guard<std::mutex> guard(appPathLock);
    return appPath;
}

void SetAppPath(const std::string& path) {
    std::lock_guard<std::mutex> guard(appPathLock);
    appPath = path;
}

}  // namespace kestova
