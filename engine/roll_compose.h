#pragma once
// The wrapped frame as plain arithmetic: the viewpoint's whole-pixel offset, the four pieces that
// turn the wrap-around into straight runs, the steering of the heading, and the composition of a
// frame from row tables. Free of the Windows headers so the benchmark builds it natively too.
#include <cstdint>

// The picture pixel shown at the frame's top-left corner along one axis: the position rounded
// half to even, wrapped into 0 .. size - 1.
int32_t WholePixelOffset(double position, int32_t size);

// One rectangle of the picture (right and bottom exclusive) and where it lands in the frame.
struct TPiece {
    int32_t Left, Top, Right, Bottom;
    int32_t DstLeft, DstTop;
};

// The frame for offset (ix, iy) shows picture pixel ((x + ix) mod w, (y + iy) mod h) at (x, y):
// at most four pieces, filled into pieces[]; returns how many.
int LayoutPieces(int32_t w, int32_t h, int32_t ix, int32_t iy, TPiece pieces[4]);

// Copies the pieces for (ix, iy) row run by row run through the row tables.
void ComposeFrame(uint8_t* const* dstRows, const uint8_t* const* srcRows, int32_t w, int32_t h,
                  int32_t ix, int32_t iy);

// The heading and its turn rate, in radians.
struct THeading {
    float A;
    float dA;
};
inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double MaxTurnRate = Pi / 90 / 5; // pi / 450 per whole-pixel step

// One random-walk step of the turn rate (r uniform in [0, 1)), clamped and damped, then added to
// the heading, which is kept within (-2 pi, 2 pi].
void SteerStep(THeading& heading, double r);

// The viewpoint's motion over one roll: speed, velocity, position and the lap's path length.
struct TMotion {
    float S; // pixels per second
    THeading Heading;
    float VX, VY; // pixels per second
    // Position on the endless plane, never wrapped. Held in double: in single precision a
    // saver left running for a few days would reach 2^24 pixels, where a step rounds to nothing.
    double X, Y;
    float D; // path length of this lap
};
// Starts at the origin heading along angle r * 2 pi; the speed is one width per period.
TMotion StartMotion(int32_t w, int32_t rollPeriodMs, double r);
// Advances one hundredth of a second.
void AdvanceStep(TMotion& motion);
// Heading changed: the velocity follows it.
void UpdateVelocity(TMotion& motion);
