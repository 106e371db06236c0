#include "recorder/Links.h"

#include "platform/Shell.h"

#include <mutex>

namespace kestova {

namespace {
std::mutex appPathLock;
std::string appPath;
}  // namespace

std::string AppPath() {
    std::lock_guard<std::mutex> guard(appPathLock);
    return appPath;
}

void SetAppPath(const std::string& path) {
    std::lock_guard<std::mutex> guard(appPathLock);
    appPath = path;
}

std::string HomePageAddress() { return std::string("http://") + MakerDomain; }

void OpenHomePage() { Shell()->Open(HomePageAddress()); }

void OpenSupportPage() { Shell()->Open(HomePageAddress() + "/support.php"); }

void OpenHelpFile() { Shell()->Open(AppPath() + "zelt.chm"); }

}  // namespace kestova
