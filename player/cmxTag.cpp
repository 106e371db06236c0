#include "player/cmxTag.h"

#include <cerrno>
#include <cstring>

#include "core/Exception.h"
#include "platform/Files.h"

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
    const TFile file = OpenFile(fileName, "rb");
    if (!file) throw EFOpenError(fileName, std::strerror(errno));
    const long blockSize = static_cast<long>(block.size());
    // Too short for a tag (the seek fails): nothing is taken from before the file's start.
    // Bytes that could not be read are not used.
    if (std::fseek(file.get(), -blockSize, SEEK_END) != 0 ||
        std::fread(block.data(), 1, block.size(), file.get()) != block.size() ||
        std::memcmp(block.data(), "TAG", 3) != 0)
        ClearTag(block);
}

}  // namespace kestova
