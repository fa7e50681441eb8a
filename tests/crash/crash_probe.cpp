// Starts exactly as Brindlemax.scr does (the same start-up table, the same crash hooks) and then
// fails the way its one argument says, so the crash reporter can be watched end to end.
//   read, write            access violation on the main thread
//   exception, foreign     an unhandled Exception / an object of another class
//   handled-then-exception a raise that is handled, then an unhandled Exception
//   handled-then-write     a handled raise, then an access violation
//   fpu                    x87 division by zero with the exception unmasked
//   fpu-raise              the same, and when the processor left the fault pending without
//                          raising it (as emulators do), raised by RaiseException instead
//   guarded-exception      an Exception inside the settings window's message guard
//   guarded-foreign        another object inside the guard, which lets it pass
//   both-threads           an unhandled Exception on two threads at the same moment
//   thread-<any of these>  the same on a second thread
//   caught-<any of these>  the same inside a handler of the probe's own: the note tells what
//                          arrived and the probe ends with exit code 3
// Before it fails, the probe notes in probe-site.txt the call site that the report's trace must
// show (the call of the failing function, or the first raise's call of the thrower).
#include "crash/crash_state.h"
#include "crash/exception.h"
#include "crash/exception_guard.h"
#include "crash/exception_support.h"
#include "shell/startup.h"

#include <float.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

// An exception object that is not an Exception.
struct TForeignObject {
    int Value;
};

namespace {

void WriteNote(const char* name, const std::string& text) {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::strcpy(std::strrchr(path, '\\') + 1, name);
    if (FILE* file = std::fopen(path, "wb")) {
        std::fputs(text.c_str(), file);
        std::fclose(file);
    }
}

// The call instruction in front of a return address (all calls here are direct, 5 bytes).
void NoteCallSite(void* returnAddress) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08X", reinterpret_cast<uint32_t>(returnAddress) - 5);
    WriteNote("probe-site.txt", text);
}

// Addresses that are never mapped in a 32-bit process.
volatile uintptr_t ReadTarget = 0x00000010;
volatile uintptr_t WriteTarget = 0x00000024;

__attribute__((noinline)) int ReadFault() {
    NoteCallSite(__builtin_return_address(0));
    return *reinterpret_cast<volatile int*>(ReadTarget);
}

__attribute__((noinline)) void WriteFault() {
    NoteCallSite(__builtin_return_address(0));
    *reinterpret_cast<volatile int*>(WriteTarget) = 1;
}

__attribute__((noinline)) void ThrowException() {
    throw Exception("Probe <failure> & \"quotes\"");
}

__attribute__((noinline)) void ThrowForeign() {
    throw TForeignObject{7};
}

volatile double Numerator = 1.0;
volatile double Denominator = 0.0;
uint16_t StatusAfterDivision = 0;

// Division by zero on the x87 unit with its zero-divide exception unmasked.
__attribute__((noinline)) double DivideByZero() {
    _clearfp();
    _control87(_MCW_EM & ~_EM_ZERODIVIDE, _MCW_EM);
    double result = Numerator / Denominator;
    asm volatile("fnstsw %0" : "=m"(StatusAfterDivision));
    return result + 1.0;
}

// Raised by the system on the program's behalf: the exception address lies in the system's
// code, which has no unwind information for the converted exception to pass.
__attribute__((noinline)) void DivideByZeroOrRaise() {
    DivideByZero();
    const uint16_t pending = 0x0084; // ZE and ES
    if ((StatusAfterDivision & pending) == pending)
        RaiseException(EXCEPTION_FLT_DIVIDE_BY_ZERO, 0, 0, nullptr);
}

LRESULT ThrowingBody(HWND, UINT message, WPARAM, LPARAM) {
    if (message == WM_USER)
        ThrowException();
    ThrowForeign();
    return 0;
}

HANDLE BothStart = nullptr;

DWORD WINAPI ThrowWhenStarted(void*) {
    WaitForSingleObject(BothStart, INFINITE);
    ThrowException();
    return 0;
}

std::string Action;

void Fail(const std::string& action) {
    if (action == "read") {
        std::printf("%d", ReadFault());
    } else if (action == "write") {
        WriteFault();
    } else if (action == "exception") {
        ThrowException();
    } else if (action == "foreign") {
        ThrowForeign();
    } else if (action == "fpu") {
        std::printf("%f", DivideByZero());
    } else if (action == "fpu-raise") {
        DivideByZeroOrRaise();
    } else if (action == "guarded-exception") {
        GuardMessage(ThrowingBody, nullptr, WM_USER, 0, 0);
    } else if (action == "guarded-foreign") {
        GuardMessage(ThrowingBody, nullptr, WM_USER + 1, 0, 0);
    } else if (action == "both-threads") {
        BothStart = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        CreateThread(nullptr, 65536, ThrowWhenStarted, nullptr, 0, nullptr);
        Sleep(200);
        SetEvent(BothStart);
        ThrowException();
    } else if (action == "handled-then-exception") {
        try {
            ThrowForeign();
        } catch (const TForeignObject&) {
            // The trace of this first raise is the one the report keeps.
            NoteCallSite(reinterpret_cast<void*>(CurrentRaiseAddress()));
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
        // "code parameters information0 information1 message" of what arrived.
        char detail[64];
        try {
            Fail(Action.substr(std::strlen("caught-")));
        } catch (const Exception& e) {
            std::snprintf(detail, sizeof(detail), "%08lX %lu %08lX %08lX ",
                          SavedExceptionRecord.ExceptionCode, SavedExceptionRecord.NumberParameters,
                          SavedExceptionRecord.ExceptionInformation[0],
                          SavedExceptionRecord.ExceptionInformation[1]);
            WriteNote("probe-note.txt", detail + e.Message());
            EndProcess(3);
        }
        std::snprintf(detail, sizeof(detail), "no fault, status word %04X", StatusAfterDivision);
        WriteNote("probe-note.txt", detail);
    } else {
        Fail(Action);
    }
    EndProcess(0);
}
