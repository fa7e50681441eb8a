// The resources built into Brindlemax.scr, read from the file as Windows reads them.
#include "support/process.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace testing_support;

class ProgramResources : public testing::Test {
  protected:
    void SetUp() override {
        Module = LoadLibraryExA(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(Module, nullptr);
    }
    void TearDown() override { FreeLibrary(Module); }

    std::string Resource(LPCSTR type, int id) const {
        HRSRC found = FindResourceA(Module, MAKEINTRESOURCEA(id), type);
        if (!found)
            return {};
        const char* data = static_cast<const char*>(LockResource(LoadResource(Module, found)));
        return std::string(data, SizeofResource(Module, found));
    }

    HMODULE Module = nullptr;
};

TEST_F(ProgramResources, IconFiveHundredHasSeveralSizes) {
    const std::string group = Resource(RT_GROUP_ICON, 500);
    ASSERT_GE(group.size(), 6u);
    const unsigned count = static_cast<unsigned char>(group[4]);
    EXPECT_GE(count, 2u);
    HICON icon =
        static_cast<HICON>(LoadImageA(Module, MAKEINTRESOURCEA(500), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon)
        DestroyIcon(icon);
}

TEST_F(ProgramResources, HandCursorIsThirtyTwoSquareWithItsHotSpotAtTheFingertip) {
    const std::string group = Resource(RT_GROUP_CURSOR, 1);
    ASSERT_EQ(group.size(), 6u + 14u); // header and one entry
    const auto word = [&](const std::string& s, size_t at) {
        return static_cast<unsigned>(static_cast<unsigned char>(s[at]) |
                                     (static_cast<unsigned char>(s[at + 1]) << 8));
    };
    EXPECT_EQ(word(group, 6), 32u); // width
    EXPECT_EQ(word(group, 8), 64u); // height of the XOR and AND masks
    const unsigned imageId = word(group, 18);
    const std::string image = Resource(RT_CURSOR, static_cast<int>(imageId));
    ASSERT_GE(image.size(), 4u + 40u);
    EXPECT_EQ(word(image, 0), 13u);     // hot spot x
    EXPECT_EQ(word(image, 2), 5u);      // hot spot y
    EXPECT_EQ(word(image, 4 + 14), 4u); // the image's bits per pixel: 16 colours
}

TEST_F(ProgramResources, ManifestAsksForCommonControlsSix) {
    const std::string manifest = Resource(RT_MANIFEST, 1);
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
}

TEST(ProgramVersionInfo, IsOnePointOneWithCompanyAndProduct) {
    const std::string path = ProgramPath();
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    ASSERT_GT(size, 0u);
    std::string data(size, '\0');
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010001u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
    const auto text = [&](const char* name) {
        char* value = nullptr;
        UINT chars = 0;
        const std::string key = std::string("\\StringFileInfo\\040904E4\\") + name;
        if (!VerQueryValueA(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &chars))
            return std::string();
        return std::string(value);
    };
    EXPECT_EQ(text("CompanyName"), "Tarvenix");
    EXPECT_EQ(text("ProductName"), "Brindlemax");
    EXPECT_EQ(text("FileVersion"), "1.1.0.0");
    EXPECT_FALSE(text("FileDescription").empty());
}

} // namespace
