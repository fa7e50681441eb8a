// Runs a preview inside this process, in a host window of its own, and grabs what the preview
// shows; writes its findings to the file named on the command line. The preview ends the
// process (exit code 0) when the host window is destroyed.
#include "screen_grab.h"

#include "engine/bitmap.h"
#include "engine/saver_run.h"

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <utility>

using namespace engine_testing;

namespace {

constexpr int HostLeft = 300, HostTop = 200, HostWidth = 152, HostHeight = 112;

HWND Host = nullptr;
std::string ResultPath;
std::string Findings;
TGrab Expected;
std::set<std::pair<int32_t, int32_t>> Shifts;
int Grabs = 0;

// The screen as the preview must show it: scaled to 149 x 112, aspect kept, at x = 1.
TGrab ExpectedFrame(const TGrab& screen) {
    BITMAPINFO info = BitmapHeader(HostWidth, HostHeight);
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(dc, bitmap);
    ZeroMemory(bits, HostWidth * HostHeight * 4);
    BITMAPINFO source = info;
    source.bmiHeader.biWidth = screen.Width;
    source.bmiHeader.biHeight = -screen.Height;
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, 1, 0, 149, 112, 0, 0, screen.Width, screen.Height, screen.Pixels.data(),
                  &source, DIB_RGB_COLORS, SRCCOPY);
    GdiFlush();
    TGrab frame;
    frame.Width = HostWidth;
    frame.Height = HostHeight;
    frame.Pixels.assign(static_cast<const uint32_t*>(bits),
                        static_cast<const uint32_t*>(bits) + HostWidth * HostHeight);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return frame;
}

void Finish() {
    if (FILE* out = std::fopen(ResultPath.c_str(), "wb")) {
        std::fputs(Findings.c_str(), out);
        if (Shifts.size() >= 2)
            std::fputs("moved\n", out);
        std::fclose(out);
    }
    DestroyWindow(Host);
}

void CALLBACK GrabTick(HWND, UINT, UINT_PTR, DWORD) {
    if (Grabs == 0) {
        HWND child = FindWindowExA(Host, nullptr, "Show_MainWindow", nullptr);
        RECT rect{};
        GetClientRect(child, &rect);
        Findings += "size " + std::to_string(rect.right) + " " + std::to_string(rect.bottom) + "\n";
    }
    const TGrab grab = GrabScreen(HostLeft, HostTop, HostWidth, HostHeight);
    if (const auto shift = FindShift(grab, Expected)) {
        Shifts.insert(*shift);
        Findings +=
            "shift " + std::to_string(shift->first) + " " + std::to_string(shift->second) + "\n";
    } else {
        Findings += "mismatch at grab " + std::to_string(Grabs) + "\n";
    }
    if (++Grabs == 4)
        Finish();
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    ResultPath = commandLine;
    if (!ResultPath.empty() && ResultPath.front() == '"')
        ResultPath = ResultPath.substr(1, ResultPath.find('"', 1) - 1);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = "Brindlemax_ProbeHost";
    RegisterClassA(&windowClass);
    Host = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "", WS_POPUP | WS_VISIBLE,
                           HostLeft, HostTop, HostWidth, HostHeight, nullptr, nullptr, instance,
                           nullptr);
    UpdateWindow(Host);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    Sleep(300);

    // The screen as the saver is about to capture it, host window included.
    Expected = ExpectedFrame(GrabWholeScreen());
    bool bands = true;
    for (int y = 0; y < HostHeight; ++y)
        bands =
            bands && Expected.At(0, y) == 0 && Expected.At(150, y) == 0 && Expected.At(151, y) == 0;
    if (!bands)
        Findings += "mismatch: the reference has no black bands\n";

    SetTimer(nullptr, 0, 700, GrabTick);
    RunSaver(Host);
    return 3; // the preview ends the process itself
}
