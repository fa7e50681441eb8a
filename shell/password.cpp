#include "shell/password.h"

#include "shell/command_line.h"
#include "shell/library.h"

#include <windows.h>

void ChangePassword() {
    const HMODULE module = LoadLibraryA("MPR.DLL");
    if (!LibraryLoaded(module))
        return;
    using TPwdChangePassword = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const auto change = GetProcedure<TPwdChangePassword>(module, "PwdChangePasswordA");
    if (change)
        change("SCRSAVE", HostWindow, 0, 0);
    FreeLibrary(module);
}
