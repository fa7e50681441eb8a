#include "shell/command_line.h"

#include "shell/text.h"

#include <cstdlib>

std::string RunMode;
std::string RunParameter;
HWND HostWindow = nullptr;

namespace {
std::string StoredArgument(const char* argument) {
    std::string text = argument ? argument : "";
    if (text.size() > MaxArgumentLength)
        text.resize(MaxArgumentLength);
    return text;
}
} // namespace

TCommandLine ParseCommandLine(const char* argument1, const char* argument2) {
    TCommandLine result;
    const std::string first = StoredArgument(argument1);
    const size_t colon = first.find(':');
    if (colon == std::string::npos) {
        result.RunMode = first;
        result.RunParameter = StoredArgument(argument2);
    } else {
        result.RunMode = first.substr(0, colon);
        result.RunParameter = first.substr(colon + 1);
    }
    if (!result.RunMode.empty())
        result.RunMode.erase(0, 1);
    for (char& c : result.RunMode)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    result.HostWindow = ParseInt32(result.RunParameter).value_or(0);
    return result;
}

TRunModeAction ActionForMode(const std::string& runMode) {
    if (runMode.empty() || runMode == "c")
        return TRunModeAction::Configure;
    if (runMode == "p")
        return TRunModeAction::Preview;
    if (runMode == "s")
        return TRunModeAction::FullScreen;
    if (runMode == "a")
        return TRunModeAction::ChangePassword;
    return TRunModeAction::Quit;
}

void ParseProcessCommandLine() {
    // The C runtime splits the command line with the platform's usual rules (quotes, blanks).
    const char* argument1 = __argc > 1 ? __argv[1] : nullptr;
    const char* argument2 = __argc > 2 ? __argv[2] : nullptr;
    const TCommandLine line = ParseCommandLine(argument1, argument2);
    RunMode = line.RunMode;
    RunParameter = line.RunParameter;
    HostWindow = reinterpret_cast<HWND>(static_cast<intptr_t>(line.HostWindow));
}
