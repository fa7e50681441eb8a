#include "engine/saver_run.h"

#include "crash/exception.h"
#include "engine/bitmap.h"
#include "engine/motion_clock.h"
#include "engine/presenter.h"
#include "engine/roll_renderer.h"
#include "engine/run_state.h"
#include "engine/saver_window.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <string>

namespace {

DWORD MainThreadId = 0; // runs the message loop of the current run

// The screen's device context for the length of a capture.
class TScreenDC {
  public:
    TScreenDC() : DC(GetDC(nullptr)) {}
    ~TScreenDC() { ReleaseDC(nullptr, DC); }
    TScreenDC(const TScreenDC&) = delete;
    TScreenDC& operator=(const TScreenDC&) = delete;
    HDC DC;
};

// The desktop as the user left it, fitted into the frame, and the frame into the picture.
void CapturePictures() {
    TScreenDC screen;
    TBitmap desktop;
    desktop.Create(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    BitBlt(desktop.DC, 0, 0, desktop.Width, desktop.Height, screen.DC, 0, 0, SRCCOPY);
    FrameBitmap.ShrinkToFit = true;
    FrameBitmap.CopyFitted(desktop);
    PictureBitmap.CopyFitted(FrameBitmap);
    FrameBitmap.ShrinkToFit = false;
    // The render thread writes the pixels directly from now on.
    GdiFlush();
}

} // namespace

void ResetSaverState() {
    if (!RunFromConfig)
        InitSettings();
    QuitRequested = false;
    StopState = 0;
    MouseMoveCountdown = 15;
    LastStepTick = 0;
    if (FullScreen)
        PrepareFullScreenInput();
    StopKeyCode = StopKeyCodeFor(Settings.StopKey, StopKeyCode);
    Paused = false;
}

void RunSaver(HWND parent) {
    FullScreen = parent == nullptr;
    MainThreadId = GetCurrentThreadId();
    ResetSaverState();

    SaverWindow = CreateSaverWindow(parent, 0, 0, GetSystemMetrics(SM_CXSCREEN),
                                    GetSystemMetrics(SM_CYSCREEN));
    if (!SaverWindow) {
        EndSaverRun();
        return;
    }
    WindowDC = GetDC(SaverWindow);
    RECT rect{};
    GetWindowRect(SaverWindow, &rect);
    FrameWidth = rect.right - rect.left;
    FrameHeight = rect.bottom - rect.top;
    if (FullScreen) {
        FrameWidth = GetSystemMetrics(SM_CXSCREEN);
        FrameHeight = GetSystemMetrics(SM_CYSCREEN);
        DirectDrawInUse = Settings.UseDirectDraw;
        if (!RunCountedThisProcess) {
            ++Settings.RunCounter;
            RunCountedThisProcess = true;
        }
    } else {
        DirectDrawInUse = false;
    }

    FrameBitmap.Create(FrameWidth, FrameHeight);
    PictureBitmap.Create(FrameWidth, FrameHeight);
    FrameBitmap.ShrinkToFit = PictureBitmap.ShrinkToFit = false;
    FrameBitmap.StretchToFit = PictureBitmap.StretchToFit = false;
    if (!WindowDC) {
        EndSaverRun();
        return;
    }

    CapturePictures();
    InitClock();
    BuildRowTables();
    StopState = 0;

    // Shown with the still picture, so the screen looks unchanged.
    UpdateWindow(SaverWindow);
    ShowWindow(SaverWindow, SW_SHOW);
    BitBlt(WindowDC, 0, 0, FrameBitmap.Width, FrameBitmap.Height, FrameBitmap.DC, 0, 0, SRCCOPY);

    if (FullScreen && DirectDrawInUse && !SetUpDirectDraw()) {
        EndSaverRun();
        return;
    }

    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 65536, RenderThreadProc, nullptr,
                                 STACK_SIZE_PARAM_IS_A_RESERVATION, &threadId);
    // Without the render thread nothing would ever end the run.
    if (!thread)
        throw Exception("CreateThread failed for the render thread, error " +
                        std::to_string(GetLastError()));
    CloseHandle(thread); // nothing waits for the thread

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
        if (QuitRequested && RunFromConfig)
            break;
    }
    if (QuitRequested)
        EndSaverRun();
}

DWORD WINAPI RenderThreadProc(LPVOID) {
    do {
        Sleep(30);
        RenderStep();
    } while (StopState == 0);

    if (!RunFromConfig)
        EndSaverRun(); // ends the process from this thread
    ReleaseDirectDraw();
    SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
    QuitRequested = true;
    // Once the window is gone nothing else may arrive in the main loop: wake it so that it sees
    // the request instead of waiting for a message that never comes.
    PostThreadMessageA(MainThreadId, WM_NULL, 0, 0);
    return 0;
}

void EndSaverRun() {
    QuitRequested = false;
    ReleaseDirectDraw();
    if (IsWindow(SaverWindow)) {
        ReleaseDC(SaverWindow, WindowDC);
        SendMessageA(SaverWindow, WM_CLOSE, 0, 0);
    }
    PictureBitmap.Destroy();
    FrameBitmap.Destroy();
    if (FullScreen)
        RestoreFullScreenInput();
    SaveRunCounter();
    if (!RunFromConfig)
        EndProcess(0);
}
