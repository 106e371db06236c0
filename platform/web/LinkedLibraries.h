#pragma once
// Libraries in the WebAssembly build: nothing is loaded at run time, so a library the code
// binds by name is linked into the module and its entry points are listed here once, before
// the first load. LoadSystemLibrary finds a listed one by its file name; no folder holds any.
#include <map>
#include <string>

namespace kestova {

void ListLinkedLibrary(const std::string& fileName, std::map<std::string, void*> entryPoints);

}  // namespace kestova
