// Without lame_enc.dll next to the program (or in the system folder) there is no window: the
// encoder's error goes to the caller. This program's folder has no copy of the library.
#include "recorder/MainForm.h"

#include "audio/ACS_Classes.h"
#include "platform/MainThread.h"
#include "platform/sim/WaveInSim.h"

#include <gtest/gtest.h>

using namespace kestova;

TEST(RecorderWithoutEncoder, WindowIsNotCreated) {
    SetMainThread(CreateOsMainThread());
    SetWaveIn(std::make_shared<TWaveInSim>());
    try {
        TformMain form;
        ADD_FAILURE() << "window created";
    } catch (const EACSException& e) {
        EXPECT_STREQ(e.what(), "lame_enc.dll library could not be loaded.");
    }
    SetWaveIn(nullptr);
    SetMainThread(nullptr);
}
