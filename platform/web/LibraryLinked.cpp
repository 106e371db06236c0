// The library port over the libraries linked into the WebAssembly module.
#include "platform/Library.h"
#include "platform/web/LinkedLibraries.h"

#include <utility>

namespace kestova {

namespace {

struct TLinkedLibrary {
    std::string fileName;
    std::map<std::string, void*> entryPoints;
};

std::map<std::string, TLinkedLibrary>& Listed() {
    static std::map<std::string, TLinkedLibrary> listed;
    return listed;
}

const TLinkedLibrary& Of(void* handle) { return *static_cast<const TLinkedLibrary*>(handle); }

}  // namespace

void ListLinkedLibrary(const std::string& fileName, std::map<std::string, void*> entryPoints) {
    Listed()[fileName] = TLinkedLibrary{fileName, std::move(entryPoints)};
}

void TLibrary::Reset() { handle_ = nullptr; }

void* TLibrary::Symbol(const char* name) const {
    if (handle_ == nullptr) return nullptr;
    const auto& entries = Of(handle_).entryPoints;
    const auto found = entries.find(name);
    return found == entries.end() ? nullptr : found->second;
}

std::string TLibrary::FileName() const { return handle_ ? Of(handle_).fileName : std::string(); }

TLibrary LoadLibraryIn(const std::string&, const std::string&) { return {}; }

TLibrary LoadSystemLibrary(const std::string& fileName) {
    const auto found = Listed().find(fileName);
    return found == Listed().end() ? TLibrary() : TLibrary(&found->second);
}

std::string ModuleFolderOf(const void*) { return {}; }

}  // namespace kestova
