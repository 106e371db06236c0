// The ID3v1 tag reader over arbitrary files: the block is the file's last 128 bytes exactly
// when they begin with "TAG", otherwise the empty tag.
#include <cstring>

#include "fuzz/FuzzFile.h"
#include "player/cmxTag.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const kestova::fuzz::TFuzzFile file("tag.mp3");
    kestova::TTagBlock block;
    block.fill(0xA5);
    kestova::ReadTag(file.Write(data, size), block);
    const bool tagged = size >= block.size() && std::memcmp(data + size - block.size(), "TAG", 3) == 0;
    if (tagged) {
        if (std::memcmp(block.data(), data + size - block.size(), block.size()) != 0) std::abort();
    } else {
        kestova::TTagBlock empty{'T', 'A', 'G'};
        if (block != empty) std::abort();
    }
    return 0;
}
