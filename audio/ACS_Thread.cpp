#include "audio/ACS_Classes.h"

namespace kestova {

TACSThread::TACSThread(TStepHandler StepHandler, TDoneHandler DoneHandler, TErrorHandler ErrorHandler)
    : StepHandler(std::move(StepHandler)),
      DoneHandler(std::move(DoneHandler)),
      ErrorHandler(std::move(ErrorHandler)),
      thread_([this] { Execute(); }) {}

TACSThread::~TACSThread() { Terminate(); }

void TACSThread::Suspend() {
    std::lock_guard<std::mutex> lock(parkLock_);
    suspended_ = true;
}

void TACSThread::Resume() {
    {
        std::lock_guard<std::mutex> lock(parkLock_);
        suspended_ = false;
        ++resumes_;
    }
    parked_.notify_all();
}

bool TACSThread::Suspended() const {
    std::lock_guard<std::mutex> lock(parkLock_);
    return suspended_;
}

void TACSThread::Terminate() {
    {
        std::lock_guard<std::mutex> lock(parkLock_);
        EndRequest = true;
    }
    parked_.notify_all();
    if (thread_.joinable()) thread_.join();
}

void TACSThread::Execute() {
    std::uint64_t resumes = 0;
    while (WaitWhileSuspended(resumes)) {
        // No sleep: the input's ReadData waits for data and so sets the pace.
        std::lock_guard<std::mutex> step(StepLock);
        Step(resumes);
    }
    try {
        StepHandler(true);
    } catch (...) {
        // The sink is going away; there is nobody left to tell.
    }
}

// Parks while suspended; false once the loop is to end. Notes the resumes seen so far.
bool TACSThread::WaitWhileSuspended(std::uint64_t& resumes) {
    std::unique_lock<std::mutex> lock(parkLock_);
    parked_.wait(lock, [this] { return !suspended_ || EndRequest; });
    resumes = resumes_;
    return !EndRequest;
}

// A run that ended parks the worker, unless a new Run resumed it in the meantime.
void TACSThread::SuspendUnlessResumedSince(std::uint64_t resumes) {
    if (!SuspendWhenIdle) return;
    std::lock_guard<std::mutex> lock(parkLock_);
    if (resumes_ == resumes) suspended_ = true;
}

// One iteration. Whatever a step raises ends the run through the error handler: nothing
// escapes the worker.
void TACSThread::Step(std::uint64_t resumes) {
    try {
        if (StepHandler(StopRequest)) return;
        StopRequest = false;
        DoneHandler();
    } catch (const std::exception& E) {
        StopRequest = false;
        ReportError(E);
    } catch (...) {
        StopRequest = false;
        ReportError(EACSException("Unknown failure on the audio worker"));
    }
    SuspendUnlessResumedSince(resumes);
}

void TACSThread::ReportError(const std::exception& E) noexcept {
    try {
        ErrorHandler(E);
    } catch (...) {
        // A failing OnThreadException handler must not take the worker down.
    }
}

}  // namespace kestova
