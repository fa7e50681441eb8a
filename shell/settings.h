#pragma once
// The settings store: the user's few settings in one record, loaded from and saved to
// HKEY_CURRENT_USER\Software\Tarvenix\Brindlemax as string values.
#include <cstdint>
#include <string>
#include <string_view>

#include <windows.h>

struct TSettings {
    int32_t RollPeriodMs;   // "Convert"
    int32_t RunCounter;     // "Hrkl"
    bool UseDirectDraw;     // "DDraw"
    int32_t StopKey;        // "StopKey": 1 Spacebar, 2 Pause/Break, anything else none
    bool ExitOnMouseMove;   // "MouseMove"
    std::string InstallPath; // machine-wide "Path", read only
};

extern TSettings Settings;
// Null until a load has opened the per-user key; then it refers to Settings.RunCounter.
extern int32_t* RunCounterRef;
// A saver run started by the configuration window's Preview button.
extern bool RunFromConfig;

inline constexpr int32_t SettingMinimum = 0;
inline constexpr int32_t SettingMaximum = 1000000;

// Subkey below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE (the leading backslash removed).
std::string SettingsKeyPath();

// A stored text as a setting: parsed as a whole signed 32-bit decimal number, the default when
// it does not parse, and then clamped to 0..1000000.
int32_t SettingFromText(std::string_view text, int32_t defaultValue);

// The text of a registry value: REG_SZ and REG_EXPAND_SZ end at the first NUL, any other type
// is taken byte for byte. Empty when the value is missing or unreadable.
std::string ReadRegistryText(HKEY key, const char* name);

void InitSettingsStore();
void InitSettings();
void LoadSettings();
int32_t ReadSettingInt(HKEY key, const char* name, int32_t defaultValue);
void SaveSettings();
void SaveRunCounter();
