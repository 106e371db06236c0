#pragma once
// The pipeline core: the stage base classes, the sink's worker thread and its run controls.
//
// A chain is pulled from its sink end. The sink's worker calls `OutputStep` again and again;
// each step reads one block from `Input`, which may read from its own input, back to the source.
//
// PCM stream contract: interleaved frames, first channel first; 16-bit samples signed
// little-endian, 8-bit unsigned. `ReadData` answers whole frames, 0 at the end of the stream.
// `Position` and `Size` count bytes as 32-bit signed integers; `Size` -1 means unknown.
//
// Threads: `Run`, `Stop`, `Pause`, `Resume`, `Status`, `SetInput` and destruction belong to the
// caller's thread (`PrepareOutput` and the chain's `StartInput` run there, inside `Run`).
// `OutputStep`, the chain's `ReadData`/`FinishInput`, `FinishOutput` and the three events run
// on the worker. Assign the events while the sink is idle.
#include "audio/ACS_SpinFlag.h"
#include "audio/ACS_Stream.h"
#include "core/Component.h"
#include "core/Event.h"
#include "core/Exception.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace kestova {

// The exception audio components raise; it carries only a message.
class EACSException : public Exception {
public:
    using Exception::Exception;
};

enum TOutputStatus { osRunning = 0, osPaused = 1, osIdle = 2 };
enum TFileOutputMode { foRewrite = 0, foAppend = 1 };

using TOutputDoneEvent = TEvent<TComponent* /*Sender*/>;
using TOutputProgressEvent = TEvent<TComponent* /*Sender*/>;
using TThreadExceptionEvent = TEvent<TComponent* /*Sender*/, const std::exception& /*E*/>;

// Anything that delivers PCM on request: a source or a converter.
class TACSInput : public TComponent {
public:
    explicit TACSInput(TComponent* owner = nullptr) : TComponent(owner) {}

    virtual int GetBitsPerSample() = 0;
    virtual int GetChannels() = 0;
    virtual int GetSampleRate() = 0;
    virtual int GetTotalTime() { return 0; }
    // Copies at most BufferSize bytes into Buffer and answers how many; 0 = end of stream.
    virtual int ReadData(void* Buffer, int BufferSize) = 0;
    // FinishInput with its failures swallowed, then not Busy.
    virtual void ResetInput();
    virtual void StartInput() = 0;
    virtual void FinishInput() = 0;
    // A live source stops taking in sound at once and delivers none until ResumeInput; what it
    // took in before is still delivered. Others ignore both.
    virtual void PauseInput() {}
    virtual void ResumeInput() {}
    // A live source ends its stream here: what it took in so far is still delivered, then
    // ReadData answers 0. Answers false when the stream does not end this way.
    virtual bool EndStream() { return false; }

    // (bits div 8) x channels x rate, wide enough for any format a caller may set.
    std::int64_t BytesPerSecond();

    std::atomic<std::int32_t> Position{0};  // bytes delivered since StartInput
    std::atomic<std::int32_t> Size{-1};     // bytes to be delivered; -1 = unknown
    std::atomic<bool> Busy{false};          // from StartInput until FinishInput

protected:
    // For sources that stage a block: 1-based index of the next byte, and valid bytes.
    std::int32_t BufStart = 1;
    std::int32_t BufEnd = 0;
};

// An in-line stage reading another input. The defaults pass the stream through unchanged, so a
// stage that only looks at the data overrides ReadData and calls the base first.
class TACSConverter : public TACSInput {
public:
    explicit TACSConverter(TComponent* owner = nullptr) : TACSInput(owner) {}

    TACSInput* Input() const { return input_.load(); }
    // While Busy the new input is started before the swap and the old one finished after it.
    virtual void SetInput(TACSInput* Value);

    int GetBitsPerSample() override;
    int GetChannels() override;
    int GetSampleRate() override;
    // "The Stream is not opened" when not Busy; reads under InputLock and copies Position.
    int ReadData(void* Buffer, int BufferSize) override;
    // Starts the input, sets Busy, copies Size.
    void StartInput() override;
    // Finishes the input, clears Busy.
    void FinishInput() override;
    // Passed on to the input.
    void PauseInput() override;
    void ResumeInput() override;
    bool EndStream() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

    TSpinFlag InputLock;

private:
    std::atomic<TACSInput*> input_{nullptr};
};

// The worker of one sink. It parks at the top of its loop while suspended, so `Pause` never
// stops it inside a read or the encoder; everything else is as a suspended thread would be.
class TACSThread {
public:
    using TStepHandler = std::function<bool(bool Abort)>;
    using TDoneHandler = std::function<void()>;
    using TErrorHandler = std::function<void(const std::exception& E)>;

    // Starts suspended.
    TACSThread(TStepHandler StepHandler, TDoneHandler DoneHandler, TErrorHandler ErrorHandler);
    ~TACSThread();
    TACSThread(const TACSThread&) = delete;
    TACSThread& operator=(const TACSThread&) = delete;

    void Suspend();
    void Resume();
    bool Suspended() const;
    // Ends the loop (waking a suspended worker), makes the last OutputStep(true), joins.
    void Terminate();

    std::atomic<bool> SuspendWhenIdle{true};
    std::atomic<bool> StopRequest{false};  // passed to the step handler as Abort

private:
    void Execute();
    bool WaitWhileSuspended(std::uint64_t& resumes);
    void SuspendUnlessResumedSince(std::uint64_t resumes);
    void Step(std::uint64_t resumes);
    void ReportError(const std::exception& E) noexcept;

    TStepHandler StepHandler;
    TDoneHandler DoneHandler;
    TErrorHandler ErrorHandler;
    std::mutex StepLock;  // held around each iteration; the worker's alone

    mutable std::mutex parkLock_;
    std::condition_variable parked_;
    bool suspended_ = true;
    bool EndRequest = false;
    std::uint64_t resumes_ = 0;  // lets a self-suspend lose against a Resume that came first
    std::thread thread_;
};

// A sink: owns the worker and pulls from `Input`.
//
// A sink that derives from this must call EndWorker() first thing in its own destructor: the
// worker's last step and the finishing of an unfinished run need the derived parts alive.
class TACSOutput : public TComponent {
public:
    explicit TACSOutput(TComponent* owner = nullptr);
    ~TACSOutput() override;

    TACSInput* Input() const { return input_.load(); }
    // While Busy the new input is started before the swap and the old one finished after it.
    virtual void SetInput(TACSInput* Value);

    bool SuspendWhenIdle() const { return Worker->SuspendWhenIdle.load(); }
    void SetSuspendWhenIdle(bool Value) { Worker->SuspendWhenIdle = Value; }

    // "Component is buisy" / "Input is not assigned"; any other failure goes to
    // OnThreadException and Run returns normally.
    void Run();
    // A live input ends its stream at once and the worker takes in the rest; any other makes
    // the worker's next step the last.
    void Stop();
    // Pausing also pauses a live input, so nothing it hears meanwhile reaches the output.
    void Pause();
    void Resume();
    TOutputStatus Status() const;
    // Position / Size x 100, halves to even; -1 with an unknown Size, 0 with none or Size 0.
    int Progress() const;
    // Seconds of audio delivered so far, halves to even.
    int ElapsedSeconds() const;

    TOutputDoneEvent OnDone;
    TOutputProgressEvent OnProgress;
    TThreadExceptionEvent OnThreadException;

protected:
    // One unit of output; false when the run has finished. Start with CheckProgress() while
    // Active, and answer true at once when not Active.
    virtual bool OutputStep(bool Abort) = 0;
    // Completes and closes the destination, then finishes the input.
    virtual void FinishOutput() = 0;
    // Opens the destination and starts the input.
    virtual void PrepareOutput() = 0;

    // Raises OnProgress when Progress differs from the value last reported.
    void CheckProgress();
    // Reads from Input under InputLock; 0 when there is no input.
    int ReadInput(void* Buffer, int BufferSize);
    // Ends the worker; an unfinished run is finished silently (no OnDone). Idempotent.
    void EndWorker();

    void Notification(TComponent* component, TOperation operation) override;

    std::atomic<bool> Active{false};  // steps may do work
    TSpinFlag InputLock;

private:
    void CompleteRun();
    void AbortOnError(const std::exception& E);
    void FinishOutputQuietly() noexcept;

    std::atomic<std::int32_t> LastProgress{0};  // not reset between runs
    std::atomic<bool> Busy{false};              // from a successful Run until the run has ended
    std::atomic<TACSInput*> input_{nullptr};
    std::unique_ptr<TACSThread> Worker;
};

// A sink that writes into a byte stream, owned while a run lasts.
class TACSStreamedOutput : public TACSOutput {
public:
    explicit TACSStreamedOutput(TComponent* owner = nullptr) : TACSOutput(owner) {}

protected:
    std::unique_ptr<TFileStream> Stream;
};

// A sink that writes a named file.
class TACSFileOut : public TACSStreamedOutput {
public:
    explicit TACSFileOut(TComponent* owner = nullptr) : TACSStreamedOutput(owner) {}

    TFileOutputMode FileMode() const { return fileMode_; }
    // This base always rewrites, whatever Mode asks for.
    virtual void SetFileMode(TFileOutputMode Mode);

    std::string FileName;

protected:
    // Creates (or truncates) FileName as Stream.
    void CreateStream();
    // Closes and frees Stream; raises when the last bytes cannot be written.
    void CloseStream();

private:
    TFileOutputMode fileMode_ = foRewrite;
};

}  // namespace kestova
