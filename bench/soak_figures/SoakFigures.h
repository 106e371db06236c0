#pragma once
// What the soak runs under Wine measure of their own process and how they report it: handles,
// GDI and USER objects and private bytes, before and after a run of cycles, each "flat" or
// "grows by N per cycle".
#include <windows.h>

namespace kestova::bench {

struct TFigures {
    DWORD handles = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    SIZE_T privateBytes = 0;
};

// False, after saying why, when there is no display or no capture device to soak with.
bool SoakCanRun(const char* name);

// Takes USER objects on Wine from the calling thread's windows: call it on the thread that
// owns the windows under test.
TFigures Measure();

// `cycles` counts the cycles between the two measures. A measure is "flat" when it ends where
// it began (private bytes: within 256 KB, the heap's own granularity).
void PrintChange(const char* what, const TFigures& before, const TFigures& after, int cycles);

// "one recording window: N MB private bytes over <baseline>".
void PrintRecordingWindow(const TFigures& baseline, const TFigures& recording, const char* baselineName);

}  // namespace kestova::bench
