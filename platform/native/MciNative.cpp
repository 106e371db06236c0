#include "platform/Mci.h"
#include "platform/sim/SimMci.h"

namespace kestova {

// No media control interface outside Windows: the simulated device plays silently in real time.
std::shared_ptr<IMci> CreateOsMci() { return std::make_shared<TSimMci>(TSimMci::TClock::RealTime); }

}  // namespace kestova
