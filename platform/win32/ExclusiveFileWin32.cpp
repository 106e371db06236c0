#include "platform/ExclusiveFile.h"

#include <share.h>

namespace kestova {

std::FILE* CreateExclusiveFile(const std::string& path) { return _fsopen(path.c_str(), "w+b", _SH_DENYRW); }

}  // namespace kestova
