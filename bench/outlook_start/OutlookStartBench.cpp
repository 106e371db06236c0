// The times Outlook 2013 and later judge an add-in by, against the simulated Outlook in this
// process: the start (OnConnection with OnStartupComplete) with 1 and with 30 item windows open,
// and an item window's open (NewInspector and its first Activate). Each is the median of 5, as
// Outlook takes it, and is reported against Outlook's budget and the add-in's own aim.
// Usage: bench_outlook_start
#include <algorithm>
#include <cstdio>
#include <vector>

#include "addin/com/Handles.h"
#include "addin/uAddin.h"
#include "tools/outlook_sim/Application.h"
#include "tools/outlook_sim/Stopwatch.h"

using namespace kestova;

namespace {

const int kRuns = 5;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

sim::TOpened<sim::TSimInspector> OpenMail(sim::TSimApplication& outlook) {
    return outlook.Inspectors().Open(com::Make<sim::TSimItem>(sim::TItemKind::Mail));
}

// A fresh Outlook with `windows` mails open, and a fresh add-in connected to it.
double StartMs(int windows) {
    const auto outlook = com::Make<sim::TSimApplication>();
    std::vector<com::ComPtr<sim::TSimInspector>> open;
    for (int i = 0; i < windows; ++i) open.push_back(OpenMail(*outlook.Get()).window);
    const auto addin = com::Make<TzelAddin>();
    SAFEARRAY* custom = nullptr;
    const double ms = sim::TimedMs([&] {
        addin->OnConnection(outlook->AsDispatch(), com::ext_cm_Startup, nullptr, &custom);
        addin->OnStartupComplete(&custom);
    });
    addin->OnDisconnection(com::ext_dm_HostShutdown, &custom);
    return ms;
}

// With the add-in connected, a mail opened and closed again.
double ItemOpenMs(sim::TSimApplication& outlook) {
    const auto mail = OpenMail(outlook);
    const double ms = mail.openedMs + mail.activatedMs;
    mail.window->Close();
    return ms;
}

void Report(const char* what, double median, double aim, double budget) {
    std::printf("  %-28s median %7.2f ms   %5.2f of the aim (%g ms)   %5.3f of Outlook's budget (%g ms)\n", what, median,
                median / aim, aim, median / budget, budget);
}

}  // namespace

int main() {
    const com::TApartment apartment;
    if (FAILED(apartment.Result())) {
        std::printf("outlook start: COM cannot be initialised\n");
        return 1;
    }
    std::vector<double> one, thirty, opens;
    for (int i = 0; i < kRuns; ++i) {
        one.push_back(StartMs(1));
        thirty.push_back(StartMs(30));
    }
    const auto outlook = com::Make<sim::TSimApplication>();
    const auto addin = com::Make<TzelAddin>();
    SAFEARRAY* custom = nullptr;
    addin->OnConnection(outlook->AsDispatch(), com::ext_cm_Startup, nullptr, &custom);
    for (int i = 0; i < kRuns; ++i) opens.push_back(ItemOpenMs(*outlook.Get()));
    addin->OnDisconnection(com::ext_dm_HostShutdown, &custom);

    std::printf("outlook start: median of %d, in this process under the simulated Outlook\n", kRuns);
    Report("start, 1 item window", Median(one), 100, 1000);
    Report("start, 30 item windows", Median(thirty), 100, 1000);
    Report("item open", Median(opens), 20, 500);
    std::printf("  30 windows against 1: %.1f times\n", Median(thirty) / Median(one));
    return 0;
}
