#include "audio/ACS_Audio.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <utility>

namespace kestova {

namespace {

// Guards the state each source shares with its device's callback (DoneQueue, QueuedCount,
// Ended, Paused, Halts, Lost); held only for a few statements at a time.
std::mutex CaptureLock;

// How long a device may stay silent beyond the time its queued buffers take to fill before it
// counts as stalled; generous, since a loaded machine may deliver late.
constexpr std::chrono::milliseconds kStallGrace{2000};

constexpr std::int32_t kMaxPosition = std::numeric_limits<std::int32_t>::max();

// Bytes to record; a stream is limited to what 32 bits count, so a larger RecTime saturates.
std::int32_t RecordingBytes(std::int64_t bytesPerSecond, std::int64_t recTime) {
    const std::int64_t bytes = bytesPerSecond * recTime;
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(bytes, std::numeric_limits<std::int32_t>::min(), kMaxPosition));
}

}  // namespace

TAudioIn::TAudioIn(TComponent* owner)
    : TACSInput(owner), Port(WaveIn()), Blocks(std::make_unique<char[]>(std::size_t{kBufferCount} * kBlockSize)) {
    for (std::size_t i = 0; i < Headers.size(); ++i) {
        Headers[i].Data = Blocks.get() + i * kBlockSize;
        Headers[i].BufferLength = kBlockSize;
    }
}

TAudioIn::~TAudioIn() { FinishInput(); }

void TAudioIn::SetBaseChannel(int Value) {
    if (Busy) throw EACSException("Component is buisy");
    if (Value >= InputDeviceCount()) throw EACSException("Channel " + std::to_string(Value) + " is not available");
    baseChannel_ = Value;
}

void TAudioIn::Check(TWaveInError Error, const char* Action) {
    if (Error != wavein::SUCCESS)
        throw EACSException(std::string("Cannot ") + Action + " wave-in device " + std::to_string(baseChannel_) +
                            ": " + Port->ErrorText(Error));
}

// ---- device ----

void TAudioIn::OpenDevice() {
    TPcmWaveFormat format;
    format.Channels = static_cast<uint16_t>(InChannels.load());
    format.SamplesPerSec = static_cast<uint32_t>(InSampleRate.load());
    format.BlockAlign = static_cast<uint16_t>(InChannels * InBitsPerSample / 8);
    format.AvgBytesPerSec = format.SamplesPerSec * format.BlockAlign;
    format.BitsPerSample = static_cast<uint16_t>(InBitsPerSample.load());
    if (OpenCount == 0) Check(Port->Open(baseChannel_, format, &WaveInCallback, this, DeviceHandle), "open");
    ++OpenCount;
}

void TAudioIn::CloseDevice() {
    if (OpenCount == 1) DeviceHandle.reset();
    if (OpenCount > 0) --OpenCount;
}

void TAudioIn::StartInput() {
    if (Busy) throw EACSException("The component is buisy");
    BufEnd = 0;
    BufStart = 1;
    Position = 0;
    TotalBytes = RecordingBytes(BytesPerSecond(), RecTime);
    {
        std::lock_guard<std::mutex> lock(CaptureLock);
        Lost.clear();
    }
    Busy = true;
    try {
        std::lock_guard<std::mutex> device(DeviceLock);
        OpenDevice();
        // Every buffer is with the device before it starts, so it loses nothing at the start.
        PrepareBuffers();
        for (TWaveHeader& header : Headers) QueueBuffer(header);
        Check(DeviceHandle->Start(), "start");
    } catch (...) {
        FinishInput();
        throw;
    }
    Size = TotalBytes;
}

// Runs on the device's thread: links the filled buffer and counts it, nothing more.
void TAudioIn::WaveInCallback(unsigned Message, void* Instance, TWaveHeader* Header) noexcept {
    if (Message != wavein::MSG_DATA || Header == nullptr) return;
    auto* const self = static_cast<TAudioIn*>(Instance);
    std::lock_guard<std::mutex> lock(CaptureLock);
    Header->Next = nullptr;
    *self->DoneQueueTail = Header;
    self->DoneQueueTail = &Header->Next;
    --self->QueuedCount;
    self->Handed.notify_all();
}

void TAudioIn::SetPaused(bool Value) {
    {
        std::lock_guard<std::mutex> lock(CaptureLock);
        Paused = Value;
        ++Halts;
    }
    Handed.notify_all();
}

// The device hands back the buffer it was filling; the reader takes it in, then waits.
void TAudioIn::PauseInput() {
    std::lock_guard<std::mutex> device(DeviceLock);
    if (!DeviceHandle || Ended) return;
    SetPaused(true);
    Check(DeviceHandle->Stop(), "pause");
}

// The buffers queued over the pause are filled on at once, so nothing said after the click is
// lost.
void TAudioIn::ResumeInput() {
    std::lock_guard<std::mutex> device(DeviceLock);
    if (!DeviceHandle || Ended) return;
    Check(DeviceHandle->Start(), "resume");
    SetPaused(false);
}

bool TAudioIn::EndStream() {
    std::lock_guard<std::mutex> device(DeviceLock);
    if (!DeviceHandle) return false;
    if (Ended) return true;
    {
        std::lock_guard<std::mutex> lock(CaptureLock);
        Ended = true;
        Paused = false;
    }
    Handed.notify_all();
    // Every buffer comes back, the one being filled with what it holds. A device that keeps
    // some is closed after a bounded wait all the same.
    DeviceHandle->Reset();
    return true;
}

// ---- reading ----

void TAudioIn::PrepareBuffers() {
    for (TWaveHeader& header : Headers) {
        header.Flags = 0;
        header.BytesRecorded = 0;
        Check(DeviceHandle->PrepareHeader(header), "prepare a buffer for");
    }
}

// A device that kept a buffer after its reset refuses to let go of it.
void TAudioIn::UnprepareBuffers() {
    for (TWaveHeader& header : Headers) {
        if (DeviceHandle && (header.Flags & wavein::HDR_PREPARED)) DeviceHandle->UnprepareHeader(header);
        header.Flags = 0;
    }
}

// Raises when the device does not take it.
void TAudioIn::QueueBuffer(TWaveHeader& Header) {
    {
        // Counted before the device has it: the callback may come before AddBuffer returns.
        std::lock_guard<std::mutex> lock(CaptureLock);
        ++QueuedCount;
    }
    const TWaveInError added = DeviceHandle->AddBuffer(Header);
    if (added == wavein::SUCCESS) return;
    {
        std::lock_guard<std::mutex> lock(CaptureLock);
        --QueuedCount;
    }
    Check(added, "queue a buffer with");
}

// A read-out buffer goes straight back to the device, unless the stream has ended.
void TAudioIn::GiveBack(TWaveHeader& Header) {
    std::lock_guard<std::mutex> device(DeviceLock);
    if (!Ended) QueueBuffer(Header);
}

std::chrono::milliseconds TAudioIn::DeviceWait() {
    const std::int64_t bytesPerSecond = std::max<std::int64_t>(1, BytesPerSecond());
    return kStallGrace + std::chrono::milliseconds(std::int64_t{kBufferCount} * kBlockSize * 1000 / bytesPerSecond);
}

// The next filled buffer; null once the stream has ended and every buffer is back.
TWaveHeader* TAudioIn::TakeFilled() {
    const auto wait = DeviceWait();
    std::unique_lock<std::mutex> lock(CaptureLock);
    const auto arrived = [this] { return DoneQueueHead != nullptr || (Ended && QueuedCount <= 0); };
    if (!Lost.empty()) return nullptr;
    // A paused device is silent by request: only a wait within one capturing stretch counts.
    for (std::uint64_t halts = Halts; !Handed.wait_for(lock, wait, arrived); halts = Halts) {
        if (Ended) return nullptr;
        if (!Paused && halts == Halts) {
            Lost = "Wave-in device " + std::to_string(baseChannel_) + " delivered no data for " +
                   std::to_string(wait.count()) + " ms";
            return nullptr;
        }
    }
    TWaveHeader* const header = DoneQueueHead;
    if (header == nullptr) return nullptr;
    DoneQueueHead = header->Next;
    if (DoneQueueHead == nullptr) DoneQueueTail = &DoneQueueHead;
    return header;
}

std::string TAudioIn::DeviceLost() {
    std::lock_guard<std::mutex> lock(CaptureLock);
    return Lost;
}

// False at the end of the stream. An empty block goes back at once.
bool TAudioIn::NextBlock() {
    TWaveHeader* const header = TakeFilled();
    if (header == nullptr) return false;
    BufStart = 1;
    BufEnd = static_cast<std::int32_t>(std::min<std::uint32_t>(header->BytesRecorded, kBlockSize));
    if (BufEnd == 0)
        GiveBack(*header);
    else
        Reading = header;
    return true;
}

int TAudioIn::ReadData(void* Buffer, int BufferSize) {
    if (!Busy) throw EACSException("The Stream is not opened");
    if (TotalBytes >= 0 && Position >= TotalBytes) return 0;
    // The byte count must not wrap: at 2^31 - 1 bytes the stream ends.
    if (Position == kMaxPosition || BufferSize <= 0) return 0;
    while (BufStart > BufEnd)
        if (!NextBlock()) return 0;
    const int count = std::min({BufferSize, BufEnd - BufStart + 1, kMaxPosition - Position});
    std::memcpy(Buffer, Reading->Data + BufStart - 1, static_cast<std::size_t>(count));
    BufStart += count;
    Position += count;
    if (BufStart > BufEnd) {
        TWaveHeader* const done = std::exchange(Reading, nullptr);
        GiveBack(*done);
    }
    return count;
}

// ---- finishing ----

bool TAudioIn::WaitQueuedBack(std::chrono::milliseconds timeout) {
    std::unique_lock<std::mutex> lock(CaptureLock);
    return Handed.wait_for(lock, timeout, [this] { return QueuedCount <= 0; });
}

// Takes every buffer back from the ended stream, drops what was not read and closes the
// device. A device that keeps buffers after the reset is closed after a bounded wait all the
// same; closed, it no longer writes to them.
void TAudioIn::StopDevice() {
    WaitQueuedBack(kStallGrace);
    std::lock_guard<std::mutex> device(DeviceLock);
    UnprepareBuffers();
    CloseDevice();
    std::lock_guard<std::mutex> lock(CaptureLock);
    DoneQueueHead = nullptr;
    DoneQueueTail = &DoneQueueHead;
    Reading = nullptr;
    QueuedCount = 0;
    Ended = Paused = false;
}

void TAudioIn::FinishInput() {
    if (EndStream()) StopDevice();
    Busy = false;
}

}  // namespace kestova
