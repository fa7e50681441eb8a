#include "engine/roll_compose.h"

#include <cmath>
#include <cstring>

int32_t WholePixelOffset(double position, int32_t size) {
    const auto whole = static_cast<int64_t>(std::nearbyint(position));
    auto offset = static_cast<int32_t>(whole % size);
    if (offset < 0)
        offset += size;
    return offset;
}

int LayoutPieces(int32_t w, int32_t h, int32_t ix, int32_t iy, TPiece pieces[4]) {
    int count = 0;
    pieces[count++] = {ix, iy, w, h, 0, 0};
    if (ix != 0)
        pieces[count++] = {0, iy, ix, h, w - ix, 0};
    if (iy != 0)
        pieces[count++] = {ix, 0, w, iy, 0, h - iy};
    if (ix != 0 && iy != 0)
        pieces[count++] = {0, 0, ix, iy, w - ix, h - iy};
    return count;
}

void ComposeFrame(uint8_t* const* dstRows, const uint8_t* const* srcRows, int32_t w, int32_t h,
                  int32_t ix, int32_t iy) {
    // The pieces of LayoutPieces taken a frame row at a time: the upper band of rows is pieces 1
    // and 2 side by side, the lower band pieces 3 and 4. Each row is written once, left to
    // right, in at most two runs of one memcpy each.
    const size_t leftBytes = static_cast<size_t>(w - ix) * 4;
    const size_t rightBytes = static_cast<size_t>(ix) * 4;
    for (int32_t y = 0; y < h; ++y) {
        const int32_t row = y < h - iy ? y + iy : y + iy - h;
        std::memcpy(dstRows[y], srcRows[row] + rightBytes, leftBytes);
        if (ix != 0)
            std::memcpy(dstRows[y] + leftBytes, srcRows[row], rightBytes);
    }
}

void SteerStep(THeading& heading, double r) {
    float dA = static_cast<float>(heading.dA + (r - 0.5) * Pi / 90 / 5 / 10);
    if (dA > MaxTurnRate)
        dA = static_cast<float>(MaxTurnRate);
    else if (dA < -MaxTurnRate)
        dA = static_cast<float>(-MaxTurnRate);
    dA = static_cast<float>(dA * 0.999);
    heading.dA = dA;
    float a = heading.A + dA;
    if (a > 2 * Pi)
        a = static_cast<float>(a - 2 * Pi);
    else if (a < -2 * Pi)
        a = static_cast<float>(a + 2 * Pi);
    heading.A = a;
}

TMotion StartMotion(int32_t w, int32_t rollPeriodMs, double r) {
    TMotion m{};
    m.S = static_cast<float>(w / (rollPeriodMs / 1000.0));
    m.Heading = {static_cast<float>(r * 2 * Pi), 0.0f};
    UpdateVelocity(m);
    return m;
}

void AdvanceStep(TMotion& m) {
    const float dx = static_cast<float>(0.01 * m.VX);
    const float dy = static_cast<float>(0.01 * m.VY);
    m.X += static_cast<double>(dx);
    m.Y += static_cast<double>(dy);
    m.D = static_cast<float>(
        m.D + std::sqrt(static_cast<double>(dx) * dx + static_cast<double>(dy) * dy));
}

void UpdateVelocity(TMotion& m) {
    m.VX = static_cast<float>(m.S * std::cos(static_cast<double>(m.Heading.A)));
    m.VY = static_cast<float>(m.S * std::sin(static_cast<double>(m.Heading.A)));
}
