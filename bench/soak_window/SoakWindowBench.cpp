// One recorder window over many uses, under Wine with the harness's microphone and display:
// cycles of record 1 s, stop, play 1 s, stop, through its controls. Before and after, the
// process's handles, GDI and USER objects and private bytes. The first cycle loads what stays
// loaded (encoder, MCI, codecs), so "before" is taken after it; a measure is "flat" when it ends
// where it was after the first cycle. Also the private bytes one recording window adds to the
// process. Windows opened and closed one after another are soaked through the simulated Outlook
// (bench_soak_outlook).
// Usage: bench_soak_window [record/play cycles, default 300]
#include <windows.h>

#include "bench/soak_figures/SoakFigures.h"
#include "platform/MainThread.h"
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

using namespace kestova;
using namespace kestova::bench;
using namespace std::chrono_literals;
using kestova::test::TextOf;

namespace {

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
    PrintRecordingWindow(empty, recording, "the process before it opened");
    PrintChange("record/play cycles", before, after, cycles - 1);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int recordCycles = std::max(2, argc > 1 ? std::atoi(argv[1]) : 300);
    if (!bench::SoakCanRun("soak window")) return 0;
    SetMainThread(CreateOsMainThread());
    const kestova::test::TScratchFolder folder("soak-window");
    SetAppPath(folder.Folder());
    TWin32Host host;
    THostScope scope{host};
    std::printf("soak window: %d record/play cycles\n", recordCycles);
    const bool ok = RecordPlayCycles(host, recordCycles);
    SetAppPath("");
    SetMainThread(nullptr);
    return ok ? 0 : 1;
}
