#include "platform/Files.h"

namespace kestova {

long FileSize(const std::string& path) {
    const TFile file = OpenFile(path, "rb");
    return file ? FileSize(file.get()) : -1;
}

long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    return std::ftell(file);
}

}  // namespace kestova
