#include "screen_grab.h"

#include "test_picture.h"

#include "engine/bitmap.h"

namespace engine_testing {

TGrab GrabScreen(int32_t left, int32_t top, int32_t width, int32_t height) {
    TGrab grab;
    grab.Width = width;
    grab.Height = height;
    grab.Pixels.resize(static_cast<size_t>(width) * height);
    BITMAPINFO info = BitmapHeader(width, height);
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < grab.Pixels.size(); ++i)
        grab.Pixels[i] = pixels[i] & 0x00FFFFFF;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return grab;
}

TGrab GrabWholeScreen() {
    return GrabScreen(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
}

bool IsShiftBy(const TGrab& grab, const TGrab& reference, int32_t ix, int32_t iy) {
    const int32_t w = reference.Width, h = reference.Height;
    if (grab.Width != w || grab.Height != h)
        return false;
    for (int32_t y = 0; y < h; ++y) {
        const int32_t sy = (y + iy) % h;
        for (int32_t x = 0; x < w; ++x)
            if (grab.At(x, y) != reference.At((x + ix) % w, sy))
                return false;
    }
    return true;
}

std::optional<std::pair<int32_t, int32_t>> FindShift(const TGrab& grab, const TGrab& reference) {
    for (int32_t iy = 0; iy < reference.Height; ++iy)
        for (int32_t ix = 0; ix < reference.Width; ++ix)
            if (grab.Width > 0 && reference.At(ix, iy) == grab.At(0, 0) &&
                IsShiftBy(grab, reference, ix, iy))
                return std::make_pair(ix, iy);
    return std::nullopt;
}

std::optional<std::pair<int32_t, int32_t>> PictureShift(const TGrab& grab) {
    if (grab.Pixels.empty())
        return std::nullopt;
    const auto [ix, iy] = PicturePosition(grab.At(0, 0));
    if (ix >= grab.Width || iy >= grab.Height)
        return std::nullopt;
    for (int32_t y = 0; y < grab.Height; ++y)
        for (int32_t x = 0; x < grab.Width; ++x)
            if (grab.At(x, y) != PicturePixel((x + ix) % grab.Width, (y + iy) % grab.Height))
                return std::nullopt;
    return std::make_pair(ix, iy);
}

} // namespace engine_testing
