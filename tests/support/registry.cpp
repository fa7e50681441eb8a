#include "support/registry.h"

#include <shlwapi.h>

#include <vector>

namespace testing_support {

void ClearCompanyKey() { SHDeleteKeyA(HKEY_CURRENT_USER, CompanyKey); }

bool KeyExists(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::optional<TRawValue> ReadRawValue(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    std::optional<TRawValue> result;
    if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<char> data(size + 1);
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                             &size) == ERROR_SUCCESS)
            result = TRawValue{type, std::string(data.data(), size)};
    }
    RegCloseKey(key);
    return result;
}

void WriteRawValue(HKEY root, const char* path, const char* name, DWORD type,
                   const std::string& data) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void WriteText(const char* name, const std::string& text) {
    WriteRawValue(HKEY_CURRENT_USER, ProductKey, name, REG_SZ, text + '\0');
}

std::optional<std::string> ReadText(const char* name) {
    auto raw = ReadRawValue(HKEY_CURRENT_USER, ProductKey, name);
    if (!raw || raw->Type != REG_SZ || raw->Data.empty() || raw->Data.back() != '\0')
        return std::nullopt;
    return raw->Data.substr(0, raw->Data.size() - 1);
}

} // namespace testing_support
