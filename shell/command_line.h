#pragma once
// The screen-saver host's command line: a mode letter after a switch character, then optionally
// a colon or a blank and a decimal window handle.
#include <cstdint>
#include <string>

#include <windows.h>

inline constexpr size_t MaxArgumentLength = 255;

struct TCommandLine {
    std::string RunMode;      // lower-cased, its first character removed
    std::string RunParameter; // after the colon, or argument 2
    int32_t HostWindow;       // RunParameter as a number, 0 when it is not one
};

// Arguments 1 and 2 of the process (either may be null when absent).
TCommandLine ParseCommandLine(const char* argument1, const char* argument2);

enum class TRunModeAction { Configure, Preview, FullScreen, ChangePassword, Quit };
TRunModeAction ActionForMode(const std::string& runMode);

extern std::string RunMode;
extern std::string RunParameter;
extern HWND HostWindow;

// Parses this process's own arguments into the three globals above.
void ParseProcessCommandLine();
