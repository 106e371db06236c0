#include "platform/WaveIn.h"

#include "platform/InstalledPort.h"

namespace kestova {

namespace {
TInstalledPort<IWaveIn>& Installed() {
    static TInstalledPort<IWaveIn> port(&CreateOsWaveIn);
    return port;
}
}  // namespace

std::shared_ptr<IWaveIn> WaveIn() { return Installed().Get(); }

void SetWaveIn(std::shared_ptr<IWaveIn> waveIn) { Installed().Set(std::move(waveIn)); }

}  // namespace kestova
