// Stands in for the Windows 9x MPR.DLL: records the arguments of PwdChangePasswordA in
// PwdChangePasswordA.txt beside itself, as "provider window arg3 arg4".
#include <windows.h>

#include <cstdio>
#include <string>

namespace {
HMODULE Self = nullptr;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH)
        Self = instance;
    return TRUE;
}

extern "C" DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND window, DWORD reserved1,
                                           DWORD reserved2) {
    char path[MAX_PATH];
    GetModuleFileNameA(Self, path, MAX_PATH);
    std::string file = path;
    file = file.substr(0, file.find_last_of('\\') + 1) + "PwdChangePasswordA.txt";
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fprintf(out, "%s %ld %lu %lu\n", provider ? provider : "(null)",
                     static_cast<long>(reinterpret_cast<intptr_t>(window)), reserved1, reserved2);
        std::fclose(out);
    }
    return 0;
}
