#include "platform/ProfileFileText.h"

namespace kestova {

std::shared_ptr<IProfileFile> CreateOsProfileFile() { return std::make_shared<TProfileFileText>(); }

}  // namespace kestova
