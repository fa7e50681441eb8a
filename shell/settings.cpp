#include "shell/settings.h"

#include "shell/product.h"
#include "shell/random.h"
#include "shell/text.h"

#include <algorithm>
#include <vector>

TSettings Settings{};
int32_t* RunCounterRef = nullptr;
bool RunFromConfig = false;

namespace {

// Closes a registry key that a scope opened.
class TRegKey {
  public:
    TRegKey() = default;
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    ~TRegKey() {
        if (Key)
            RegCloseKey(Key);
    }
    HKEY* Out() { return &Key; }
    HKEY Get() const { return Key; }

  private:
    HKEY Key = nullptr;
};

bool OpenUserKey(TRegKey& key) {
    return RegCreateKeyExA(HKEY_CURRENT_USER, SettingsKeyPath().c_str(), 0, nullptr,
                           REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.Out(),
                           nullptr) == ERROR_SUCCESS;
}

void WriteSettingInt(HKEY key, const char* name, int32_t value) {
    const std::string text = std::to_string(value);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

} // namespace

std::string SettingsKeyPath() {
    const std::string path = std::string("\\Software\\") + CompanyName + "\\" + ProductName;
    return path.substr(1);
}

int32_t SettingFromText(std::string_view text, int32_t defaultValue) {
    const int32_t value = ParseInt32(text).value_or(defaultValue);
    return std::clamp(value, SettingMinimum, SettingMaximum);
}

std::string ReadRegistryText(HKEY key, const char* name) {
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return {};
    std::vector<char> data(size);
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return {};
    size = std::min<DWORD>(size, static_cast<DWORD>(data.size()));
    std::string text(data.data(), size);
    // String data need not carry its terminating NUL; the text stops at the first one it has.
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

int32_t ReadSettingInt(HKEY key, const char* name, int32_t defaultValue) {
    return SettingFromText(ReadRegistryText(key, name), defaultValue);
}

void InitSettingsStore() {
    Settings = TSettings{};
    RunCounterRef = nullptr;
    RunFromConfig = false;
}

void InitSettings() {
    LoadSettings();
    SeedRandom(GetTickCount());
    RunFromConfig = false;
}

void LoadSettings() {
    {
        TRegKey user;
        if (OpenUserKey(user)) {
            Settings.RollPeriodMs = ReadSettingInt(user.Get(), "Convert", 20000);
            Settings.RunCounter = ReadSettingInt(user.Get(), "Hrkl", 0);
            RunCounterRef = &Settings.RunCounter;
            Settings.UseDirectDraw = ReadSettingInt(user.Get(), "DDraw", 1) != 0;
            Settings.StopKey = ReadSettingInt(user.Get(), "StopKey", 1);
            Settings.ExitOnMouseMove = ReadSettingInt(user.Get(), "MouseMove", 1) != 0;
        } else {
            Settings.RollPeriodMs = 20000;
            Settings.RunCounter = 0;
            Settings.UseDirectDraw = true;
            Settings.StopKey = 1;
            Settings.ExitOnMouseMove = true;
        }
    }
    TRegKey machine;
    std::string path;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath().c_str(), 0, KEY_READ, machine.Out()) ==
        ERROR_SUCCESS)
        path = ReadRegistryText(machine.Get(), "Path");
    Settings.InstallPath = path;
}

void SaveSettings() {
    TRegKey user;
    OpenUserKey(user);
    WriteSettingInt(user.Get(), "Convert", Settings.RollPeriodMs);
    WriteSettingInt(user.Get(), "Hrkl", Settings.RunCounter);
    WriteSettingInt(user.Get(), "DDraw", Settings.UseDirectDraw ? 1 : 0);
    WriteSettingInt(user.Get(), "StopKey", Settings.StopKey);
    WriteSettingInt(user.Get(), "MouseMove", Settings.ExitOnMouseMove ? 1 : 0);
}

void SaveRunCounter() {
    TRegKey user;
    OpenUserKey(user);
    WriteSettingInt(user.Get(), "Hrkl", Settings.RunCounter);
}
