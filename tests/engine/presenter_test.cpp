// DirectDraw set up for a full-screen window in this process: both surfaces start with the still
// picture, and the release hands everything back, once.
#include "engine/presenter.h"

#include "engine/run_state.h"
#include "engine/saver_window.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class DirectDrawSetUp : public testing::Test {
  protected:
    void SetUp() override {
        LoadDirectDrawLibrary();
        ASSERT_TRUE(DirectDrawAvailable());
        FullScreen = true;
        FrameWidth = GetSystemMetrics(SM_CXSCREEN);
        FrameHeight = GetSystemMetrics(SM_CYSCREEN);
        SaverWindow = CreateSaverWindow(nullptr, 0, 0, FrameWidth, FrameHeight);
        ASSERT_NE(SaverWindow, nullptr);
        ShowWindow(SaverWindow, SW_SHOW);
        FrameBitmap.Create(FrameWidth, FrameHeight);
        for (int y = 0; y < FrameHeight; ++y)
            for (int x = 0; x < FrameWidth; ++x) {
                const uint32_t value = (x == 7 && y == 5) ? 0x00123456 : 0x00A0B0C0;
                std::memcpy(FrameBitmap.Bits + y * FrameBitmap.RowBytes() + x * 4, &value, 4);
            }
        DirectDrawInUse = true;
    }
    void TearDown() override {
        ReleaseDirectDraw();
        DirectDrawInUse = false;
        FrameBitmap.Destroy();
        StopState = 1; // the window's end is not a test's concern here
        if (IsWindow(SaverWindow))
            DestroyWindow(SaverWindow);
        StopState = 0;
        FullScreen = false;
        FreeDirectDrawLibrary();
    }
    static COLORREF PixelOf(IDirectDrawSurface* surface, int x, int y) {
        HDC dc = nullptr;
        if (surface->GetDC(&dc) != DD_OK)
            return CLR_INVALID;
        const COLORREF colour = GetPixel(dc, x, y);
        surface->ReleaseDC(dc);
        return colour;
    }
};

TEST_F(DirectDrawSetUp, FillsBothSurfacesWithTheStillPicture) {
    ASSERT_TRUE(SetUpDirectDraw());
    ASSERT_NE(PrimarySurface, nullptr);
    ASSERT_NE(BackSurface, nullptr);
    ASSERT_NE(PictureSurface, nullptr);
    EXPECT_EQ(PixelOf(BackSurface, 7, 5), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(PixelOf(PictureSurface, 7, 5), RGB(0x12, 0x34, 0x56));
    EXPECT_EQ(PixelOf(PictureSurface, FrameWidth - 1, FrameHeight - 1), RGB(0xA0, 0xB0, 0xC0));
}

TEST_F(DirectDrawSetUp, ReleaseClearsEverythingAndASecondReleaseDoesNothing) {
    ASSERT_TRUE(SetUpDirectDraw());
    ReleaseDirectDraw();
    EXPECT_EQ(DirectDrawObject, nullptr);
    EXPECT_EQ(PrimarySurface, nullptr);
    EXPECT_EQ(BackSurface, nullptr);
    EXPECT_EQ(PictureSurface, nullptr);
    ReleaseDirectDraw();
    EXPECT_EQ(DirectDrawObject, nullptr);
}

TEST_F(DirectDrawSetUp, ReleaseOutsideADirectDrawRunLeavesTheObjects) {
    ASSERT_TRUE(SetUpDirectDraw());
    DirectDrawInUse = false;
    ReleaseDirectDraw();
    EXPECT_NE(PrimarySurface, nullptr);
    DirectDrawInUse = true;
}

TEST(DirectDrawMissing, SetUpFailsWithoutTheEntryPoint) {
    FreeDirectDrawLibrary();
    EXPECT_FALSE(SetUpDirectDraw());
}

} // namespace
