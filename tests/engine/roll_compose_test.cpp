// The wrapped frame: offsets, the piece layout, composition, steering and the motion's steps.
#include "engine/roll_compose.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct TOffsetCase {
    double Position;
    int32_t Size;
    int32_t Expected;
};

class WholePixelOffsets : public testing::TestWithParam<TOffsetCase> {};

TEST_P(WholePixelOffsets, RoundHalfToEvenAndWrap) {
    EXPECT_EQ(WholePixelOffset(GetParam().Position, GetParam().Size), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Table, WholePixelOffsets,
                         testing::Values(TOffsetCase{-0.4, 1024, 0}, TOffsetCase{-0.6, 1024, 1023},
                                         TOffsetCase{2.5, 1024, 2}, TOffsetCase{3.5, 1024, 4},
                                         TOffsetCase{1024.0, 1024, 0},
                                         TOffsetCase{-2048.5, 1024, 0},
                                         TOffsetCase{-1025.0, 1024, 1023},
                                         TOffsetCase{5e9 + 7, 768, (5000000007LL % 768)}));

TEST(PieceLayout, NoOffsetIsOnePieceThatIsThePicture) {
    TPiece pieces[4];
    ASSERT_EQ(LayoutPieces(1024, 768, 0, 0, pieces), 1);
    EXPECT_EQ(pieces[0].Right, 1024);
    EXPECT_EQ(pieces[0].Bottom, 768);
    EXPECT_EQ(pieces[0].DstLeft, 0);
}

TEST(PieceLayout, HorizontalOffsetWrapsTheLeftColumnsToTheRight) {
    TPiece pieces[4];
    ASSERT_EQ(LayoutPieces(1024, 768, 10, 0, pieces), 2);
    EXPECT_EQ(pieces[0].Left, 10);
    EXPECT_EQ(pieces[0].Right, 1024);
    EXPECT_EQ(pieces[0].DstLeft, 0); // columns 10..1023 to 0..1013
    EXPECT_EQ(pieces[1].Left, 0);
    EXPECT_EQ(pieces[1].Right, 10);
    EXPECT_EQ(pieces[1].DstLeft, 1014); // columns 0..9 to 1014..1023
}

TEST(PieceLayout, BothOffsetsCoverEveryFramePixelOnce) {
    const int32_t w = 7, h = 5;
    TPiece pieces[4];
    ASSERT_EQ(LayoutPieces(w, h, 3, 2, pieces), 4);
    std::vector<int> covered(w * h, 0);
    for (const TPiece& p : pieces)
        for (int32_t y = p.Top; y < p.Bottom; ++y)
            for (int32_t x = p.Left; x < p.Right; ++x) {
                const int32_t fx = p.DstLeft + x - p.Left, fy = p.DstTop + y - p.Top;
                ASSERT_EQ((fx + 3) % w, x);
                ASSERT_EQ((fy + 2) % h, y);
                ++covered[fy * w + fx];
            }
    for (int c : covered)
        EXPECT_EQ(c, 1);
}

// A frame composed through the row tables against the cyclic shift computed pixel by pixel.
class Composition : public testing::TestWithParam<std::pair<int32_t, int32_t>> {
  protected:
    static constexpr int32_t W = 37, H = 23;
    void SetUp() override {
        Picture.resize(W * H);
        Frame.assign(W * H, 0xDEADBEEF);
        for (int32_t i = 0; i < W * H; ++i)
            Picture[i] = 0x01000000u + i;
        for (int32_t y = 0; y < H; ++y) {
            Src.push_back(reinterpret_cast<const uint8_t*>(&Picture[y * W]));
            Dst.push_back(reinterpret_cast<uint8_t*>(&Frame[y * W]));
        }
    }
    std::vector<uint32_t> Picture, Frame;
    std::vector<const uint8_t*> Src;
    std::vector<uint8_t*> Dst;
};

TEST_P(Composition, EqualsTheCyclicShift) {
    const auto [ix, iy] = GetParam();
    ComposeFrame(Dst.data(), Src.data(), W, H, ix, iy);
    for (int32_t y = 0; y < H; ++y)
        for (int32_t x = 0; x < W; ++x)
            ASSERT_EQ(Frame[y * W + x], Picture[((y + iy) % H) * W + (x + ix) % W])
                << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(Offsets, Composition,
                         testing::Values(std::make_pair(0, 0), std::make_pair(1, 0),
                                         std::make_pair(0, 1), std::make_pair(36, 22),
                                         std::make_pair(10, 7), std::make_pair(18, 0),
                                         std::make_pair(0, 22)));

TEST(Steering, TurnRateIsClampedThenDamped) {
    THeading heading{0.0f, static_cast<float>(MaxTurnRate)};
    SteerStep(heading, 0.999999); // pushes above the limit
    EXPECT_NEAR(heading.dA, MaxTurnRate * 0.999, 1e-7);
    heading = {0.0f, static_cast<float>(-MaxTurnRate)};
    SteerStep(heading, 0.0);
    EXPECT_NEAR(heading.dA, -MaxTurnRate * 0.999, 1e-7);
}

TEST(Steering, RandomWalkStepIsAtMostPiOver9000) {
    THeading heading{1.0f, 0.0f};
    SteerStep(heading, 0.0);
    EXPECT_NEAR(heading.dA, -Pi / 9000 * 0.999, 1e-8);
    EXPECT_NEAR(heading.A, 1.0 - Pi / 9000 * 0.999, 1e-6);
    heading = {1.0f, 0.0f};
    SteerStep(heading, 0.5);
    EXPECT_EQ(heading.dA, 0.0f);
    EXPECT_EQ(heading.A, 1.0f);
}

TEST(Steering, HeadingWrapsPastTwoPi) {
    THeading heading{static_cast<float>(2 * Pi - 0.001), static_cast<float>(MaxTurnRate)};
    SteerStep(heading, 0.5);
    EXPECT_NEAR(heading.A, -0.001 + MaxTurnRate * 0.999, 1e-5);
    heading = {static_cast<float>(-2 * Pi + 0.001), static_cast<float>(-MaxTurnRate)};
    SteerStep(heading, 0.5);
    EXPECT_NEAR(heading.A, 0.001 - MaxTurnRate * 0.999, 1e-5);
}

TEST(Motion, OneWidthPerRollPeriod) {
    TMotion m = StartMotion(1024, 20000, 0.0);
    EXPECT_FLOAT_EQ(m.S, 51.2f);
    EXPECT_FLOAT_EQ(m.VX, 51.2f);
    int steps = 0;
    while (m.D <= 1024) {
        AdvanceStep(m);
        ++steps;
    }
    EXPECT_NEAR(steps, 2000, 1); // 20 seconds of hundredths
    EXPECT_FLOAT_EQ(StartMotion(1024, 1000, 0.0).S, 1024.0f);
}

TEST(Motion, KeepsMovingFarFromTheOrigin) {
    // After days of running the position is large; a step must still move the picture.
    TMotion m = StartMotion(1024, 20000, 0.0);
    m.X = 33554432.0; // 2^25 pixels
    const double before = m.X;
    AdvanceStep(m);
    EXPECT_NEAR(m.X - before, 0.512, 1e-6);
}

} // namespace
