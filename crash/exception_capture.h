#pragma once
// The crash reporter's front half: the hooks that start-up installs, the texts they record and
// the one report entry.
#include <cstdint>
#include <exception>
#include <string>

#include <windows.h>

// Start-up installs these three, in this order, before the command line is read.
void InstallUnhandledExceptionHandler();
void InstallTopLevelFilter();
void InstallRaiseHook();

LONG WINAPI TopLevelExceptionFilter(EXCEPTION_POINTERS* pointers);
void RaiseHook(void* object, uint32_t raiseAddress, uint32_t frameCount, const uint32_t* frames);
[[noreturn]] void UnhandledExceptionHandler(std::exception_ptr object, uint32_t raiseAddress,
                                            uint32_t frameCount, const uint32_t* frames);

// Writes the bug report, opens it and ends the process; never returns.
[[noreturn]] void ReportException(const std::string& message, const std::string& classText,
                                  uint32_t address, uint32_t originFlags);

// The class text of an escaped exception object that is not an Exception.
std::string ForeignClassText(const std::string& className);

// "EAX=... ESP=..." from a thread context: 103 characters.
void AppendRegisterLine(const CONTEXT& context, std::string& text);
const std::string& BuildRegisterText(); // fills RegisterText

// The raw stack dump of `count` readable bytes (at most 320): 20 lines of 16 bytes, or as far
// as the bytes go, the last line then partial and without its line end.
inline constexpr uint32_t RawStackBytes = 320;
void AppendRawDump(const uint8_t* bytes, size_t count, std::string& text);
// Dumps from CapturedStackPointer into RawStackText, stopping at the first unreadable byte.
void BuildRawStackDump();
