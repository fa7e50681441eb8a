#include "crash/crash_state.h"

#include "crash/bug_report.h"

#include <cstring>

LPTOP_LEVEL_EXCEPTION_FILTER PreviousFilter = nullptr;
TRaiseHook PreviousRaiseHook = nullptr;
std::atomic<bool> InFilter{false};
std::atomic<bool> InRaiseHook{false};
std::atomic<bool> ReportActive{false};
EXCEPTION_RECORD SavedExceptionRecord{};
CONTEXT SavedContext{};
uint32_t CapturedStackPointer = 0;
std::string StackTraceText = NoTraceText;
std::string RawStackText = NoTraceText;
uint32_t RaiseFrame = 0;
std::string RegisterText;
std::string ReportPath;

void InitCrashState() {
    PreviousFilter = nullptr;
    PreviousRaiseHook = nullptr;
    InFilter = false;
    InRaiseHook = false;
    ReportActive = false;
    std::memset(&SavedExceptionRecord, 0, sizeof(SavedExceptionRecord));
    std::memset(&SavedContext, 0, sizeof(SavedContext));
    CapturedStackPointer = 0;
    RaiseFrame = 0;
    StackTraceText.reserve(StackTraceReserve);
    StackTraceText.assign(NoTraceText);
    RawStackText.reserve(RawStackReserve);
    RawStackText.assign(NoTraceText);
    RegisterText.reserve(128);
    RegisterText.clear();
    ReportPath.reserve(ReportPathReserve);
    ReportPath.clear();
    InitBugReport();
}
