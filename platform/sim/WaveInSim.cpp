#include "platform/sim/WaveInSim.h"

#include "platform/sim/WaveInSignal.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kestova {

namespace {

using TClock = std::chrono::steady_clock;

bool SupportedFormat(const TPcmWaveFormat& format) {
    return format.FormatTag == wavein::FORMAT_PCM && (format.BitsPerSample == 8 || format.BitsPerSample == 16) &&
           (format.Channels == 1 || format.Channels == 2) && format.SamplesPerSec > 0 &&
           format.BlockAlign == format.Channels * format.BitsPerSample / 8;
}

}  // namespace

// One open simulated device and its driver thread. All header fields the device changes are
// changed under lock_; the callback runs without it, so it may take locks of its own.
class TSimDevice : public IWaveInDevice {
public:
    TSimDevice(TWaveInSim& port, const TPcmWaveFormat& format, TWaveInSignal signal, TWaveInCallback callback,
               void* instance)
        : port_(port), format_(format), signal_(std::move(signal)), callback_(callback), instance_(instance) {
        ++port_.open_;
        callback_(wavein::MSG_OPEN, instance_, nullptr);
        driver_ = std::thread([this] { Drive(); });
    }

    ~TSimDevice() override {
        {
            std::lock_guard<std::mutex> lock(lock_);
            closing_ = true;
        }
        changed_.notify_all();
        driver_.join();
        callback_(wavein::MSG_CLOSE, instance_, nullptr);
        --port_.open_;
    }

    TWaveInError PrepareHeader(TWaveHeader& header) override {
        std::lock_guard<std::mutex> lock(lock_);
        if (!(header.Flags & wavein::HDR_PREPARED)) ++port_.preparedNow_;
        header.Flags |= wavein::HDR_PREPARED;
        ++port_.prepares_;
        return wavein::SUCCESS;
    }

    TWaveInError AddBuffer(TWaveHeader& header) override {
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (!(header.Flags & wavein::HDR_PREPARED)) return wavein::UNPREPARED;
            header.Flags = (header.Flags & ~wavein::HDR_DONE) | wavein::HDR_INQUEUE;
            header.BytesRecorded = 0;
            queue_.push_back(&header);
        }
        changed_.notify_all();
        return wavein::SUCCESS;
    }

    TWaveInError UnprepareHeader(TWaveHeader& header) override {
        std::lock_guard<std::mutex> lock(lock_);
        if (header.Flags & wavein::HDR_INQUEUE) return wavein::STILLPLAYING;
        if (header.Flags & wavein::HDR_PREPARED) --port_.preparedNow_;
        header.Flags &= ~wavein::HDR_PREPARED;
        return wavein::SUCCESS;
    }

    TWaveInError Start() override {
        if (port_.config_.Failure == TSimFailure::StartFails) return wavein::NODRIVER;
        {
            std::lock_guard<std::mutex> lock(lock_);
            if (fresh_) origin_ = TClock::now();
            fresh_ = false;
            started_ = true;
            port_.heardAtStart_ = Heard();
        }
        changed_.notify_all();
        return wavein::SUCCESS;
    }

    // The microphone goes on hearing while stopped or reset; the next Start continues from
    // what it hears then. As WinMM does, the buffers come back from the driver thread after
    // the call has returned, in order.
    TWaveInError Stop() override {
        {
            std::unique_lock<std::mutex> lock(lock_);
            changed_.wait(lock, [this] { return !delivering_; });
            Halt();
            if (!queue_.empty() && queue_.front()->BytesRecorded > 0) {
                returning_.push_back(queue_.front());
                queue_.pop_front();
            }
            returnDue_ = TClock::now() + std::chrono::milliseconds(port_.config_.ReturnDelayMs);
        }
        changed_.notify_all();
        return wavein::SUCCESS;
    }

    TWaveInError Reset() override {
        {
            std::unique_lock<std::mutex> lock(lock_);
            changed_.wait(lock, [this] { return !delivering_; });
            Halt();
            returning_.insert(returning_.end(), queue_.begin(), queue_.end());
            queue_.clear();
            returnDue_ = TClock::now() + std::chrono::milliseconds(port_.config_.ReturnDelayMs);
        }
        changed_.notify_all();
        return wavein::SUCCESS;
    }

private:
    bool Stalled() const {
        return port_.config_.Failure == TSimFailure::Stalls && delivered_ >= port_.config_.StallAfterBuffers;
    }

    // Bytes the microphone has heard since the first Start, in whole frames.
    std::uint64_t HeardSinceStart() const {
        const double seconds = std::chrono::duration<double>(TClock::now() - origin_).count();
        const auto bytes = static_cast<std::uint64_t>(seconds * port_.config_.Speed * format_.AvgBytesPerSec);
        return bytes / format_.BlockAlign * format_.BlockAlign;
    }

    // Bytes the microphone has heard since the first Start: in step with the clock at real
    // pace or slower, else what was handed out.
    std::uint64_t Heard() const { return port_.config_.Speed > 0 && !fresh_ ? HeardSinceStart() : position_; }

    // Stops where the microphone is: the buffer being filled keeps what it heard so far, and
    // the one being filled after the next Start begins where the microphone is then.
    void Halt() {
        const std::uint64_t heard = Heard();
        if (started_) port_.heardAtHalt_ = heard;
        if (started_ && !starved_ && !queue_.empty() && !Stalled()) {
            TWaveHeader& header = *queue_.front();
            const std::uint64_t room = header.BufferLength / format_.BlockAlign * format_.BlockAlign;
            const auto count = static_cast<std::uint32_t>(std::min(room, heard > position_ ? heard - position_ : 0));
            Hear(header.Data, count);
            position_ += count;
            header.BytesRecorded = count;
        }
        started_ = false;
        starved_ = true;
        ++generation_;
    }

    // What the microphone hears from `position_` on: its signal, or silence while muted.
    void Hear(char* out, std::uint32_t count) const {
        if (port_.muted_)
            signal_.FillSilence(out, count);
        else
            signal_.Fill(out, count, position_);
    }

    static void MarkDone(TWaveHeader& header) {
        header.Flags = (header.Flags & ~wavein::HDR_INQUEUE) | wavein::HDR_DONE;
    }

    // When the buffer that ends at byte `end` of the stream is full; paced devices only.
    TClock::time_point DueTime(std::uint64_t end) const {
        const double seconds = static_cast<double>(end) / format_.AvgBytesPerSec / port_.config_.Speed;
        return origin_ + std::chrono::duration_cast<TClock::duration>(std::chrono::duration<double>(seconds));
    }

    void Drive() {
        std::unique_lock<std::mutex> lock(lock_);
        for (;;) {
            changed_.wait(lock, [this] {
                return closing_ || !returning_.empty() || (started_ && !queue_.empty() && !Stalled());
            });
            if (closing_) return;
            // What Stop and Reset took back goes first, so the buffers come back in order.
            if (!returning_.empty()) {
                if (!changed_.wait_until(lock, returnDue_, [this] { return closing_; })) HandBack(lock);
                continue;
            }
            Fill(lock);
        }
    }

    // Fills the first queued buffer when its audio has been heard, unless Stop or Reset
    // comes first.
    void Fill(std::unique_lock<std::mutex>& lock) {
        // Without a buffer the device hears nothing: audio until the next one is lost.
        if (starved_ && port_.config_.Speed > 0) position_ = std::max(position_, HeardSinceStart());
        starved_ = false;
        TWaveHeader* const header = queue_.front();
        const std::uint32_t count = header->BufferLength / format_.BlockAlign * format_.BlockAlign;
        const std::uint64_t generation = generation_;
        // As fast as buffers come: no wait, so a benchmark measures the capture, not the clock.
        const bool interrupted = port_.config_.Speed > 0 &&
                                 changed_.wait_until(lock, DueTime(position_ + count), [&] {
                                     return closing_ || generation_ != generation;
                                 });
        if (interrupted) return;
        queue_.pop_front();
        Hear(header->Data, count);
        position_ += count;
        header->BytesRecorded = count;
        starved_ = queue_.empty();
        ++delivered_;
        Deliver(lock, *header);
    }

    void HandBack(std::unique_lock<std::mutex>& lock) {
        TWaveHeader* const header = returning_.front();
        returning_.pop_front();
        Deliver(lock, *header);
    }

    // The callback runs without the lock; Stop and Reset wait until it has returned.
    void Deliver(std::unique_lock<std::mutex>& lock, TWaveHeader& header) {
        MarkDone(header);
        delivering_ = true;
        lock.unlock();
        callback_(wavein::MSG_DATA, instance_, &header);
        lock.lock();
        delivering_ = false;
        changed_.notify_all();
    }

    TWaveInSim& port_;
    const TPcmWaveFormat format_;
    const TWaveInSignal signal_;
    const TWaveInCallback callback_;
    void* const instance_;

    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<TWaveHeader*> queue_;
    std::deque<TWaveHeader*> returning_;  // taken back by Stop or Reset, not yet handed back
    TClock::time_point returnDue_;        // when the driver thread hands them back
    bool fresh_ = true;  // not started since it was opened
    bool started_ = false;
    bool closing_ = false;
    bool delivering_ = false;
    bool starved_ = true;
    std::uint64_t generation_ = 0;  // bumped by Stop and Reset: the buffer being filled is returned
    std::uint64_t position_ = 0;    // bytes of the stream handed out since the first Start
    long delivered_ = 0;
    TClock::time_point origin_;
    std::thread driver_;
};

TWaveInError TWaveInSim::Open(int device, const TPcmWaveFormat& format, TWaveInCallback callback, void* instance,
                              std::unique_ptr<IWaveInDevice>& opened) {
    if (device < wavein::MAPPER || device >= config_.DeviceCount || config_.DeviceCount == 0)
        return wavein::BADDEVICEID;
    if (config_.Failure == TSimFailure::OpenFails) return wavein::ALLOCATED;
    if (!SupportedFormat(format)) return wavein::BADFORMAT;
    TWaveInSignal signal;
    TWaveInError error = wavein::SUCCESS;
    if (!signal.Load(config_, format, config_.Signal == TSimSignal::WavFile ? WavLoop() : nullptr, error))
        return error;
    opened = std::make_unique<TSimDevice>(*this, format, std::move(signal), callback, instance);
    lastOpened_ = device;
    return wavein::SUCCESS;
}

std::shared_ptr<const TWavLoop> TWaveInSim::WavLoop() {
    std::lock_guard<std::mutex> lock(wavLock_);
    if (!wav_) wav_ = ReadWavLoop(config_.WavFile);
    return wav_;
}

std::string TWaveInSim::DeviceName(int device) {
    if (device < 0 || device >= config_.DeviceCount) return "";
    if (static_cast<std::size_t>(device) < config_.Names.size()) return config_.Names[static_cast<std::size_t>(device)];
    return "Microphone " + std::to_string(device + 1);
}

std::string TWaveInSim::ErrorText(TWaveInError error) {
    switch (error) {
    case wavein::SUCCESS: return "The command completed successfully.";
    case wavein::BADDEVICEID: return "The device ID is out of range.";
    case wavein::ALLOCATED: return "The specified resource is already allocated.";
    case wavein::NODRIVER: return "There is no driver installed on your system.";
    case wavein::BADFORMAT: return "The format is not supported by the device.";
    case wavein::STILLPLAYING: return "The buffer is still in the queue.";
    case wavein::UNPREPARED: return "The header is not prepared.";
    default: return "Unknown wave-in error " + std::to_string(error);
    }
}

}  // namespace kestova
