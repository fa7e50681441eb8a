#pragma once
// Registry helpers for tests: each test that touches the settings starts from a clean account.
#include <windows.h>

#include <optional>
#include <string>

namespace testing_support {

inline constexpr char CompanyKey[] = "Software\\Tarvenix";
inline constexpr char ProductKey[] = "Software\\Tarvenix\\Brindlemax";

// Removes HKCU\Software\Tarvenix with everything below it.
void ClearCompanyKey();
bool KeyExists(HKEY root, const char* path);

struct TRawValue {
    DWORD Type;
    std::string Data; // byte for byte, terminating NUL included when stored
};
std::optional<TRawValue> ReadRawValue(HKEY root, const char* path, const char* name);
void WriteRawValue(HKEY root, const char* path, const char* name, DWORD type,
                   const std::string& data);
// A REG_SZ value as the program writes it: text plus its NUL.
void WriteText(const char* name, const std::string& text);
std::optional<std::string> ReadText(const char* name);

} // namespace testing_support
