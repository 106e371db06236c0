// The recorder window over many uses, under Wine with the harness's microphone and display:
//   1. one window, cycles of record 1 s, stop, play 1 s, stop, through its controls;
//   2. windows opened and closed one after another.
// Before and after each, the process's handles, GDI and USER objects and private bytes. The
// first cycle loads what stays loaded (encoder, MCI, codecs), so "before" is taken after it;
// a measure is "flat" when it ends where it was after the first cycle. Also the private bytes
// one recording window adds to the process.
// Usage: bench_soak_window [record/play cycles, default 300] [window cycles, default 100]
#include <windows.h>
#include <psapi.h>

#include "platform/MainThread.h"
#include "platform/WaveIn.h"
#include "recorder/Links.h"
#include "recorder/MainForm.h"
#include "tests/audio/ScratchFolder.h"
#include "tests/ui/RealWindows.h"
#include "ui/Dialogs.h"
#include "ui/win32/FormWindow.h"
#include "ui/win32/Win32Host.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

using namespace kestova;
using namespace std::chrono_literals;
using kestova::test::TextOf;

namespace {

struct TFigures {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T privateBytes = 0;
};

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

void PrintOne(const char* what, const char* name, long long before, long long after, int cycles, long long noise) {
    const long long change = after - before;
    std::printf("%s %s: %lld before, %lld after: ", what, name, before, after);
    if (change <= noise)
        std::printf("flat\n");
    else
        std::printf("grows by %.1f per cycle\n", double(change) / cycles);
}

// `cycles` counts the cycles between the two measures.
void PrintChange(const char* what, const TFigures& before, const TFigures& after, int cycles) {
    PrintOne(what, "handles", before.handles, after.handles, cycles, 0);
    PrintOne(what, "GDI objects (Wine: not counted)", before.gdi, after.gdi, cycles, 0);
    PrintOne(what, "USER objects (Wine: windows)", before.user, after.user, cycles, 0);
    PrintOne(what, "private bytes", (long long)before.privateBytes, (long long)after.privateBytes, cycles, 256 * 1024);
}

bool WaitFor(const std::function<bool()>& done) { return MainThread()->ProcessUntil(done, 30s); }

bool Shows(HWND label, const std::string& prefix) { return TextOf(label).rfind(prefix, 0) == 0; }

// Presses the window's actions as its toolbar does.
class TDriver {
public:
    TDriver(TWin32Host& host, TformMain& form)
        : form_(form), window_(*host.WindowOf(form)), toolbar_(window_.HandleOf(form.tbVoice)),
          state_(window_.HandleOf(form.lbState)) {}

    void Press(const TAction& action) const {
        SendMessageW(window_.Handle(), WM_COMMAND, MAKEWPARAM(window_.CommandOf(action), BN_CLICKED),
                     reinterpret_cast<LPARAM>(toolbar_));
    }
    // Record 1 s, stop, play 1 s (or to the end), stop. `whileRecording` runs at 1 s in.
    bool Cycle(const std::function<void()>& whileRecording = {}) const {
        Press(form_.actRecord);
        if (!WaitFor([&] { return Shows(state_, "Recording...   0:1"); })) return false;
        if (whileRecording) whileRecording();
        Press(form_.actStop);
        if (!WaitFor([&] { return Shows(state_, "Stopped. Size: "); })) return false;
        Press(form_.actPlay);
        if (!WaitFor([&] { return Shows(state_, "Playing...   0:1") || TextOf(state_) == "Stopped"; })) return false;
        Press(form_.actStop);
        return WaitFor([&] { return TextOf(state_) == "Stopped"; });
    }
    void Accept() const { SendMessageW(window_.HandleOf(form_.btOK), BM_CLICK, 0, 0); }
    void Cancel() const { SendMessageW(window_.HandleOf(form_.btCancel), BM_CLICK, 0, 0); }

private:
    TformMain& form_;
    TFormWindow& window_;
    HWND toolbar_;
    HWND state_;
};

bool RecordPlayCycles(TWin32Host& host, int cycles) {
    const TFigures empty = Measure();
    TFigures recording, before, after;
    bool ok = true;
    TformMain form;
    MainThread()->Post([&] {
        RunGuarded([&] {
            const TDriver driver(host, form);
            ok = driver.Cycle([&] { recording = Measure(); });
            before = Measure();
            for (int i = 1; ok && i < cycles; ++i) ok = driver.Cycle();
            after = Measure();
            driver.Accept();
        });
    });
    form.ShowModal();
    if (!ok) {
        std::printf("record/play cycles: the window stopped answering\n");
        return false;
    }
    std::printf("one recording window: %.1f MB private bytes over the process before it opened (%zu -> %zu)\n",
                double(recording.privateBytes - empty.privateBytes) / (1 << 20), size_t(empty.privateBytes),
                size_t(recording.privateBytes));
    PrintChange("record/play cycles", before, after, cycles - 1);
    return true;
}

bool WindowCycles(TWin32Host& host, int cycles) {
    TFigures before;
    for (int i = 0; i < cycles; ++i) {
        TformMain form;
        MainThread()->Post([&] { RunGuarded([&] { TDriver(host, form).Cancel(); }); });
        if (form.ShowModal() != mrCancel) {
            std::printf("window cycles: the window did not close\n");
            return false;
        }
        if (i == 0) before = Measure();
    }
    PrintChange("window open/close cycles", before, Measure(), cycles - 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int recordCycles = std::max(2, argc > 1 ? std::atoi(argv[1]) : 300);
    const int windowCycles = std::max(2, argc > 2 ? std::atoi(argv[2]) : 100);
    if (!kestova::test::HasDisplay() || WaveIn()->NumDevs() == 0) {
        std::printf("soak window: skipped, no display or no capture device (run it in ./kestova harness)\n");
        return 0;
    }
    SetMainThread(CreateOsMainThread());
    const kestova::test::TScratchFolder folder("soak-window");
    SetAppPath(folder.Folder());
    TWin32Host host;
    THostScope scope{host};
    std::printf("soak window: %d record/play cycles, %d window cycles\n", recordCycles, windowCycles);
    const bool ok = RecordPlayCycles(host, recordCycles) && WindowCycles(host, windowCycles);
    SetAppPath("");
    SetMainThread(nullptr);
    return ok ? 0 : 1;
}
