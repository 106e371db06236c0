// Dynamic libraries through the dynamic linker (dlopen). A name with a folder loads exactly
// that file; a bare name goes through the linker's system search, which never looks in the
// current directory.
#include "platform/Library.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>
#include <utility>

namespace kestova {

namespace {

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.find_last_of('/') + 1);
}

void* Open(const std::string& file) { return dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL); }

}  // namespace

void TLibrary::Reset() {
    if (handle_ != nullptr) dlclose(std::exchange(handle_, nullptr));
}

void* TLibrary::Symbol(const char* name) const { return handle_ ? dlsym(handle_, name) : nullptr; }

std::string TLibrary::FileName() const {
    link_map* map = nullptr;
    if (handle_ == nullptr || dlinfo(handle_, RTLD_DI_LINKMAP, &map) != 0) return {};
    return map->l_name;
}

TLibrary LoadLibraryIn(const std::string& folder, const std::string& fileName) {
    if (folder.empty()) return {};  // a bare name would fall into the system search
    return TLibrary(Open(folder + fileName));
}

TLibrary LoadSystemLibrary(const std::string& fileName) {
    if (fileName.find('/') != std::string::npos) return {};
    return TLibrary(Open(fileName));
}

std::string ModuleFolderOf(const void* code) {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(code, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 || map == nullptr)
        return {};
    // The main program's link map carries no name.
    if (map->l_name[0] == '\0') {
        std::error_code error;
        return FolderOf(std::filesystem::read_symlink("/proc/self/exe", error).string());
    }
    return FolderOf(map->l_name);
}

}  // namespace kestova
