#pragma once
// The crash reporter's process-wide state: what the capture side records and the page writer
// reads. Plain globals, so that a hook running on any thread in the middle of a failure reaches
// them without allocating; the one-way flags are atomics because either thread may fault.
#include <atomic>
#include <cstdint>
#include <string>

#include <windows.h>

// Origin flags, shown in decimal on the page's "App mode: " line.
inline constexpr uint32_t OriginConfigWindow = 1;
inline constexpr uint32_t OriginUnhandled = 0x100;

// A raise notification: the exception object, the code address of the raise, and the return
// addresses the exception support recorded (frames may be null when it recorded none).
using TRaiseHook = void (*)(void* object, uint32_t raiseAddress, uint32_t frameCount,
                            const uint32_t* frames);

extern LPTOP_LEVEL_EXCEPTION_FILTER PreviousFilter;
extern TRaiseHook PreviousRaiseHook;
extern std::atomic<bool> InFilter;
extern std::atomic<bool> InRaiseHook;
extern std::atomic<bool> ReportActive;
extern EXCEPTION_RECORD SavedExceptionRecord;
extern CONTEXT SavedContext;
extern uint32_t CapturedStackPointer;
extern std::string StackTraceText;
extern std::string RawStackText;
extern uint32_t RaiseFrame;
extern std::string RegisterText;
extern std::string ReportPath;

// The marker of "no trace recorded yet" and the words that replace a trace whose capture failed.
inline constexpr char NoTraceText[] = "no";
inline constexpr char FilterFailedText[] = "failed";
inline constexpr char RaiseHookFailedText[] = "failed1";
inline constexpr char ReportFailedText[] = "failed2";

// Room reserved at start-up for the texts of a report, so that building them after a fault
// rarely needs the heap (a fault inside the allocator may still hold its lock).
inline constexpr size_t StackTraceReserve = 16384;
inline constexpr size_t RawStackReserve = 1024;
inline constexpr size_t ReportPathReserve = 2 * MAX_PATH;

// Puts every value back to its start-up state and reserves the text buffers.
void InitCrashState();

static_assert(sizeof(EXCEPTION_RECORD) == 80, "the saved exception record is the i386 layout");
static_assert(sizeof(CONTEXT) == 716, "the saved context is the i386 layout");
