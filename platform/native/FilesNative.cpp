#include "platform/Files.h"

namespace kestova {

TFile OpenFile(const std::string& path, const char* mode) { return TFile(std::fopen(path.c_str(), mode)); }

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

}  // namespace kestova
