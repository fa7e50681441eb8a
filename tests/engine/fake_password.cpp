// Stands in for the Windows 9x PASSWORD.CPL: VerifyScreenSavePwd answers with the environment
// variable BRINDLEMAX_TEST_PASSWORD ("1" accepts) and records the window it was given in
// BRINDLEMAX_TEST_PASSWORD_WINDOW.
#include <windows.h>

#include <string>

extern "C" BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    const std::string text = std::to_string(reinterpret_cast<uintptr_t>(window));
    SetEnvironmentVariableA("BRINDLEMAX_TEST_PASSWORD_WINDOW", text.c_str());
    char answer[8] = "";
    GetEnvironmentVariableA("BRINDLEMAX_TEST_PASSWORD", answer, sizeof(answer));
    return answer[0] == '1';
}
