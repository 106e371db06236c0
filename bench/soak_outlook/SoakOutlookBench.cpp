// Recorder windows opened and closed through the simulated Outlook, under Wine with the
// harness's microphone and display. This process is Outlook: it registers the zelt.dll next to
// it for the current user, loads it as Outlook does and plays the user through scenario steps.
// First, with a mail open as Outlook's baseline, one recording window is measured 1 s into its
// recording, then cancelled. Then each cycle opens a mail, clicks the ribbon's "Kestova", presses the
// recorder's Cancel and closes the mail. The first cycle loads what stays loaded, so "before" is
// taken after it; the second half of the cycles is reported too, which tells a step taken once
// from growth that goes on. Measures as in the recorder window's soak.
// Usage: bench_soak_outlook [window cycles, default 100]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "addin/com/Handles.h"
#include "bench/soak_figures/SoakFigures.h"
#include "platform/Library.h"
#include "tools/outlook_sim/Scenario.h"

using namespace kestova;
using namespace kestova::bench;

namespace {

// With a mail open as Outlook's baseline, one recording window measured 1 s into its recording;
// then `cycles` of a mail opened, its recorder opened by "Kestova" and cancelled, the mail closed.
std::string SoakScenario(int cycles) {
    std::string steps =
        "connect\n"
        "expect addins 1\n"
        "open mail first\n"
        "measure baseline\n"
        "click ribbon first \"Kestova\"\n"
        "record 1\n"
        "  measure recording\n"
        "stop\n"
        "cancel\n"
        "close first\n";
    for (int i = 1; i <= cycles; ++i) {
        steps += "open mail m\nclick ribbon m \"Kestova\"\ncancel\nclose m\n";
        if (i == 1) steps += "measure before\n";
        if (i == cycles / 2) steps += "measure halfway\n";
    }
    return steps + "measure after\n";
}

// The zelt.dll next to this program, registered for the current user as `regsvr32 /n /i:user`
// does, and removed again at the end.
class TUserRegistration {
public:
    TUserRegistration()
        : library_(LoadLibraryIn(ModuleFolderOf(reinterpret_cast<const void*>(&SoakScenario)), "zelt.dll")),
          registered_(Install(TRUE)) {}
    ~TUserRegistration() {
        if (registered_) Install(FALSE);
    }
    TUserRegistration(const TUserRegistration&) = delete;
    TUserRegistration& operator=(const TUserRegistration&) = delete;

    bool Registered() const { return registered_; }

private:
    bool Install(BOOL install) const {
        using TDllInstall = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
        const auto dllInstall = reinterpret_cast<TDllInstall>(library_.Symbol("DllInstall"));
        return dllInstall && SUCCEEDED(dllInstall(install, L"user"));
    }

    TLibrary library_;
    bool registered_;
};

// Keeps of the scenario's log only the failed steps and the step before each, so the log
// allocates nothing per cycle and the measures are the host's alone.
class TFailedSteps : public std::streambuf {
public:
    const std::string& Text() const { return failed_; }

private:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        line_ += traits_type::to_char_type(c);
        if (line_.back() != '\n') return c;
        if (line_.rfind("FAIL", 0) == 0) failed_ += previous_ + line_;
        previous_.swap(line_);
        line_.clear();
        return c;
    }

    std::string line_, previous_, failed_;
};

}  // namespace

int main(int argc, char** argv) {
    const int cycles = std::max(2, argc > 1 ? std::atoi(argv[1]) : 100);
    if (!SoakCanRun("soak outlook")) return 0;
    const com::TApartment apartment;
    const TUserRegistration registration;
    if (FAILED(apartment.Result()) || !registration.Registered()) {
        std::printf("soak outlook: COM or the registration of zelt.dll failed\n");
        return 1;
    }
    std::printf("soak outlook: %d recorder windows opened and cancelled through the simulated Outlook\n", cycles);
    const auto outlook = com::Make<sim::TSimApplication>();
    TFailedSteps failed;
    std::ostream log(&failed);
    sim::TScenario scenario(*outlook.Get(), log);
    // Made beforehand, so that measuring allocates nothing between the measures.
    std::map<std::string, TFigures> measures{{"baseline", {}}, {"recording", {}}, {"before", {}}, {"halfway", {}}, {"after", {}}};
    scenario.Define("measure", [&](const std::vector<std::string>& words) {
        measures.at(words.at(1)) = Measure();
        return std::string();
    });
    std::istringstream steps(SoakScenario(cycles));
    if (scenario.Run(steps) != 0) {
        std::printf("soak outlook: steps failed:\n%s", failed.Text().c_str());
        return 1;
    }
    PrintRecordingWindow(measures["baseline"], measures["recording"], "Outlook with a mail open");
    PrintChange("outlook window cycles", measures["before"], measures["after"], cycles - 1);
    PrintChange("outlook window cycles, second half", measures["halfway"], measures["after"], cycles - cycles / 2);
    return 0;
}
