// TBitmap and the placement decision of CopyFitted.
#include "engine/bitmap.h"

#include "crash/exception.h"
#include "shell/random.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

struct TFitCase {
    const char* Name;
    TFitRequest Request;
    TFitPlacement Expected;
};

double DrawHalf() {
    return 0.5;
}

class FitDecision : public testing::TestWithParam<TFitCase> {};

TEST_P(FitDecision, PlacesTheSource) {
    const TFitPlacement p = DecideFit(GetParam().Request, DrawHalf);
    const TFitPlacement& e = GetParam().Expected;
    EXPECT_EQ(p.Kind, e.Kind);
    EXPECT_EQ(p.X, e.X);
    EXPECT_EQ(p.Y, e.Y);
    EXPECT_EQ(p.Width, e.Width);
    EXPECT_EQ(p.Height, e.Height);
}

// Shrink, stretch and random placement flags in that order.
INSTANTIATE_TEST_SUITE_P(Table, FitDecision,
                         testing::Values(TFitCase{"SameSize",
                                                  {640, 480, 640, 480, false, true, true},
                                                  {TFitKind::OneToOne, 0, 0, 640, 480}},
                                         TFitCase{"TwiceAsLargeHeightDecides",
                                                  {1600, 1200, 800, 600, true, false, true},
                                                  {TFitKind::Scaled, 0, 0, 800, 600}},
                                         TFitCase{"WiderWidthDecides",
                                                  {1600, 900, 800, 600, true, false, true},
                                                  {TFitKind::Scaled, 0, 75, 800, 450}},
                                         TFitCase{"ScreenIntoPreview",
                                                  {1024, 768, 152, 112, true, false, true},
                                                  {TFitKind::Scaled, 1, 0, 149, 112}},
                                         TFitCase{"LargerWithoutShrinkCropsEvenly",
                                                  {803, 600, 800, 600, false, false, true},
                                                  {TFitKind::Unscaled, -1, 0, 803, 600}},
                                         TFitCase{"SmallerStretchedUp",
                                                  {400, 200, 800, 600, false, true, true},
                                                  {TFitKind::Scaled, 0, 100, 800, 400}},
                                         TFitCase{"SmallerPlacedAtRandom",
                                                  {200, 100, 800, 600, true, false, true},
                                                  {TFitKind::Unscaled, 300, 250, 200, 100}},
                                         TFitCase{"SmallerCentred",
                                                  {200, 101, 800, 600, true, false, false},
                                                  {TFitKind::Unscaled, 300, 249, 200, 101}},
                                         TFitCase{"EqualWidthSmallerHeightCentredWhateverTheFlags",
                                                  {800, 300, 800, 600, true, true, true},
                                                  {TFitKind::Unscaled, 0, 150, 800, 300}}),
                         [](const testing::TestParamInfo<TFitCase>& info) {
                             return std::string(info.param.Name);
                         });

int Draws = 0;
double CountedDraw() {
    ++Draws;
    return 0.999;
}

TEST(FitDecisionRandom, DrawsTwiceOnlyForARandomPlacementAndStaysInside) {
    Draws = 0;
    const TFitPlacement p = DecideFit({200, 100, 800, 600, true, false, true}, CountedDraw);
    EXPECT_EQ(Draws, 2);
    EXPECT_EQ(p.X, 599);
    EXPECT_EQ(p.Y, 500); // 499.5 rounds to the even neighbour
    EXPECT_LE(p.X + p.Width, 800);
    EXPECT_LE(p.Y + p.Height, 600);
    Draws = 0;
    DecideFit({1600, 900, 800, 600, true, true, true}, CountedDraw);
    EXPECT_EQ(Draws, 0);
}

uint32_t Pixel(const TBitmap& b, int x, int y) {
    uint32_t value;
    std::memcpy(&value, b.Bits + y * b.RowBytes() + x * 4, 4);
    return value;
}

void Fill(TBitmap& b, uint32_t (*colour)(int, int)) {
    for (int y = 0; y < b.Height; ++y)
        for (int x = 0; x < b.Width; ++x) {
            const uint32_t value = colour(x, y);
            std::memcpy(b.Bits + y * b.RowBytes() + x * 4, &value, 4);
        }
}

uint32_t Position(int x, int y) {
    return 0x00010000u + static_cast<uint32_t>(x << 10 | y);
}
uint32_t White(int, int) {
    return 0x00FFFFFF;
}

TEST(CopyFitted, SameSizeIsAnExactCopy) {
    TBitmap source, destination;
    source.Create(64, 48);
    destination.Create(64, 48);
    Fill(source, Position);
    destination.CopyFitted(source);
    GdiFlush();
    EXPECT_EQ(std::memcmp(source.Bits, destination.Bits, 64 * 48 * 4), 0);
}

TEST(CopyFitted, WiderSourceIsLetterBoxedOnBlack) {
    TBitmap source, destination;
    source.Create(1600, 900);
    destination.Create(800, 600);
    Fill(destination, White); // CopyFitted must clear what it does not cover
    Fill(source, White);
    destination.CopyFitted(source);
    GdiFlush();
    for (int y : {0, 74, 525, 599})
        EXPECT_EQ(Pixel(destination, 400, y), 0u) << "row " << y;
    for (int y : {75, 300, 524})
        EXPECT_EQ(Pixel(destination, 400, y), 0x00FFFFFFu) << "row " << y;
}

TEST(CopyFitted, WiderSourceWithoutShrinkIsCroppedEvenly) {
    TBitmap source, destination;
    source.Create(11, 4);
    destination.Create(8, 4);
    destination.ShrinkToFit = false;
    Fill(source, Position);
    destination.CopyFitted(source);
    GdiFlush();
    // x = -1: source column 1 lands in column 0, column 8 in column 7.
    EXPECT_EQ(Pixel(destination, 0, 2), Position(1, 2));
    EXPECT_EQ(Pixel(destination, 7, 3), Position(8, 3));
}

TEST(CopyFitted, EqualWidthSmallerHeightIsCentred) {
    TBitmap source, destination;
    source.Create(80, 30);
    destination.Create(80, 60);
    destination.StretchToFit = true;
    Fill(source, Position);
    destination.CopyFitted(source);
    GdiFlush();
    EXPECT_EQ(Pixel(destination, 5, 14), 0u);
    EXPECT_EQ(Pixel(destination, 5, 15), Position(5, 0));
    EXPECT_EQ(Pixel(destination, 79, 44), Position(79, 29));
    EXPECT_EQ(Pixel(destination, 5, 45), 0u);
}

double Quarter() {
    return 0.25;
}

TEST(CopyFitted, RandomPlacementUsesTheProgramsGenerator) {
    SetRandomSource(Quarter);
    TBitmap source, destination;
    source.Create(20, 10);
    destination.Create(80, 60);
    destination.StretchToFit = false;
    Fill(source, Position);
    destination.CopyFitted(source);
    SetRandomSource(nullptr);
    GdiFlush();
    EXPECT_EQ(Pixel(destination, 15, 12), Position(0, 0)); // x = 60 / 4, y = 50 / 4 = 12.5 -> 12
    EXPECT_EQ(Pixel(destination, 14, 12), 0u);
}

TEST(BitmapCreate, RaisesWhenTheSectionCannotBeMade) {
    TBitmap bitmap;
    EXPECT_THROW(bitmap.Create(0, 0), Exception);
    EXPECT_EQ(bitmap.DC, nullptr);
    EXPECT_EQ(bitmap.Bits, nullptr);
    bitmap.Destroy(); // nothing left to delete
}

TEST(BitmapCreate, SetsTheFlagsAndTopDownRows) {
    TBitmap bitmap;
    bitmap.ShrinkToFit = false;
    bitmap.StretchToFit = true;
    bitmap.RandomPlacement = false;
    bitmap.Create(3, 2);
    EXPECT_TRUE(bitmap.ShrinkToFit);
    EXPECT_FALSE(bitmap.StretchToFit);
    EXPECT_TRUE(bitmap.RandomPlacement);
    EXPECT_EQ(bitmap.RowBytes(), 12);
    // Row 0 is the top row: a pixel set with GDI at (2, 0) is the third word in memory.
    SetPixel(bitmap.DC, 2, 0, RGB(0x12, 0x34, 0x56));
    GdiFlush();
    EXPECT_EQ(Pixel(bitmap, 2, 0), 0x00123456u);
}

} // namespace
