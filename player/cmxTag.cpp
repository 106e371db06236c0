#include "player/cmxTag.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/Exception.h"

namespace kestova {

namespace {

// The empty block: "TAG" followed by 125 zero bytes.
void ClearTag(TTagBlock& block) {
    block.fill(0);
    block[0] = 'T';
    block[1] = 'A';
    block[2] = 'G';
}

}  // namespace

void ReadTag(const std::string& fileName, TTagBlock& block) {
    std::ifstream file(fileName, std::ios::binary | std::ios::ate);
    if (!file) throw EFOpenError(fileName, std::strerror(errno));
    const std::streamoff size = file.tellg();
    const std::streamoff blockSize = static_cast<std::streamoff>(block.size());
    // Too short for a tag: nothing is taken from before the file's start.
    if (size < blockSize) {
        ClearTag(block);
        return;
    }
    file.seekg(size - blockSize);
    file.read(reinterpret_cast<char*>(block.data()), blockSize);
    // Bytes that could not be read are not used.
    if (file.gcount() != blockSize || std::memcmp(block.data(), "TAG", 3) != 0) ClearTag(block);
}

}  // namespace kestova
