// Without a Windows capture interface the microphone is simulated: one device, a 440 Hz tone,
// at real pace.
#include "platform/WaveIn.h"
#include "platform/sim/WaveInSim.h"

namespace kestova {

std::shared_ptr<IWaveIn> CreateOsWaveIn() { return std::make_shared<TWaveInSim>(); }

}  // namespace kestova
