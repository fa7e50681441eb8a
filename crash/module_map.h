#pragma once
// The stack trace of a bug report: every word of the thread's stack that looks like a return
// address into the program's own code, listed as the address of the call in front of it.
#include <cstdint>
#include <string>

struct TModuleInfo {
    uint32_t CodeStart; // first byte of the code section
    uint32_t CodeEnd;   // first byte after it
    std::string Name;
};

inline constexpr int ModuleTableSize = 21;
extern TModuleInfo ModuleTable[ModuleTableSize];
extern int32_t LastModuleIndex; // -1 until the map is built
extern uint32_t MainCodeStart;
extern uint32_t MainCodeEnd;
extern uint32_t StackTop;

// Builds the map once at start-up, so that a crash finds it ready.
void InitModuleMap();

// Fills entry 0 with the executable's code range; raises Exception on a bad image header.
void BuildModuleTable();

// The address of the PE headers of the image at base; raises "Not a valid MZ-file!" or
// "Not a valid PE-file!".
uint32_t ValidateImageHeaders(uint32_t base);

bool IsInModuleCode(uint32_t address);

// Whether all `size` bytes from address are committed readable memory. Asks the memory manager
// instead of touching the bytes, so no fault is raised on the way.
bool IsReadable(uint32_t address, uint32_t size);

// Whether value is the return address of a call instruction in the program's code, and the
// length of that call. Never raises.
bool IsCallSite(uint32_t value, uint32_t& callLength);

// The call sites found on the running thread's stack from stackAddress (0: here) to its top,
// each as 8 hex digits and CR LF. Appends to text, so a buffer reserved in advance is reused.
// Raises when the stack range cannot be read.
void AppendStackTrace(uint32_t stackAddress, std::string& text);
std::string BuildStackTrace(uint32_t stackAddress);

// A stack address a few bytes below the caller's stack pointer.
uint32_t CurrentStackPointer();
