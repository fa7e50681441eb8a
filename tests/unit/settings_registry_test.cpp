// The settings store against the real registry.
#include "shell/settings.h"
#include "support/registry.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

namespace {

using namespace testing_support;

class SettingsRegistry : public testing::Test {
  protected:
    void SetUp() override {
        ClearCompanyKey();
        InitSettingsStore();
    }
    void TearDown() override { ClearCompanyKey(); }
};

TEST_F(SettingsRegistry, CleanAccountGetsDefaultsAndAnEmptyKey) {
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 20000);
    EXPECT_EQ(Settings.RunCounter, 0);
    EXPECT_TRUE(Settings.UseDirectDraw);
    EXPECT_EQ(Settings.StopKey, 1);
    EXPECT_TRUE(Settings.ExitOnMouseMove);
    EXPECT_EQ(Settings.InstallPath, "");
    EXPECT_EQ(RunCounterRef, &Settings.RunCounter);

    // The key exists, but loading wrote no value into it.
    ASSERT_TRUE(KeyExists(HKEY_CURRENT_USER, ProductKey));
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ProductKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    EXPECT_EQ(values, 0u);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
}

TEST_F(SettingsRegistry, ReadsStoredTextAndClamps) {
    WriteText("Convert", "-5");
    WriteText("Hrkl", "1234567");
    WriteText("DDraw", "2");
    WriteText("StopKey", "3");
    WriteText("MouseMove", "0");
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 0);
    EXPECT_EQ(Settings.RunCounter, 1000000);
    EXPECT_TRUE(Settings.UseDirectDraw);
    EXPECT_EQ(Settings.StopKey, 3);
    EXPECT_FALSE(Settings.ExitOnMouseMove);
}

struct TBadValue {
    const char* Name;
    DWORD Type;
    std::string Data;
};

class BadRegistryData : public SettingsRegistry, public testing::WithParamInterface<TBadValue> {};

TEST_P(BadRegistryData, GivesTheDefault) {
    const TBadValue& bad = GetParam();
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, "Convert", bad.Type, bad.Data);
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 20000);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadRegistryData,
    testing::Values(TBadValue{"dword", REG_DWORD, std::string("\x10\x27\0\0", 4)},
                    TBadValue{"binary digits without NUL", REG_BINARY, "12x"},
                    TBadValue{"multi string", REG_MULTI_SZ, std::string("12\0\0", 4)},
                    TBadValue{"empty string", REG_SZ, std::string()},
                    TBadValue{"only a NUL", REG_SZ, std::string(1, '\0')},
                    TBadValue{"64 KiB of digits", REG_SZ, std::string(65536, '7') + '\0'},
                    TBadValue{"leading blank", REG_SZ, std::string(" 12\0", 4)},
                    TBadValue{"plus sign", REG_SZ, std::string("+5\0", 3)},
                    TBadValue{"trailing letters", REG_SZ, std::string("12abc\0", 6)},
                    TBadValue{"overflow", REG_SZ, std::string("2147483648\0", 11)}),
    [](const testing::TestParamInfo<TBadValue>& info) {
        std::string name;
        for (const char* c = info.param.Name; *c; ++c)
            name += (*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') ? *c : '_';
        return name;
    });

TEST_F(SettingsRegistry, StringDataWithoutItsNulIsStillRead) {
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, "Convert", REG_SZ, "4500");
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, "Hrkl", REG_BINARY, "17");
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, "StopKey", REG_SZ, std::string("2\0junk", 6));
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 4500);
    EXPECT_EQ(Settings.RunCounter, 17); // other types are taken byte for byte
    EXPECT_EQ(Settings.StopKey, 2);
    WriteText("Convert", "-0");
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 0);
}

TEST_F(SettingsRegistry, SaveWritesFiveStringsWithTheirNul) {
    Settings = TSettings{45000, 12, false, 2, true, ""};
    SaveSettings();
    const struct {
        const char* Name;
        const char* Text;
    } expected[] = {{"Convert", "45000"}, {"Hrkl", "12"}, {"DDraw", "0"}, {"StopKey", "2"},
                    {"MouseMove", "1"}};
    for (const auto& e : expected) {
        const auto raw = ReadRawValue(HKEY_CURRENT_USER, ProductKey, e.Name);
        ASSERT_TRUE(raw) << e.Name;
        EXPECT_EQ(raw->Type, static_cast<DWORD>(REG_SZ)) << e.Name;
        EXPECT_EQ(raw->Data, std::string(e.Text) + '\0') << e.Name;
    }
}

TEST_F(SettingsRegistry, SaveReplacesADwordValueWithAString) {
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, "Convert", REG_DWORD, std::string("abcd", 4));
    LoadSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 20000);
    SaveSettings();
    EXPECT_EQ(ReadText("Convert"), "20000");
}

TEST_F(SettingsRegistry, RunCounterSaveWritesOnlyHrkl) {
    LoadSettings();
    Settings.RunCounter = 41;
    SaveRunCounter();
    EXPECT_EQ(ReadText("Hrkl"), "41");
    EXPECT_FALSE(ReadRawValue(HKEY_CURRENT_USER, ProductKey, "Convert"));
}

TEST_F(SettingsRegistry, StopKeyThreeSurvivesALoadAndSave) {
    WriteText("StopKey", "3");
    LoadSettings();
    SaveSettings();
    EXPECT_EQ(ReadText("StopKey"), "3");
}

TEST_F(SettingsRegistry, InstallPathComesFromTheMachineKeyAndIsClearedWhenItGoes) {
    WriteRawValue(HKEY_LOCAL_MACHINE, ProductKey, "Path", REG_SZ,
                  std::string("C:\\Program Files\\Brindlemax\0", 28));
    LoadSettings();
    EXPECT_EQ(Settings.InstallPath, "C:\\Program Files\\Brindlemax");
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, CompanyKey);
    LoadSettings();
    EXPECT_EQ(Settings.InstallPath, "");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, ProductKey));
}

TEST_F(SettingsRegistry, InitSettingsClearsRunFromConfig) {
    RunFromConfig = true;
    InitSettings();
    EXPECT_FALSE(RunFromConfig);
}

} // namespace
