// The saver window's input rules, called through SaverWindowProc on a window of the class, and
// the Windows 9x password check with a stand-in PASSWORD.CPL.
#include "engine/saver_window.h"

#include "engine/run_state.h"
#include "shell/settings.h"
#include "support/process.h"
#include "support/registry.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace testing_support;

constexpr char DesktopKey[] = "Control Panel\\Desktop";

class SaverInput : public testing::Test {
  protected:
    void SetUp() override {
        SHDeleteValueA(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveUsePassword");
        RunFromConfig = false;
        FullScreen = true;
        Settings.ExitOnMouseMove = true;
        StopKeyCode = VK_SPACE;
        StopState = 0;
        Paused = false;
        CrashTestArmed = false;
        CrashTestRequested = false;
        MouseMoveCountdown = 15;
        Window = CreateSaverWindow(nullptr, 0, 0, 64, 48);
        ASSERT_NE(Window, nullptr);
        SaverWindow = Window;
    }
    void TearDown() override {
        if (IsWindow(Window))
            DestroyWindow(Window);
        SHDeleteValueA(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveUsePassword");
        FullScreen = false;
        StopState = 0;
        Paused = false;
    }
    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SaverWindowProc(Window, message, wParam, lParam);
    }
    void Key(WPARAM key) { Send(WM_KEYDOWN, key, 1); }
    // A WM_CLOSE that the rules posted to the window.
    bool ClosePosted() {
        MSG message;
        return PeekMessageA(&message, Window, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
    }
    HWND Window = nullptr;
};

TEST_F(SaverInput, StopKeyPausesAndResumesAndAnyOtherKeyEnds) {
    Key(VK_SPACE);
    EXPECT_TRUE(Paused);
    Key(VK_SPACE);
    EXPECT_FALSE(Paused);
    EXPECT_EQ(StopState, 0);
    Key('X');
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, PauseBreakAsStopKeyMakesSpaceAnEndingKey) {
    StopKeyCode = StopKeyCodeFor(2, StopKeyCode);
    Key(VK_PAUSE);
    EXPECT_TRUE(Paused);
    Key(VK_SPACE);
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, SystemKeysEndToo) {
    Send(WM_SYSKEYDOWN, VK_MENU, 1 << 29);
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, F12ThenF11AsksForTheCrashTestWithoutEnding) {
    Key(VK_F12);
    EXPECT_TRUE(CrashTestArmed);
    Key(VK_F11);
    EXPECT_TRUE(CrashTestRequested);
    EXPECT_EQ(StopState, 0);
}

TEST_F(SaverInput, F12TwiceEnds) {
    Key(VK_F12);
    Key(VK_F12);
    EXPECT_EQ(StopState, 1);
    EXPECT_FALSE(CrashTestRequested);
}

TEST_F(SaverInput, F11AloneEnds) {
    Key(VK_F11);
    EXPECT_EQ(StopState, 1);
    EXPECT_FALSE(CrashTestRequested);
}

TEST_F(SaverInput, FifteenthNewMousePositionEndsAndRepeatsDoNotCount) {
    LastMousePosition = MAKELPARAM(1, 1);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(1, 1)); // the last position again
    for (int i = 2; i <= 15; ++i) {
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
    }
    EXPECT_EQ(StopState, 0) << "fourteen new positions ended the saver";
    EXPECT_EQ(MouseMoveCountdown, 1);
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(99, 3));
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, MouseMovesNeverEndWhenDisabledButButtonsDo) {
    Settings.ExitOnMouseMove = false;
    for (int i = 1; i <= 40; ++i)
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(i, 2 * i));
    EXPECT_EQ(StopState, 0);
    EXPECT_EQ(LastMousePosition, MAKELPARAM(40, 80));
    Send(WM_RBUTTONDOWN, MK_RBUTTON, 0);
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, PreviewIgnoresKeysButtonsAndMoves) {
    FullScreen = false;
    Key('X');
    Key(VK_SPACE);
    Send(WM_LBUTTONDOWN, MK_LBUTTON, 0);
    for (int i = 1; i <= 20; ++i)
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
    EXPECT_EQ(StopState, 0);
    EXPECT_FALSE(Paused);
    EXPECT_EQ(MouseMoveCountdown, 15);
}

class SwallowedCommands : public SaverInput, public testing::WithParamInterface<WPARAM> {};

TEST_P(SwallowedCommands, DoNothingInFullScreen) {
    EXPECT_EQ(Send(WM_SYSCOMMAND, GetParam()), 0);
    EXPECT_TRUE(IsWindow(Window));
    EXPECT_EQ(StopState, 0);
}

INSTANTIATE_TEST_SUITE_P(Commands, SwallowedCommands,
                         testing::Values(SC_NEXTWINDOW, SC_PREVWINDOW, SC_SCREENSAVE));

TEST_F(SaverInput, OtherSystemCommandsGoOnAndCloseEndsTheWindow) {
    EXPECT_FALSE(SwallowsSystemCommand(SC_SCREENSAVE + 1));
    Send(WM_SYSCOMMAND, SC_CLOSE);
    EXPECT_FALSE(IsWindow(Window)) << "SC_CLOSE did not reach the close rule";
    EXPECT_EQ(StopState, 1);
}

TEST_F(SaverInput, LosingActivationAsksToClose) {
    Send(WM_ACTIVATEAPP, TRUE);
    EXPECT_FALSE(ClosePosted());
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(ClosePosted());
}

struct TPowerCase {
    UINT Message;
    WPARAM Event;
    LPARAM Data;
    bool Closes;
};

class PowerEvents : public SaverInput, public testing::WithParamInterface<TPowerCase> {};

TEST_P(PowerEvents, CloseOnAResume) {
    Send(GetParam().Message, GetParam().Event, GetParam().Data);
    EXPECT_EQ(ClosePosted(), GetParam().Closes);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PowerEvents,
    testing::Values(TPowerCase{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0, true},
                    TPowerCase{WM_POWERBROADCAST, PBT_APMRESUMECRITICAL, 0, true},
                    TPowerCase{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0, true},
                    TPowerCase{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1, false},
                    TPowerCase{WM_POWERBROADCAST, PBT_APMSUSPEND, 0, false},
                    TPowerCase{WM_POWER, PWR_CRITICALRESUME, 0, true},
                    TPowerCase{WM_POWER, PWR_SUSPENDRESUME, 0, false}));

TEST(StopKeys, SettingsGiveTheKeyOrKeepTheCurrentOne) {
    EXPECT_EQ(StopKeyCodeFor(1, 0), static_cast<uint32_t>(VK_SPACE));
    EXPECT_EQ(StopKeyCodeFor(2, VK_SPACE), static_cast<uint32_t>(VK_PAUSE));
    EXPECT_EQ(StopKeyCodeFor(3, VK_PAUSE), static_cast<uint32_t>(VK_PAUSE));
    EXPECT_EQ(StopKeyCodeFor(0, 0), 0u);
}

// The Windows 9x password: a stand-in PASSWORD.CPL that answers as the test says.
class PasswordCheck : public SaverInput {
  protected:
    void SetUp() override {
        SaverInput::SetUp();
        // PASSWORD.CPL is looked for beside the program, then in the current folder.
        GetCurrentDirectoryA(MAX_PATH, Previous);
        SetCurrentDirectoryA((ExecutableFolder() + "engine-fakes").c_str());
        SetEnvironmentVariableA("BRINDLEMAX_TEST_PASSWORD_WINDOW", nullptr);
    }
    void TearDown() override {
        SetCurrentDirectoryA(Previous);
        SaverInput::TearDown();
    }
    char Previous[MAX_PATH] = "";
    void UsePassword(uint32_t value) {
        WriteRawValue(HKEY_CURRENT_USER, DesktopKey, "ScreenSaveUsePassword", REG_DWORD,
                      std::string(reinterpret_cast<const char*>(&value), 4));
    }
    void Answer(const char* answer) { SetEnvironmentVariableA("BRINDLEMAX_TEST_PASSWORD", answer); }
    std::string WindowAsked() {
        char text[32] = "";
        GetEnvironmentVariableA("BRINDLEMAX_TEST_PASSWORD_WINDOW", text, sizeof(text));
        return text;
    }
};

TEST_F(PasswordCheck, AcceptedPasswordLetsTheSaverEnd) {
    UsePassword(1);
    Answer("1");
    EXPECT_TRUE(VerifyPassword());
    EXPECT_EQ(WindowAsked(), std::to_string(reinterpret_cast<uintptr_t>(Window)));
}

TEST_F(PasswordCheck, RefusedPasswordKeepsTheSaverAndRestartsTheMouseCount) {
    UsePassword(1);
    Answer("0");
    MouseMoveCountdown = 1;
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(5, 6));
    EXPECT_EQ(StopState, 0);
    EXPECT_EQ(MouseMoveCountdown, 15);
    EXPECT_FALSE(WindowAsked().empty());
    Key('X');
    EXPECT_EQ(StopState, 0);
}

TEST_F(PasswordCheck, RefusedPasswordKeepsTheWindowOnClose) {
    UsePassword(1);
    Answer("0");
    Send(WM_CLOSE);
    EXPECT_TRUE(IsWindow(Window));
    Answer("1");
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(Window));
}

TEST_F(PasswordCheck, NotAskedWhenNotInForce) {
    Answer("0");
    EXPECT_TRUE(VerifyPassword()); // no value at all
    UsePassword(0);
    EXPECT_TRUE(VerifyPassword());
    EXPECT_TRUE(WindowAsked().empty());
}

TEST_F(PasswordCheck, NeverAskedInARunFromTheConfigurationWindow) {
    UsePassword(1);
    Answer("0");
    RunFromConfig = true;
    EXPECT_TRUE(VerifyPassword());
    RunFromConfig = false;
    EXPECT_TRUE(WindowAsked().empty());
}

TEST_F(PasswordCheck, MissingLibraryMeansNoPassword) {
    SetCurrentDirectoryA(Previous);
    UsePassword(1);
    Answer("0");
    EXPECT_TRUE(VerifyPassword());
}

TEST(FullScreenInput, HidesTheCursorAndMarksTheSaverRunningThenRestores) {
    const int count = ShowCursor(FALSE) + 1; // this thread's display count
    ShowCursor(TRUE);
    PrepareFullScreenInput();
    BOOL running = FALSE;
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    EXPECT_TRUE(running);
    EXPECT_EQ(ShowCursor(FALSE), count - 2) << "the cursor was not hidden once";
    ShowCursor(TRUE);
    RestoreFullScreenInput();
    SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
    EXPECT_FALSE(running);
    EXPECT_EQ(ShowCursor(FALSE), count - 1) << "the cursor count was not restored";
    ShowCursor(TRUE);
}

} // namespace
