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
    TPiece pieces[4];
    const int count = LayoutPieces(w, h, ix, iy, pieces);
    // Frame row by frame row, the pieces side by side on that row: each destination row is
    // written once, left to right, which keeps the copy at the speed of one long memcpy.
    for (int upper = 0; upper < count; ++upper) {
        const TPiece& left = pieces[upper];
        if (left.DstLeft != 0)
            continue; // pieces 1 and 3 start a band of rows; 2 and 4 sit to their right
        const TPiece* right = nullptr;
        for (int i = 0; i < count; ++i)
            if (pieces[i].DstLeft != 0 && pieces[i].DstTop == left.DstTop)
                right = &pieces[i];
        const size_t leftBytes = static_cast<size_t>(left.Right - left.Left) * 4;
        const size_t leftOffset = static_cast<size_t>(left.Left) * 4;
        for (int32_t row = left.Top, dstRow = left.DstTop; row < left.Bottom; ++row, ++dstRow) {
            std::memcpy(dstRows[dstRow], srcRows[row] + leftOffset, leftBytes);
            if (right)
                std::memcpy(dstRows[dstRow] + leftBytes, srcRows[row],
                            static_cast<size_t>(right->Right) * 4);
        }
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
