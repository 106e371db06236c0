#pragma once
// Stand-ins for the chain's ends: a source that makes bytes on demand and can fail on cue, a
// sink that keeps (or writes) what it pulls, and a helper that waits on a sink's events.
#include "audio/ACS_Classes.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kestova::testing {

constexpr std::chrono::seconds kGenerous{20};

// The message of the EACSException `action` raises; empty when it raises none.
inline std::string Raised(const std::function<void()>& action) {
    try {
        action();
    } catch (const EACSException& e) {
        return e.what();
    }
    return "";
}

// Delivers `Blocks` blocks of `BlockSize` bytes (unbounded when negative), 16-bit stereo 22050.
class TFakeSource : public TACSInput {
public:
    int Blocks = -1;
    int BlockSize = 16384;
    std::int32_t AnnouncedSize = -1;  // what StartInput sets Size to
    std::function<void(int read)> BeforeRead;  // may raise; `read` counts from 0
    std::function<void()> OnStart;             // may raise
    std::atomic<int> Starts{0}, Finishes{0}, Reads{0};

    int GetBitsPerSample() override { return 16; }
    int GetChannels() override { return 2; }
    int GetSampleRate() override { return 22050; }
    void StartInput() override {
        if (OnStart) OnStart();
        ++Starts;
        Position = 0;
        Size = AnnouncedSize;
        Busy = true;
    }
    void FinishInput() override {
        ++Finishes;
        Busy = false;
    }
    int ReadData(void* Buffer, int BufferSize) override {
        const int read = Reads++;
        if (BeforeRead) BeforeRead(read);
        if (Blocks >= 0 && read >= Blocks) return 0;
        const int count = std::min(BufferSize, BlockSize);
        std::fill_n(static_cast<char*>(Buffer), count, static_cast<char>(read));
        Position += count;
        return count;
    }
};

// Pulls blocks of up to 16384 bytes; writes them to FileName when one is set.
class TTestSink : public TACSFileOut {
public:
    std::function<void()> OnFinish;  // may raise
    std::atomic<int> Prepares{0}, Finishes{0};
    std::atomic<std::int64_t> Pulled{0};

    ~TTestSink() override { EndWorker(); }

protected:
    void PrepareOutput() override {
        ++Prepares;
        if (!FileName.empty()) CreateStream();
        Input()->StartInput();
    }
    bool OutputStep(bool Abort) override {
        if (!Active) return true;
        CheckProgress();
        if (Abort) return false;
        const int count = ReadInput(block_.data(), static_cast<int>(block_.size()));
        if (count <= 0) return false;
        if (Stream) Stream->Write(block_.data(), static_cast<std::size_t>(count));
        Pulled += count;
        return true;
    }
    void FinishOutput() override {
        ++Finishes;
        CloseStream();
        if (OnFinish) OnFinish();
        Input()->FinishInput();
    }

private:
    std::vector<char> block_ = std::vector<char>(16384);
};

// Counts a sink's events and lets a test wait for them.
class TEventLog {
public:
    explicit TEventLog(TACSOutput& sink) {
        sink.OnDone = [this](TComponent*) { Note([this] { ++done_; }); };
        sink.OnProgress = [this](TComponent*) { Note([this] { ++progress_; }); };
        sink.OnThreadException = [this](TComponent*, const std::exception& E) {
            Note([&] {
                ++errors_;
                lastError_ = E.what();
            });
        };
    }

    int Done() const { return Read(done_); }
    int Progress() const { return Read(progress_); }
    int Errors() const { return Read(errors_); }
    std::string LastError() const {
        std::lock_guard<std::mutex> lock(lock_);
        return lastError_;
    }
    // Waits until the run has ended one way or the other.
    bool WaitEnds(int count = 1) const {
        std::unique_lock<std::mutex> lock(lock_);
        return changed_.wait_for(lock, kGenerous, [&] { return done_ + errors_ >= count; });
    }

private:
    template <class F>
    void Note(F f) {
        std::lock_guard<std::mutex> lock(lock_);
        f();
        changed_.notify_all();
    }
    int Read(const int& counter) const {
        std::lock_guard<std::mutex> lock(lock_);
        return counter;
    }

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    int done_ = 0, progress_ = 0, errors_ = 0;
    std::string lastError_;
};

// Waits, with a generous timeout, until `condition` holds; polls, since the state it watches
// belongs to another thread that signals nobody.
inline bool WaitFor(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + kGenerous;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace kestova::testing
