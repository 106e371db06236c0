#include "platform/WaveIn.h"

#include <mutex>

namespace kestova {

namespace {
std::mutex installedLock;
std::shared_ptr<IWaveIn> installed;
}  // namespace

std::shared_ptr<IWaveIn> WaveIn() {
    std::lock_guard<std::mutex> guard(installedLock);
    if (!installed) installed = CreateOsWaveIn();
    return installed;
}

void SetWaveIn(std::shared_ptr<IWaveIn> waveIn) {
    std::lock_guard<std::mutex> guard(installedLock);
    installed = std::move(waveIn);
}

}  // namespace kestova
