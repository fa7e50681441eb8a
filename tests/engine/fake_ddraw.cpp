// Stands in for a DirectDraw that cannot be created: DirectDrawCreate fails, and leaves
// DirectDrawCreate.txt beside the DLL so the test knows this DLL was asked.
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

extern "C" HRESULT WINAPI DirectDrawCreate(GUID*, void** object, IUnknown*) {
    char path[MAX_PATH];
    GetModuleFileNameA(Self, path, MAX_PATH);
    std::string file = path;
    file = file.substr(0, file.find_last_of('\\') + 1) + "DirectDrawCreate.txt";
    if (FILE* out = std::fopen(file.c_str(), "wb")) {
        std::fputs("called\n", out);
        std::fclose(out);
    }
    if (object)
        *object = nullptr;
    return E_FAIL;
}
