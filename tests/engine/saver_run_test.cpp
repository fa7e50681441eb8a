// A full-screen run started as the configuration window's Preview button starts it: it must
// return to its caller once the render thread has finished, and count the run only once.
#include "engine/run_state.h"
#include "engine/saver_run.h"
#include "shell/settings.h"
#include "support/registry.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

DWORD WINAPI StopAfterASecond(LPVOID) {
    Sleep(1000);
    StopState = 1;
    return 0;
}

// A hung run never returns; this ends the test process instead of leaving ctest waiting.
DWORD WINAPI Watchdog(LPVOID) {
    Sleep(120000);
    ExitProcess(3);
}

void RunFromTheConfigurationWindow() {
    CloseHandle(CreateThread(nullptr, 0, StopAfterASecond, nullptr, 0, nullptr));
    RunSaver(nullptr);
}

TEST(RunFromConfiguration, ReturnsToTheWindowAndCountsOnlyTheFirstRun) {
    ClearCompanyKey();
    CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
    Settings.RollPeriodMs = 20000;
    Settings.RunCounter = 5;
    Settings.UseDirectDraw = false;
    Settings.StopKey = 1;
    Settings.ExitOnMouseMove = true;
    RunFromConfig = true;

    RunFromTheConfigurationWindow();
    EXPECT_FALSE(IsWindow(SaverWindow));
    EXPECT_FALSE(FrameBitmap.Exists());
    EXPECT_EQ(Settings.RunCounter, 6);
    EXPECT_EQ(ReadText("Hrkl"), "6");

    RunFromTheConfigurationWindow();
    EXPECT_EQ(Settings.RunCounter, 6) << "the second run of the process was counted";
    EXPECT_EQ(ReadText("Hrkl"), "6");
    RunFromConfig = false;
    ClearCompanyKey();
}

} // namespace
