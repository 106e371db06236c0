#include "web/core/PcmQueue.h"

#include <algorithm>
#include <cstring>

namespace kestova {

int TPcmQueue::ReadData(void* Buffer, int BufferSize) {
    const int count = std::min(BufferSize / FrameBytes * FrameBytes, Queued());
    std::memcpy(Buffer, bytes_.data(), std::size_t(count));
    // Under one block stays queued between pushes, so moving it to the front costs little.
    bytes_.erase(bytes_.begin(), bytes_.begin() + count);
    Position += count;
    return count;
}

void TPcmQueue::StartInput() {
    bytes_.clear();
    Position = 0;
    Busy = true;
}

void TPcmQueue::FinishInput() { Busy = false; }

void TPcmQueue::Append(const short* Frames, int Count) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(Frames);
    bytes_.insert(bytes_.end(), bytes, bytes + std::size_t(Count) * FrameBytes);
}

}  // namespace kestova
