#pragma once
// Starting the real program from a test: Brindlemax.scr (or a copy of it elsewhere) with a
// command line, waiting with a timeout, and reading its exit code.
#include <windows.h>

#include <optional>
#include <string>

namespace testing_support {

// The folder of the running test executable, with a trailing backslash; Brindlemax.scr and
// the test executables are built into the same folder.
std::string ExecutableFolder();
std::string ProgramPath(); // ExecutableFolder() + "Brindlemax.scr"

// A fresh, empty folder for one test under the system's temporary folder.
std::string MakeScratchFolder(const std::string& name);
bool CopyInto(const std::string& file, const std::string& folder, const std::string& newName = "");
std::string ReadWholeFile(const std::string& path);

class TProgram {
  public:
    TProgram() = default;
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;
    ~TProgram(); // kills a process that is still running

    // Starts "program" arguments; false if CreateProcess failed.
    bool Start(const std::string& program, const std::string& arguments);
    // The exit code, or nothing when the process is still running after the timeout.
    std::optional<DWORD> Wait(DWORD timeoutMs);
    bool Running() const;
    DWORD ProcessId() const { return Info.dwProcessId; }
    HANDLE Process() const { return Info.hProcess; }
    void Kill();

  private:
    PROCESS_INFORMATION Info{};
};

// Runs the program to its end; the exit code, or nothing after the timeout (it is then killed).
std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments,
                                DWORD timeoutMs);

// The first visible or hidden top-level window of the given class that belongs to the
// process, waiting up to the timeout for it to appear.
HWND WaitForWindow(const char* className, DWORD processId, DWORD timeoutMs);

} // namespace testing_support
