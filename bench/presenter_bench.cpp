// Frames per second that the saver actually shows, and the process's CPU time per shown frame:
// the real full-screen run with GDI (and with DirectDraw), against a bare loop of the same
// BitBlt from a DIB section into a full-screen window. Run under Wine on the display to measure.
#include "engine/bitmap.h"
#include "engine/motion_clock.h"
#include "engine/presenter.h"
#include "engine/run_state.h"
#include "engine/saver_run.h"
#include "shell/settings.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD WarmUpMs = 2000, MeasureMs = 10000;

double ProcessCpuMs() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](const FILETIME& t) {
        return ((static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 10000.0;
    };
    return ms(kernel) + ms(user);
}

// One measurement: after a warm-up, frames shown and CPU time used over a fixed window; then
// the measured loop is told to stop.
struct TMeasurement {
    std::atomic<uint32_t> Frames{0};
    void (*Stop)() = nullptr;
    double FramesPerSecond = 0, CpuMsPerFrame = 0;
};
TMeasurement* Current = nullptr;

DWORD WINAPI MeasureThread(LPVOID) {
    TMeasurement& m = *Current;
    Sleep(WarmUpMs);
    const uint32_t frames0 = m.Frames;
    const double cpu0 = ProcessCpuMs();
    const DWORD t0 = GetTickCount();
    Sleep(MeasureMs);
    const uint32_t frames = m.Frames - frames0;
    const double cpu = ProcessCpuMs() - cpu0;
    m.FramesPerSecond = frames / ((GetTickCount() - t0) / 1000.0);
    m.CpuMsPerFrame = frames ? cpu / frames : 0;
    m.Stop();
    return 0;
}

void StartMeasuring(TMeasurement& m, void (*stop)()) {
    Current = &m;
    m.Stop = stop;
    CloseHandle(CreateThread(nullptr, 0, MeasureThread, nullptr, 0, nullptr));
}

void CountingPresent() {
    PresentFrame();
    ++Current->Frames;
}
const TClockHooks CountingHooks{nullptr, nullptr, CountingPresent};

// The saver's own full-screen road; a run marked as started from the configuration window
// returns instead of ending the process.
void MeasureSaver(TMeasurement& m, bool directDraw) {
    Settings.RollPeriodMs = 20000;
    Settings.UseDirectDraw = directDraw;
    Settings.StopKey = 1;
    Settings.ExitOnMouseMove = false;
    RunFromConfig = true;
    SetClockHooks(&CountingHooks);
    StartMeasuring(m, [] { StopState = 1; });
    RunSaver(nullptr);
    SetClockHooks(nullptr);
}

std::atomic<bool> BareStop{false};

void MeasureBareBitBlt(TMeasurement& m) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "Brindlemax_BareBlit";
    RegisterClassA(&windowClass);
    HWND window =
        CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                        w, h, nullptr, nullptr, windowClass.hInstance, nullptr);
    TBitmap frame;
    frame.Create(w, h);
    HDC dc = GetDC(window);
    StartMeasuring(m, [] { BareStop = true; });
    for (uint32_t tick = 0; !BareStop; ++tick) {
        // A changed row each frame, so nothing can be skipped as unchanged.
        std::memset(frame.Bits + 4 * static_cast<size_t>(w) * (tick % h), tick & 0xFF,
                    4 * static_cast<size_t>(w));
        BitBlt(dc, 0, 0, w, h, frame.DC, 0, 0, SRCCOPY);
        ++m.Frames;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    ReleaseDC(window, dc);
    DestroyWindow(window);
}

void Print(const char* name, const TMeasurement& m) {
    std::printf("%-28s %7.1f frames/s %8.2f ms CPU per frame\n", name, m.FramesPerSecond,
                m.CpuMsPerFrame);
    std::fflush(stdout);
}

} // namespace

int main() {
    std::printf("screen %d x %d, %lu s measured after %lu s warm-up\n",
                GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), MeasureMs / 1000,
                WarmUpMs / 1000);
    LoadDirectDrawLibrary();
    static TMeasurement bare, gdi, directDraw;
    MeasureBareBitBlt(bare);
    Print("bare BitBlt loop", bare);
    MeasureSaver(gdi, false);
    Print("saver, GDI presenter", gdi);
    MeasureSaver(directDraw, true);
    Print("saver, DirectDraw presenter", directDraw);
    FreeDirectDrawLibrary();
    return 0;
}
