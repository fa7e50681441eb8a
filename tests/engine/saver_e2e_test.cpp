// The real Brindlemax.scr full screen and as a preview, driven from outside: the known picture
// is on the screen first, and the driver grabs the screen while the saver rolls it. (Wine keeps
// the cursor count and the screen-saver-running state per process, so their restoration is
// checked in-process by the unit tests.)
#include "screen_grab.h"
#include "support/process.h"
#include "support/registry.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace testing_support;
using namespace engine_testing;
using TShift = std::pair<int32_t, int32_t>;

constexpr DWORD Timeout = 60000;

// Pumps this thread's messages while it waits: a preview's child window in the saver's process
// sends messages to its host window here.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
}

void Pump(DWORD ms) {
    WaitUntil([] { return false; }, ms);
}

class SaverRun : public testing::Test {
  protected:
    void SetUp() override {
        ClearCompanyKey();
        ASSERT_TRUE(Picture.Start(ExecutableFolder() + "desktop_picture.exe", ""));
        ASSERT_TRUE(
            WaitUntil([] { return PictureShift(GrabWholeScreen()) == TShift(0, 0); }, Timeout))
            << "the test picture did not appear";
    }
    void TearDown() override {
        Saver.Kill();
        Picture.Kill();
        ClearCompanyKey();
    }

    void Configure(const char* period, const char* directDraw, const char* mouseMove = "1") {
        WriteText("Convert", period);
        WriteText("DDraw", directDraw);
        WriteText("MouseMove", mouseMove);
        WriteText("StopKey", "1");
        WriteText("Hrkl", "41");
    }

    // Starts the full-screen saver and waits until its window shows.
    void StartFullScreen(const std::string& program = ProgramPath()) {
        ASSERT_TRUE(Saver.Start(program, "/s"));
        Window = WaitForWindow("Show_MainWindow", Saver.ProcessId(), Timeout);
        ASSERT_NE(Window, nullptr);
        ASSERT_TRUE(WaitUntil([this] { return IsWindowVisible(Window) != FALSE; }, Timeout));
    }

    // A grab that must be the picture shifted; the shift.
    TShift ShiftedGrab() {
        const auto shift = PictureShift(GrabWholeScreen());
        EXPECT_TRUE(shift.has_value()) << "the screen is not a cyclic shift of the desktop";
        return shift.value_or(TShift(-1, -1));
    }

    void Key(WPARAM key) { PostMessageA(Window, WM_KEYDOWN, key, 1); }

    TProgram Picture, Saver;
    HWND Window = nullptr;
};

TEST_F(SaverRun, StartsWithTheUnchangedDesktop) {
    // One screen width in 1000 s: the viewpoint stays on (0, 0) for the first half second.
    Configure("1000000", "0");
    StartFullScreen();
    EXPECT_EQ(ShiftedGrab(), TShift(0, 0));
    Key('Q');
    EXPECT_EQ(Saver.Wait(Timeout), 0u);
}

TEST_F(SaverRun, F12ThenF11FaultsAtTheEndOfTheLap) {
    // A copy of the program with the crash reporter's stand-in Explorer beside it, so the
    // report's page does not open a real Explorer that outlives the test.
    const std::string folder = MakeScratchFolder("crashtest");
    ASSERT_TRUE(CopyInto(ProgramPath(), folder));
    ASSERT_TRUE(CopyInto(ExecutableFolder() + "fakes\\explorer.exe", folder));
    Configure("1000", "0"); // one-second laps
    StartFullScreen(folder + "Brindlemax.scr");
    Key(VK_F12);
    Key(VK_F11);
    Pump(300);
    // The keys alone do not end the run; the end of the lap raises the test fault, which the
    // crash reporter turns into its report and exit code.
    EXPECT_EQ(Saver.Wait(Timeout), 217u);
    EXPECT_TRUE(WaitUntil([&] { return !ReadWholeFile(folder + "explorer-command.txt").empty(); },
                          Timeout));
}

class RollingSaver : public SaverRun, public testing::WithParamInterface<const char*> {};

TEST_P(RollingSaver, DriftsPausesResumesAndEndsOnAKey) {
    Configure("20000", GetParam());
    StartFullScreen();

    const TShift first = ShiftedGrab();
    Pump(1200);
    const TShift second = ShiftedGrab();
    EXPECT_NE(first, second) << "the picture does not move";

    Key(VK_SPACE);
    Pump(600);
    const TShift paused = ShiftedGrab();
    Pump(300);
    EXPECT_EQ(ShiftedGrab(), paused) << "the pause does not hold the picture";
    Pump(700);
    EXPECT_EQ(ShiftedGrab(), paused);

    Key(VK_SPACE);
    Pump(1200);
    EXPECT_NE(ShiftedGrab(), paused) << "the picture does not resume";
    ASSERT_TRUE(Saver.Running());

    Key('A');
    EXPECT_EQ(Saver.Wait(Timeout), 0u);
    EXPECT_EQ(ReadText("Hrkl"), "42");
}

INSTANTIATE_TEST_SUITE_P(Presenters, RollingSaver, testing::Values("0", "1"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "1" ? "DirectDraw" : "Gdi";
                         });

class MouseMoves : public SaverRun, public testing::WithParamInterface<bool> {
  protected:
    // A real cursor move and its message with the same position, so any further message that
    // Wine sends for the cursor repeats the last position and does not count.
    void MoveTo(int x, int y) {
        SetCursorPos(x, y);
        PostMessageA(Window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    }
};

TEST_P(MouseMoves, EndTheSaverAtTheFifteenthNewPositionWhenEnabled) {
    const bool enabled = GetParam();
    Configure("20000", "0", enabled ? "1" : "0");
    StartFullScreen();
    for (int i = 1; i <= 14; ++i) {
        MoveTo(100 + 10 * i, 200 + 5 * i);
        PostMessageA(Window, WM_MOUSEMOVE, 0, MAKELPARAM(100 + 10 * i, 200 + 5 * i)); // a repeat
    }
    Pump(1500);
    ASSERT_TRUE(Saver.Running()) << "fourteen new positions ended the saver";
    MoveTo(400, 400);
    if (enabled) {
        EXPECT_EQ(Saver.Wait(Timeout), 0u);
        return;
    }
    for (int i = 0; i < 10; ++i)
        MoveTo(500 + 7 * i, 300 + 3 * i);
    Pump(1500);
    EXPECT_TRUE(Saver.Running()) << "mouse moves ended the saver with MouseMove 0";
    PostMessageA(Window, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    EXPECT_EQ(Saver.Wait(Timeout), 0u);
}

INSTANTIATE_TEST_SUITE_P(Settings, MouseMoves, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Enabled" : "Disabled";
                         });

// DirectDraw that fails its first step: a stand-in DDraw.dll beside a copy of the program.
class UnavailableDirectDraw : public SaverRun {
  protected:
    void SetUp() override {
        SaverRun::SetUp();
        Folder = MakeScratchFolder("ddraw");
        ASSERT_TRUE(CopyInto(ProgramPath(), Folder));
        ASSERT_TRUE(CopyInto(ExecutableFolder() + "engine-fakes\\DDraw.dll", Folder));
        WriteRawValue(HKEY_CURRENT_USER, OverrideKey, "ddraw", REG_SZ, std::string("native\0", 7));
    }
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, OverrideKey);
        SaverRun::TearDown();
    }
    static constexpr char OverrideKey[] =
        "Software\\Wine\\AppDefaults\\Brindlemax.scr\\DllOverrides";
    std::string Folder;
};

TEST_F(UnavailableDirectDraw, EndsTheRunAtOnce) {
    Configure("20000", "1");
    ASSERT_TRUE(Saver.Start(Folder + "Brindlemax.scr", "/s"));
    EXPECT_EQ(Saver.Wait(Timeout), 0u);
    EXPECT_EQ(ReadText("Hrkl"), "42");
    EXPECT_EQ(ReadWholeFile(Folder + "DirectDrawCreate.txt"), "called\n")
        << "the stand-in DirectDraw was not the one asked";
}

// The host window of a preview, as the Display Properties dialog makes it.
class PreviewRun : public SaverRun {
  protected:
    void SetUp() override {
        SaverRun::SetUp();
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = "Brindlemax_TestHost";
        RegisterClassA(&windowClass);
        Host =
            CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                            300, 200, 152, 112, nullptr, nullptr, windowClass.hInstance, nullptr);
        ASSERT_NE(Host, nullptr);
        Pump(200);
    }
    void TearDown() override {
        if (IsWindow(Host))
            DestroyWindow(Host);
        SaverRun::TearDown();
    }
    HWND Host = nullptr;
};

TEST_F(PreviewRun, FillsTheHostIgnoresInputAndEndsWithTheHost) {
    Configure("20000", "1");
    WriteText("Hrkl", "0007");
    ASSERT_TRUE(
        Saver.Start(ProgramPath(), "/p " + std::to_string(reinterpret_cast<uintptr_t>(Host))));
    HWND child = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            return (child = FindWindowExA(Host, nullptr, "Show_MainWindow", nullptr)) &&
                   IsWindowVisible(child);
        },
        Timeout));
    RECT rect{};
    GetClientRect(child, &rect);
    EXPECT_EQ(rect.right, 152);
    EXPECT_EQ(rect.bottom, 112);

    PostMessageA(child, WM_KEYDOWN, 'A', 1);
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    for (int i = 1; i <= 20; ++i)
        PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(i, i));
    Pump(1500);
    ASSERT_TRUE(Saver.Running()) << "input ended the preview";

    // The child's end notifies its parent here, so this thread keeps pumping while it waits.
    DestroyWindow(Host);
    EXPECT_TRUE(WaitUntil([this] { return !Saver.Running(); }, Timeout));
    EXPECT_EQ(Saver.Wait(1000), 0u);
    EXPECT_EQ(ReadText("Hrkl"), "7") << "the counter is written back, not increased";
}

// The preview's pixels, checked inside a process of its own that hosts the preview itself
// (Wine does not show what a child window of another process draws).
TEST_F(SaverRun, PreviewShowsTheScreenScaledAndRolling) {
    Configure("20000", "1");
    const std::string folder = MakeScratchFolder("preview");
    const std::string result = folder + "preview.txt";
    EXPECT_EQ(RunProgram(ExecutableFolder() + "preview_probe.exe", "\"" + result + "\"", Timeout),
              0u);
    const std::string text = ReadWholeFile(result);
    EXPECT_EQ(text.find("mismatch"), std::string::npos) << text;
    EXPECT_NE(text.find("moved"), std::string::npos) << text;
    EXPECT_NE(text.find("size 152 112"), std::string::npos) << text;
}

} // namespace
