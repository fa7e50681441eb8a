// The row tables over the run's two bitmaps.
#include "engine/roll_renderer.h"

#include "engine/roll_compose.h"
#include "engine/run_state.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

uint32_t Word(const TBitmap& b, int x, int y) {
    uint32_t value;
    std::memcpy(&value, b.Bits + y * b.RowBytes() + x * 4, 4);
    return value;
}

TEST(RowTables, FrameTallerThan10001RowsIsComposedWhole) {
    constexpr int W = 3, H = 10040;
    FrameBitmap.Create(W, H);
    PictureBitmap.Create(W, H);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const uint32_t value = static_cast<uint32_t>(y * W + x);
            std::memcpy(PictureBitmap.Bits + y * PictureBitmap.RowBytes() + x * 4, &value, 4);
        }
    BuildRowTables();
    ASSERT_EQ(DstRows.size(), static_cast<size_t>(H));
    EXPECT_EQ(SrcRows[H - 1], PictureBitmap.Bits + (H - 1) * W * 4);

    ComposeFrame(DstRows.data(), SrcRows.data(), RollWidth, RollHeight, 1, 10020);
    for (int y : {0, 19, 20, 10039})
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(Word(FrameBitmap, x, y), Word(PictureBitmap, (x + 1) % W, (y + 10020) % H))
                << x << ", " << y;
    FrameBitmap.Destroy();
    PictureBitmap.Destroy();
}

} // namespace
