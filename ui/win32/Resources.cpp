#include "ui/win32/Resources.h"

#include "platform/win32/ModuleWin32.h"
#include "platform/win32/WideText.h"

namespace kestova {

HMODULE ResourceModule() {
    static const HMODULE module = win32::ModuleOf(reinterpret_cast<const void*>(&ResourceModule));
    return module;
}

std::vector<uint8_t> ResourceBytes(const std::string& name) {
    // Resources loaded from a module need no release: they live as long as the module.
    HRSRC info = FindResourceW(ResourceModule(), win32::Widen(name).c_str(), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL loaded = info ? LoadResource(ResourceModule(), info) : nullptr;
    const auto* bytes = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
    if (!bytes) return {};
    return {bytes, bytes + SizeofResource(ResourceModule(), info)};
}

}  // namespace kestova
