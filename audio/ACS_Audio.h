#pragma once
// The microphone source. The capture runs ahead of the reader: the device fills a fixed set of
// buffers, prepared once per recording, and hands each back through a callback on its own thread,
// which links it into `DoneQueue`; the reader (the sink's worker) takes the filled buffers off in
// order, copies straight out of each into its own buffer and gives it back to the device. Nothing
// is allocated per block.
#include "audio/ACS_Classes.h"
#include "platform/WaveIn.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kestova {

class TAudioIn : public TACSInput {
public:
    static constexpr int kBlockSize = 16384;  // one capture buffer: ~186 ms of 16-bit stereo 22050 Hz
    static constexpr int kDriverBuffers = 4;  // buffers kept with the device
    static constexpr int kBufferCount = kDriverBuffers + 1;  // and the one being read

    // Captures through the wave-in port installed when it is made.
    explicit TAudioIn(TComponent* owner = nullptr);
    ~TAudioIn() override;

    int GetBitsPerSample() override { return InBitsPerSample; }
    int GetChannels() override { return InChannels; }
    int GetSampleRate() override { return InSampleRate; }
    int GetTotalTime() override { return RecTime; }

    // Never more than the rest of one block. Raises when a buffer cannot be handed to the
    // device. A device that delivers nothing for a few seconds is taken as lost: the stream
    // ends there, and DeviceLost tells why.
    int ReadData(void* Buffer, int BufferSize) override;
    // Why the last stream ended before it was asked to; empty when it did not.
    std::string DeviceLost();
    // Opens and starts the device; raises, naming the device and the system's text, when it
    // cannot, and is then not Busy.
    void StartInput() override;
    // Resets the device, drops what has not been read, closes it.
    void FinishInput() override;
    // Stops the device at once: the sound up to here is still delivered, none until Resume.
    void PauseInput() override;
    void ResumeInput() override;
    // Resets the device at once: what it captured up to here is delivered, then the end.
    bool EndStream() override;

    int BaseChannel() const { return baseChannel_; }
    // "Component is buisy" while Busy; "Channel <v> is not available" when v >= InputDeviceCount.
    void SetBaseChannel(int Value);
    // Capture devices, as the port counted them when it was made.
    int InputDeviceCount() const { return Port->NumDevs(); }

    std::atomic<std::int32_t> InBitsPerSample{8};
    std::atomic<std::int32_t> InChannels{1};
    std::atomic<std::int32_t> InSampleRate{8000};
    std::atomic<std::int32_t> RecTime{600};  // seconds; negative = no limit

private:
    static void WaveInCallback(unsigned Message, void* Instance, TWaveHeader* Header) noexcept;

    void OpenDevice();
    void CloseDevice();
    void PrepareBuffers();
    void UnprepareBuffers();
    void QueueBuffer(TWaveHeader& Header);
    void GiveBack(TWaveHeader& Header);
    bool NextBlock();
    TWaveHeader* TakeFilled();
    bool WaitQueuedBack(std::chrono::milliseconds timeout);
    void SetPaused(bool Value);
    void StopDevice();
    std::chrono::milliseconds DeviceWait();
    void Check(TWaveInError Error, const char* Action);

    const std::shared_ptr<IWaveIn> Port;
    // Keeps the caller's pause, resume and end of the stream apart from the reader's use and
    // closing of the device; taken before CaptureLock, never inside the callback.
    std::mutex DeviceLock;
    std::unique_ptr<IWaveInDevice> DeviceHandle;
    std::int32_t baseChannel_ = 0;
    std::int32_t OpenCount = 0;
    std::int32_t TotalBytes = 0;

    // Shared with the callback, under CaptureLock.
    TWaveHeader* DoneQueueHead = nullptr;
    TWaveHeader** DoneQueueTail = &DoneQueueHead;
    std::int32_t QueuedCount = 0;
    bool Ended = false;        // reset for good: no buffer goes to the device any more
    bool Paused = false;       // stopped by request: no buffer comes back until resumed
    std::uint64_t Halts = 0;   // pauses and resumes so far: a wait across one is no stall
    std::string Lost;          // set when the device stopped delivering
    std::condition_variable Handed;  // a buffer came back, or the capture changed state

    // The capture buffers, made once: each header's Data points into Blocks. While a recording
    // runs each is with the device, in DoneQueue, or the one being read.
    std::array<TWaveHeader, kBufferCount> Headers;
    const std::unique_ptr<char[]> Blocks;
    TWaveHeader* Reading = nullptr;  // the reader's; BufStart..BufEnd are its unread bytes
};

}  // namespace kestova
