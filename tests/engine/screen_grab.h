#pragma once
// Reading the screen from a test: a grab of a screen rectangle, and the cyclic shift of a
// reference picture that a grab shows.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace engine_testing {

struct TGrab {
    int32_t Width = 0, Height = 0;
    std::vector<uint32_t> Pixels; // 0x00RRGGBB, row by row from the top
    uint32_t At(int32_t x, int32_t y) const { return Pixels[y * Width + x]; }
};

// BitBlt from the screen's DC.
TGrab GrabScreen(int32_t left, int32_t top, int32_t width, int32_t height);
TGrab GrabWholeScreen();

// The (ix, iy) for which grab pixel (x, y) equals reference ((x + ix) mod w, (y + iy) mod h)
// everywhere; nothing when no shift fits.
std::optional<std::pair<int32_t, int32_t>> FindShift(const TGrab& grab, const TGrab& reference);
bool IsShiftBy(const TGrab& grab, const TGrab& reference, int32_t ix, int32_t iy);

// The test picture's shift read from the grab's top-left pixel and confirmed everywhere.
std::optional<std::pair<int32_t, int32_t>> PictureShift(const TGrab& grab);

} // namespace engine_testing
