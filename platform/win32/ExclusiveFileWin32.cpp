#include "platform/ExclusiveFile.h"
#include "platform/win32/WideText.h"

#include <share.h>

namespace kestova {

std::FILE* CreateExclusiveFile(const std::string& path) {
    return _wfsopen(win32::Widen(path).c_str(), L"w+b", _SH_DENYRW);
}

}  // namespace kestova
