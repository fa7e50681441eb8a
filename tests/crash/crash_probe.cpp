// Starts exactly as Brindlemax.scr does (the same start-up table, the same crash hooks) and then
// fails the way its one argument says, so the crash reporter can be watched end to end.
#include "crash/crash_state.h"
#include "crash/exception.h"
#include "shell/startup.h"

#include <float.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct TForeignObject {
    int Value;
};

// Addresses that are never mapped in a 32-bit process.
volatile uintptr_t ReadTarget = 0x00000010;
volatile uintptr_t WriteTarget = 0x00000024;

__attribute__((noinline)) int ReadFault() {
    return *reinterpret_cast<volatile int*>(ReadTarget);
}
__attribute__((noinline)) void WriteFault() {
    *reinterpret_cast<volatile int*>(WriteTarget) = 1;
}

__attribute__((noinline)) void ThrowException() {
    throw Exception("Probe <failure> & \"quotes\"");
}

__attribute__((noinline)) void ThrowForeign() {
    throw TForeignObject{7};
}

uint16_t LastStatusWord = 0;
volatile double Numerator = 1.0;
volatile double Denominator = 0.0;

// Division by zero on the x87 unit with its zero-divide exception unmasked.
__attribute__((noinline)) double DivideByZero() {
    _control87(_MCW_EM & ~_EM_ZERODIVIDE, _MCW_EM);
    double result = Numerator / Denominator;
    asm volatile("fnstsw %0" : "=m"(LastStatusWord));
    return result + 1.0;
}

void WriteNote(const std::string& text) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, "probe-note.txt");
    if (FILE* file = std::fopen(path, "wb")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

std::string Action;

void Fail(const std::string& action) {
    if (action == "read")
        std::printf("%d", ReadFault());
    else if (action == "write")
        WriteFault();
    else if (action == "exception")
        ThrowException();
    else if (action == "foreign")
        ThrowForeign();
    else if (action == "fpu")
        std::printf("%f", DivideByZero());
    else if (action == "handled-then-exception") {
        try {
            ThrowForeign();
        } catch (const TForeignObject&) {
        }
        ThrowException();
    } else if (action == "handled-then-write") {
        try {
            ThrowException();
        } catch (const Exception&) {
        }
        WriteFault();
    }
}

DWORD WINAPI FailOnThread(void*) {
    Fail(Action.substr(std::strlen("thread-")));
    return 0;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RunStartupInitialisations();
    InstallCrashHooks();
    Action = __argc > 1 ? __argv[1] : "";

    if (Action.rfind("thread-", 0) == 0) {
        HANDLE thread = CreateThread(nullptr, 65536, FailOnThread, nullptr, 0, nullptr);
        WaitForSingleObject(thread, INFINITE);
    } else if (Action.rfind("caught-", 0) == 0) {
        // The fault must arrive as an ordinary exception that the program's own handler takes.
        try {
            Fail(Action.substr(std::strlen("caught-")));
        } catch (const Exception& e) {
            char detail[160];
            std::snprintf(detail, sizeof(detail),
                          " code=%08lX params=%lu info=%08lX,%08lX fsw=%04X",
                          SavedExceptionRecord.ExceptionCode, SavedExceptionRecord.NumberParameters,
                          SavedExceptionRecord.ExceptionInformation[0],
                          SavedExceptionRecord.ExceptionInformation[1], LastStatusWord);
            WriteNote(e.Message() + detail);
            EndProcess(3);
        }
        char detail[64];
        std::snprintf(detail, sizeof(detail), "no fault fsw=%04X", LastStatusWord);
        WriteNote(detail);
    } else {
        Fail(Action);
    }
    EndProcess(0);
}
