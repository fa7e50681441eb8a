#pragma once
// The known, asymmetric desktop picture of the engine's end-to-end tests: every pixel's colour
// encodes its own position, so one pixel of a grab tells the shift and the rest confirms it.
#include <cstdint>
#include <utility>

// 0x00RRGGBB for the picture pixel (x, y); x and y below 4096.
inline uint32_t PicturePixel(int32_t x, int32_t y) {
    const uint32_t r = x & 0xFF;
    const uint32_t g = ((x >> 8) & 0xF) | (((y >> 8) & 0xF) << 4);
    const uint32_t b = y & 0xFF;
    return r << 16 | g << 8 | b;
}

// The position that PicturePixel encoded in a colour.
inline std::pair<int32_t, int32_t> PicturePosition(uint32_t pixel) {
    const uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return {static_cast<int32_t>(r | (g & 0xF) << 8), static_cast<int32_t>(b | (g >> 4) << 8)};
}
