#include "platform/Files.h"

namespace kestova {

long FileSize(const std::string& path) {
    const TFile file = OpenFile(path, "rb");
    if (!file || std::fseek(file.get(), 0, SEEK_END) != 0) return -1;
    return std::ftell(file.get());
}

}  // namespace kestova
