#include "audio/ACS_Classes.h"

#include <cmath>

namespace kestova {

namespace {

// Nearest integer, halves to even (the default rounding mode of the FPU).
int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

// The input swap of sinks and converters. While a run is under way the new input is running
// before the first read from it, and the old one is finished only after the swap.
void SwapInput(std::atomic<TACSInput*>& slot, TSpinFlag& lock, TComponent* stage, TACSInput* Value,
               bool running) {
    TACSInput* const old = slot.load();
    // An input removed in mid-run is let go without finishing: it is being destroyed.
    const bool handOver = running && Value != nullptr;
    if (handOver) Value->StartInput();
    if (Value) Value->FreeNotification(stage);
    {
        std::lock_guard<TSpinFlag> guard(lock);
        slot = Value;
    }
    if (handOver && old) old->FinishInput();
}

bool IsRemovalOf(const TComponent* component, TOperation operation, const TACSInput* input) {
    return operation == TOperation::opRemove && component != nullptr &&
           component == static_cast<const TComponent*>(input);
}

}  // namespace

// ---- TACSInput ----

void TACSInput::ResetInput() {
    try {
        FinishInput();
    } catch (...) {
    }
    Busy = false;
}

std::int64_t TACSInput::BytesPerSecond() {
    return std::int64_t{GetBitsPerSample() / 8} * GetChannels() * GetSampleRate();
}

// ---- TACSConverter ----

void TACSConverter::SetInput(TACSInput* Value) {
    if (Value != this) SwapInput(input_, InputLock, this, Value, Busy);
}

int TACSConverter::GetBitsPerSample() { return Input() ? Input()->GetBitsPerSample() : 0; }
int TACSConverter::GetChannels() { return Input() ? Input()->GetChannels() : 0; }
int TACSConverter::GetSampleRate() { return Input() ? Input()->GetSampleRate() : 0; }

int TACSConverter::ReadData(void* Buffer, int BufferSize) {
    if (!Busy) throw EACSException("The Stream is not opened");
    std::lock_guard<TSpinFlag> guard(InputLock);
    TACSInput* const input = Input();
    if (!input) return 0;
    const int count = input->ReadData(Buffer, BufferSize);
    Position = input->Position.load();
    return count;
}

void TACSConverter::StartInput() {
    TACSInput* const input = Input();
    if (!input) throw EACSException("Input is not assigned");
    input->StartInput();
    Position = 0;
    Busy = true;
    Size = input->Size.load();
}

void TACSConverter::FinishInput() {
    if (TACSInput* const input = Input()) input->FinishInput();
    Busy = false;
}

void TACSConverter::PauseInput() {
    if (TACSInput* const input = Input()) input->PauseInput();
}

void TACSConverter::ResumeInput() {
    if (TACSInput* const input = Input()) input->ResumeInput();
}

bool TACSConverter::EndStream() {
    TACSInput* const input = Input();
    return input && input->EndStream();
}

void TACSConverter::Notification(TComponent* component, TOperation operation) {
    if (IsRemovalOf(component, operation, Input())) SetInput(nullptr);
    TACSInput::Notification(component, operation);
}

// ---- TACSOutput ----

TACSOutput::TACSOutput(TComponent* owner)
    : TComponent(owner),
      Worker(std::make_unique<TACSThread>([this](bool Abort) { return OutputStep(Abort); },
                                          [this] { CompleteRun(); },
                                          [this](const std::exception& E) { AbortOnError(E); })) {}

TACSOutput::~TACSOutput() { EndWorker(); }

void TACSOutput::EndWorker() {
    // Not Active first: the worker's last OutputStep(true) must not report to a departing owner.
    Active = false;
    // A read waiting on a live input returns at once.
    if (TACSInput* const input = Input(); Busy && input) input->EndStream();
    Worker->Terminate();
    if (Busy) {
        FinishOutputQuietly();
        Busy = false;
    }
}

void TACSOutput::SetInput(TACSInput* Value) { SwapInput(input_, InputLock, this, Value, Busy); }

void TACSOutput::Run() {
    if (Busy) throw EACSException("Component is buisy");
    if (!Input()) throw EACSException("Input is not assigned");
    try {
        PrepareOutput();
        Busy = true;
        Worker->StopRequest = false;
        Active = true;
        Worker->Resume();
    } catch (const std::exception& E) {
        AbortOnError(E);
    }
}

void TACSOutput::Stop() {
    TACSInput* const input = Input();
    if (Busy && input && input->EndStream()) return;
    Worker->StopRequest = true;
}

void TACSOutput::Pause() {
    if (Worker->Suspended()) return;
    Worker->Suspend();
    TACSInput* const input = Input();
    if (Busy && input) input->PauseInput();
}

// Only a paused run is resumed: an idle worker woken here would spin until the next run.
void TACSOutput::Resume() {
    if (Status() != osPaused) return;
    if (TACSInput* const input = Input()) input->ResumeInput();
    Worker->Resume();
}

TOutputStatus TACSOutput::Status() const {
    if (!Busy) return osIdle;
    return Worker->Suspended() ? osPaused : osRunning;
}

int TACSOutput::Progress() const {
    TACSInput* const input = Input();
    if (!input) return 0;
    const std::int32_t size = input->Size;
    if (size == -1) return -1;
    if (size == 0) return 0;
    return RoundHalfEven(static_cast<double>(input->Position) * 100.0 / size);
}

int TACSOutput::ElapsedSeconds() const {
    TACSInput* const input = Input();
    if (!input) return 0;
    const std::int64_t bytesPerSecond = input->BytesPerSecond();
    if (bytesPerSecond <= 0) return 0;
    return RoundHalfEven(static_cast<double>(input->Position) / static_cast<double>(bytesPerSecond));
}

void TACSOutput::CheckProgress() {
    const int progress = Progress();
    if (progress == LastProgress) return;
    LastProgress = progress;
    if (OnProgress) OnProgress(this);
}

int TACSOutput::ReadInput(void* Buffer, int BufferSize) {
    std::lock_guard<TSpinFlag> guard(InputLock);
    TACSInput* const input = Input();
    return input ? input->ReadData(Buffer, BufferSize) : 0;
}

void TACSOutput::CompleteRun() {
    if (!Busy) return;
    Active = false;
    FinishOutput();
    Busy = false;
    if (OnDone) OnDone(this);
}

// No InputLock to clear here: each read holds it through a guard, which a failed read releases
// too. Clearing it by hand could free it under a swap on the caller's thread.
void TACSOutput::AbortOnError(const std::exception& E) {
    if (Status() != osIdle) FinishOutputQuietly();
    Active = false;
    Busy = false;
    if (OnThreadException) OnThreadException(this, E);
}

void TACSOutput::FinishOutputQuietly() noexcept {
    try {
        FinishOutput();
    } catch (...) {
    }
}

void TACSOutput::Notification(TComponent* component, TOperation operation) {
    if (IsRemovalOf(component, operation, Input())) SetInput(nullptr);
    TComponent::Notification(component, operation);
}

// ---- TACSFileOut ----

void TACSFileOut::SetFileMode(TFileOutputMode) { fileMode_ = foRewrite; }

void TACSFileOut::CreateStream() { Stream = std::make_unique<TFileStream>(FileName); }

void TACSFileOut::CloseStream() {
    if (!Stream) return;
    std::unique_ptr<TFileStream> stream = std::move(Stream);
    stream->Close();
}

}  // namespace kestova
