#pragma once
// A file's bytes in one read: the simulated devices load whole files while a caller waits.
#include <fstream>
#include <string>
#include <vector>

namespace kestova {

// False, with `bytes` empty, when the file cannot be opened.
template <class Byte>
bool ReadWholeFile(const std::string& fileName, std::vector<Byte>& bytes) {
    static_assert(sizeof(Byte) == 1, "a byte type");
    bytes.clear();
    std::ifstream in(fileName, std::ios::binary | std::ios::ate);
    if (!in.is_open()) return false;
    bytes.resize(static_cast<std::size_t>(in.tellg()));
    in.seekg(0);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return true;
}

}  // namespace kestova
