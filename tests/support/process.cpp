#include "support/process.h"

#include <fstream>
#include <sstream>

#include <shlwapi.h>

namespace testing_support {

std::string ExecutableFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text = path;
    return text.substr(0, text.find_last_of('\\') + 1);
}

std::string ProgramPath() { return ExecutableFolder() + "Brindlemax.scr"; }

std::string MakeScratchFolder(const std::string& name) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "brindlemax-" + name;
    std::string doubleNul = folder + '\0';
    SHFILEOPSTRUCTA remove{};
    remove.wFunc = FO_DELETE;
    remove.pFrom = doubleNul.c_str();
    remove.fFlags = FOF_NO_UI;
    SHFileOperationA(&remove);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder + "\\";
}

bool CopyInto(const std::string& file, const std::string& folder, const std::string& newName) {
    const std::string name = newName.empty() ? file.substr(file.find_last_of('\\') + 1) : newName;
    return CopyFileA(file.c_str(), (folder + name).c_str(), FALSE) != 0;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TProgram::~TProgram() {
    Kill();
    if (Info.hThread)
        CloseHandle(Info.hThread);
    if (Info.hProcess)
        CloseHandle(Info.hProcess);
}

bool TProgram::Start(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\"";
    if (!arguments.empty())
        line += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    return CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &Info) != 0;
}

std::optional<DWORD> TProgram::Wait(DWORD timeoutMs) {
    if (!Info.hProcess || WaitForSingleObject(Info.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(Info.hProcess, &code);
    return code;
}

bool TProgram::Running() const {
    return Info.hProcess && WaitForSingleObject(Info.hProcess, 0) == WAIT_TIMEOUT;
}

void TProgram::Kill() {
    if (Running()) {
        TerminateProcess(Info.hProcess, 99);
        WaitForSingleObject(Info.hProcess, 5000);
    }
}

std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments,
                                DWORD timeoutMs) {
    TProgram process;
    if (!process.Start(program, arguments))
        return std::nullopt;
    return process.Wait(timeoutMs);
}

namespace {
struct TWindowSearch {
    const char* ClassName;
    DWORD ProcessId;
    HWND Found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TWindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[256];
    if (owner == search->ProcessId && GetClassNameA(window, name, sizeof(name)) &&
        lstrcmpA(name, search->ClassName) == 0) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        TWindowSearch search{className, processId, nullptr};
        EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.Found)
            return search.Found;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

} // namespace testing_support
