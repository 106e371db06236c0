#include "platform/WaveIn.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IWaveIn> installed(&CreateOsWaveIn);
}

std::shared_ptr<IWaveIn> WaveIn() { return installed.Get(); }
void SetWaveIn(std::shared_ptr<IWaveIn> waveIn) { installed.Set(std::move(waveIn)); }

}  // namespace kestova
