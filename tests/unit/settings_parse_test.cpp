#include "shell/settings.h"
#include "shell/text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TTextCase {
    std::string Text;
    int32_t Default;
    int32_t Expected;
};

class SettingTextTable : public testing::TestWithParam<TTextCase> {};

TEST_P(SettingTextTable, ParsesWholeNumbersAndClamps) {
    EXPECT_EQ(SettingFromText(GetParam().Text, GetParam().Default), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingTextTable,
    testing::Values(TTextCase{"20000", 1, 20000}, TTextCase{"0", 1, 0},
                    TTextCase{"1000000", 1, 1000000}, TTextCase{"1000001", 1, 1000000},
                    TTextCase{"2147483647", 1, 1000000}, TTextCase{"-5", 1, 0},
                    TTextCase{"-0", 7, 0}, TTextCase{"abc", 20000, 20000},
                    TTextCase{"", 20000, 20000}, TTextCase{" 12", 3, 3}, TTextCase{"12 ", 3, 3},
                    TTextCase{"+5", 3, 3}, TTextCase{"12abc", 3, 3},
                    TTextCase{"2147483648", 3, 3}, TTextCase{"-2147483649", 3, 3},
                    TTextCase{"-", 3, 3}, TTextCase{std::string("12\0", 3), 3, 3},
                    TTextCase{std::string(65536, '9'), 4, 4},
                    // The clamp applies to the default too.
                    TTextCase{"x", -9, 0}, TTextCase{"x", 5000000, 1000000}));

TEST(Text, Hex8IsEightUppercaseDigits) {
    EXPECT_EQ(Hex8(0), "00000000");
    EXPECT_EQ(Hex8(0x0040A1C3), "0040A1C3");
    EXPECT_EQ(Hex8(0xFFFFFFFE), "FFFFFFFE");
}

TEST(Text, RoundEvenSendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundEven(2.5), 2);
    EXPECT_EQ(RoundEven(3.5), 4);
    EXPECT_EQ(RoundEven(-0.5), 0);
    EXPECT_EQ(RoundEven(-0.6), -1);
    EXPECT_EQ(RoundEven(-1.5), -2);
}

TEST(Settings, KeyPathIsRelativeToTheRoot) {
    EXPECT_EQ(SettingsKeyPath(), "Software\\Tarvenix\\Brindlemax");
}

} // namespace
