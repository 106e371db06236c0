#include "bench/soak_figures/SoakFigures.h"

#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/WaveIn.h"
#include "tests/ui/RealWindows.h"

namespace kestova::bench {

namespace {

// The legacy entry of NtQuerySystemInformation's handle table (class 16).
struct THandleEntry {
    USHORT ProcessId;
    USHORT CreatorBackTraceIndex;
    UCHAR ObjectTypeIndex;
    UCHAR HandleAttributes;
    USHORT HandleValue;
    PVOID Object;
    ULONG GrantedAccess;
};
struct THandleTable {
    ULONG Count;
    THandleEntry Entries[1];
};

// This process's entries in the system's handle table; 0 when the table cannot be read.
DWORD HandlesInSystemTable() {
    using TQuery = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<TQuery>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = LONG(0xC0000004);
    std::vector<char> buffer(1 << 16);
    LONG status = 0;
    while ((status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), nullptr)) ==
               kInfoLengthMismatch && buffer.size() < (1u << 26))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    const auto& table = *reinterpret_cast<const THandleTable*>(buffer.data());
    const USHORT self = USHORT(GetCurrentProcessId());
    return DWORD(std::count_if(table.Entries, table.Entries + table.Count,
                               [self](const THandleEntry& entry) { return entry.ProcessId == self; }));
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

void PrintOne(const char* what, const char* name, long long before, long long after, int cycles, long long noise) {
    const long long change = after - before;
    std::printf("%s %s: %lld before, %lld after: ", what, name, before, after);
    const double perCycle = double(change) / cycles;
    if (change <= noise)
        std::printf("flat\n");
    else if (perCycle >= 10)
        std::printf("grows by %.0f per cycle\n", perCycle);
    else
        std::printf("grows by %.2g per cycle\n", perCycle);  // 2 in 99 cycles is 0.02, not 0.0
}

}  // namespace

bool SoakCanRun(const char* name) {
    if (test::HasDisplay() && WaveIn()->NumDevs() > 0) return true;
    std::printf("%s: skipped, no display or no capture device (run it in ./kestova harness)\n", name);
    return false;
}

// Wine answers GetProcessHandleCount and GetGuiResources with 0 (not implemented) and leaves
// PrivateUsage at 0. Then handles come from the system's handle table, USER objects are
// approximated by this thread's windows, and private bytes by PagefileUsage, which Wine fills
// with the process's anonymous memory. GDI objects have no substitute.
TFigures Measure() {
    TFigures figures;
    HANDLE self = GetCurrentProcess();
    if (!GetProcessHandleCount(self, &figures.handles) || figures.handles == 0)
        figures.handles = HandlesInSystemTable();
    figures.gdi = GetGuiResources(self, GR_GDIOBJECTS);
    figures.user = GetGuiResources(self, GR_USEROBJECTS);
    if (figures.user == 0)
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&figures.user));
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(self, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory)))
        figures.privateBytes = memory.PrivateUsage != 0 ? memory.PrivateUsage : memory.PagefileUsage;
    return figures;
}

void PrintChange(const char* what, const TFigures& before, const TFigures& after, int cycles) {
    PrintOne(what, "handles", before.handles, after.handles, cycles, 0);
    PrintOne(what, "GDI objects (Wine: not counted)", before.gdi, after.gdi, cycles, 0);
    PrintOne(what, "USER objects (Wine: windows)", before.user, after.user, cycles, 0);
    PrintOne(what, "private bytes", (long long)before.privateBytes, (long long)after.privateBytes, cycles, 256 * 1024);
}

void PrintRecordingWindow(const TFigures& baseline, const TFigures& recording, const char* baselineName) {
    std::printf("one recording window: %.1f MB private bytes over %s (%zu -> %zu)\n",
                (double(recording.privateBytes) - double(baseline.privateBytes)) / (1 << 20), baselineName,
                size_t(baseline.privateBytes), size_t(recording.privateBytes));
}

}  // namespace kestova::bench
