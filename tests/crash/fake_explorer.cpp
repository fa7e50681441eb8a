// Stands in for Windows Explorer beside a copy of the crashing program: records the command line
// it was started with in explorer-command.txt in its own folder, then ends.
#include <windows.h>

#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    char* slash = std::strrchr(path, '\\');
    if (length == 0 || !slash)
        return 1;
    std::strcpy(slash + 1, "explorer-command.txt");
    // Written under another name and then renamed, so a reader never sees half a record.
    char partial[MAX_PATH + 8];
    std::strcpy(partial, path);
    std::strcat(partial, ".new");
    HANDLE file = CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    const char* line = GetCommandLineA();
    DWORD written;
    WriteFile(file, line, static_cast<DWORD>(std::strlen(line)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
