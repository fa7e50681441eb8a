// Stand-in for the user's desktop: a top-most full-screen window showing the test picture, so
// that the saver has a known screen to capture. Runs until it is killed.
#include "test_picture.h"

#include <windows.h>

#include <vector>

namespace {

HBITMAP Picture = nullptr;
HDC PictureDC = nullptr;

LRESULT CALLBACK PictureProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT rect;
        GetClientRect(window, &rect);
        BitBlt(dc, 0, 0, rect.right, rect.bottom, PictureDC, 0, 0, SRCCOPY);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    PictureDC = CreateCompatibleDC(nullptr);
    Picture = CreateDIBSection(PictureDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(PictureDC, Picture);
    auto* pixels = static_cast<uint32_t*>(bits);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[y * width + x] = PicturePixel(x, y);

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PictureProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = "Brindlemax_TestPicture";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(WS_EX_TOPMOST, windowClass.lpszClassName, "Test picture",
                                  WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr, nullptr,
                                  instance, nullptr);
    UpdateWindow(window);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
