#include "crash/exception_capture.h"

#include "crash/bug_report.h"
#include "crash/crash_state.h"
#include "crash/exception_support.h"
#include "crash/module_map.h"
#include "engine/presenter.h"
#include "shell/startup.h"

#include <cstdio>
#include <cstring>
#include <cxxabi.h>

namespace {

constexpr UINT CrashExitCode = 217;

// The thread that produces the report; a failure of another thread meanwhile waits for it.
std::atomic<DWORD> ReportThread{0};
constexpr DWORD OtherThreadWaitMs = 60000;

// Explorer's command line, prepared outside the heap.
char ExplorerCommand[2 * MAX_PATH + 32];

void AppendHex(std::string& text, uint32_t value, int digits) {
    static const char Digits[] = "0123456789ABCDEF";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        text.push_back(Digits[(value >> shift) & 15]);
}

// How many of the `wanted` bytes from start can be read, page by page.
size_t ReadableBytes(uint32_t start, size_t wanted) {
    size_t count = 0;
    while (count < wanted) {
        const uint32_t at = start + count;
        const uint32_t toPageEnd = 0x1000 - (at & 0xFFF);
        const size_t chunk = std::min<size_t>(wanted - count, toPageEnd);
        if (!IsReadable(at, chunk))
            break;
        count += chunk;
    }
    return count;
}

void CaptureTrace(const char* prefix, const char* failureWord) {
    try {
        CapturedStackPointer = CurrentStackPointer();
        StackTraceText.assign(prefix);
        AppendStackTrace(CapturedStackPointer, StackTraceText);
        BuildRawStackDump();
    } catch (...) {
        StackTraceText.assign(failureWord);
    }
}

} // namespace

void InstallUnhandledExceptionHandler() {
    SetUnhandledHandler(UnhandledExceptionHandler);
    // The conversion of faults into exceptions goes in first, so that the filter installed next
    // hands every fault it has recorded on to it.
    InstallFaultConversion();
}

void InstallTopLevelFilter() {
    PreviousFilter = SetUnhandledExceptionFilter(TopLevelExceptionFilter);
}

void InstallRaiseHook() {
    PreviousRaiseHook = SetRaiseHook(RaiseHook);
}

LONG WINAPI TopLevelExceptionFilter(EXCEPTION_POINTERS* pointers) {
    asm volatile("fnclex");
    if (InFilter) {
        // A fault inside the capture itself (or on another thread meanwhile): record nothing,
        // but convert it, so the capture's own handler catches it.
        return PreviousFilter ? PreviousFilter(pointers) : EXCEPTION_EXECUTE_HANDLER;
    }
    InFilter = true;
    if (!ReportActive) {
        std::memcpy(&SavedExceptionRecord, pointers->ExceptionRecord, sizeof(SavedExceptionRecord));
        std::memcpy(&SavedContext, pointers->ContextRecord, sizeof(SavedContext));
        try {
            CapturedStackPointer = SavedContext.Esp;
            StackTraceText.clear();
            AppendStackTrace(CapturedStackPointer, StackTraceText);
            BuildRawStackDump();
        } catch (...) {
            StackTraceText.assign(FilterFailedText);
        }
    }
    const LONG result = PreviousFilter ? PreviousFilter(pointers) : EXCEPTION_EXECUTE_HANDLER;
    InFilter = false;
    RaiseFrame = 0;
    return result;
}

void RaiseHook(void* object, uint32_t raiseAddress, uint32_t frameCount, const uint32_t* frames) {
    if (InFilter || InRaiseHook)
        return;
    InRaiseHook = true;
    if (!ReportActive) {
        if (StackTraceText == NoTraceText)
            CaptureTrace("\r\n", RaiseHookFailedText);
        if (!frames)
            RaiseFrame = 0xFFFFFFFE;
        else if (!IsReadable(reinterpret_cast<uint32_t>(frames), sizeof(*frames)))
            RaiseFrame = 0xFFFFFFFF;
        else
            RaiseFrame = frames[0];
    }
    if (PreviousRaiseHook)
        PreviousRaiseHook(object, raiseAddress, frameCount, frames);
    InRaiseHook = false;
}

std::string ForeignClassText(const std::string& className) {
    return "Exception object " + className + " is not of class Exception.";
}

void UnhandledExceptionHandler(std::exception_ptr object, uint32_t raiseAddress, uint32_t,
                               const uint32_t*) {
    std::string message;
    std::string classText;
    try {
        if (object)
            std::rethrow_exception(object);
    } catch (const Exception& e) {
        classText = DemangledName(typeid(e));
        message = e.Message();
    } catch (...) {
        classText = ForeignClassText(DemangledName(*abi::__cxa_current_exception_type()));
    }
    ReportException(message, classText, raiseAddress, OriginUnhandled);
}

void ReportException(const std::string& message, const std::string& classText, uint32_t address,
                     uint32_t originFlags) {
    const DWORD thread = GetCurrentThreadId();
    if (ReportActive.exchange(true)) {
        // A second failure while the report is produced still ends the process as a crash.
        // Another thread's failure waits: the first thread's report ends the process.
        if (ReportThread != thread)
            Sleep(OtherThreadWaitMs);
        EndProcess(CrashExitCode);
    }
    ReportThread = thread;
    if (StackTraceText == NoTraceText)
        CaptureTrace("", ReportFailedText);
    BuildRegisterText();
    if (!WriteBugReport(message, classText, address, originFlags))
        EndProcess(CrashExitCode);
    ReleaseDirectDraw();

    ReportPath.insert(ReportPath.begin(), '"');
    ReportPath.push_back('"');
    std::snprintf(ExplorerCommand, sizeof(ExplorerCommand), "explorer.exe %s", ReportPath.c_str());
    char desktop[] = "Default";
    STARTUPINFOA startup;
    std::memset(&startup, 0, sizeof(startup));
    static_assert(sizeof(STARTUPINFOA) == 68, "the ANSI start-up record");
    startup.cb = sizeof(startup);
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION process;
    // The page is the user's now; the handles stay open and nobody waits for Explorer.
    CreateProcessA(nullptr, ExplorerCommand, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                   &process);
    EndProcess(CrashExitCode);
}

void AppendRegisterLine(const CONTEXT& context, std::string& text) {
    const struct {
        const char* Label;
        DWORD Value;
    } Registers[] = {{"EAX=", context.Eax}, {"EBX=", context.Ebx}, {"ECX=", context.Ecx},
                     {"EDX=", context.Edx}, {"ESI=", context.Esi}, {"EDI=", context.Edi},
                     {"EBP=", context.Ebp}, {"ESP=", context.Esp}};
    bool first = true;
    for (const auto& reg : Registers) {
        if (!first)
            text.push_back(' ');
        first = false;
        text.append(reg.Label);
        AppendHex(text, reg.Value, 8);
    }
}

const std::string& BuildRegisterText() {
    RegisterText.clear();
    AppendRegisterLine(SavedContext, RegisterText);
    return RegisterText;
}

void AppendRawDump(const uint8_t* bytes, size_t count, std::string& text) {
    size_t at = 0;
    for (uint32_t line = 0; line < RawStackBytes / 16; ++line) {
        for (int i = 0; i < 8; ++i, ++at) {
            if (at >= count)
                return;
            AppendHex(text, bytes[at], 2);
            text.push_back(' ');
        }
        text.push_back('-');
        for (int i = 0; i < 8; ++i, ++at) {
            if (at >= count)
                return;
            text.push_back(' ');
            AppendHex(text, bytes[at], 2);
        }
        text.append("\r\n");
    }
}

void BuildRawStackDump() {
    RawStackText.clear();
    try {
        const size_t readable = ReadableBytes(CapturedStackPointer, RawStackBytes);
        AppendRawDump(reinterpret_cast<const uint8_t*>(CapturedStackPointer), readable,
                      RawStackText);
    } catch (...) {
        // Whatever was read so far stays.
    }
}
