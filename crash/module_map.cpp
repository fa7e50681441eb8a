#include "crash/module_map.h"

#include "crash/exception.h"
#include "shell/text.h"

#include <windows.h>

TModuleInfo ModuleTable[ModuleTableSize];
int32_t LastModuleIndex = -1;
uint32_t MainCodeStart = 0;
uint32_t MainCodeEnd = 0;
uint32_t StackTop = 0;

namespace {

template <typename T>
T ReadAt(uint32_t address) {
    return *reinterpret_cast<const volatile T*>(address);
}

// The indirect near call FF /2: bits 5 to 3 of the ModR/M byte are 010.
bool IsIndirectCallModRM(uint8_t modrm) {
    return ((modrm >> 3) & 7) == 2;
}

} // namespace

void InitModuleMap() {
    LastModuleIndex = -1;
    try {
        BuildModuleTable();
    } catch (const Exception&) {
        // The first trace tries again and reports the failure in place of the trace.
    }
}

uint32_t ValidateImageHeaders(uint32_t base) {
    if (ReadAt<uint16_t>(base) != 0x5A4D)
        throw Exception("Not a valid MZ-file!");
    const uint32_t headers = base + ReadAt<uint32_t>(base + 0x3C);
    if (ReadAt<uint32_t>(headers) != 0x4550)
        throw Exception("Not a valid PE-file!");
    return headers;
}

void BuildModuleTable() {
    LastModuleIndex = -1;
    if (MainCodeStart == 0) {
        const uint32_t base = reinterpret_cast<uint32_t>(GetModuleHandleA(nullptr));
        const uint32_t headers = ValidateImageHeaders(base);
        MainCodeStart = base + ReadAt<uint32_t>(headers + 0x2C);        // BaseOfCode
        MainCodeEnd = MainCodeStart + ReadAt<uint32_t>(headers + 0x1C); // SizeOfCode
    }
    ModuleTable[0].CodeStart = MainCodeStart;
    ModuleTable[0].CodeEnd = MainCodeEnd;
    ModuleTable[0].Name = "mainexe";
    LastModuleIndex = 0;
}

bool IsInModuleCode(uint32_t address) {
    for (int32_t i = 0; i <= LastModuleIndex; ++i)
        if (ModuleTable[i].CodeStart <= address && address < ModuleTable[i].CodeEnd)
            return true;
    return false;
}

bool IsReadable(uint32_t address, uint32_t size) {
    constexpr DWORD Readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                               PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (size == 0)
        return true;
    const uint64_t end = uint64_t{address} + size;
    for (uint64_t at = address; at < end;) {
        MEMORY_BASIC_INFORMATION region;
        if (VirtualQuery(reinterpret_cast<const void*>(static_cast<uint32_t>(at)), &region,
                         sizeof(region)) == 0)
            return false;
        if (region.State != MEM_COMMIT || (region.Protect & PAGE_GUARD) ||
            !(region.Protect & Readable))
            return false;
        at = reinterpret_cast<uint32_t>(region.BaseAddress) + uint64_t{region.RegionSize};
    }
    return true;
}

bool IsCallSite(uint32_t value, uint32_t& callLength) {
    if (value <= 8 || !IsInModuleCode(value - 8) || !IsReadable(value - 8, 8))
        return false;
    try {
        auto b = [value](uint32_t k) { return ReadAt<uint8_t>(value - k); };
        if (b(5) == 0xE8) {
            callLength = 5;
            return true;
        }
        // FF /2 with a ModR/M byte and 0, 1, 2, 4 or 5 further bytes of operand.
        static const uint32_t IndirectLengths[] = {2, 3, 4, 6, 7};
        for (uint32_t length : IndirectLengths) {
            if (b(length) == 0xFF && IsIndirectCallModRM(b(length - 1))) {
                callLength = length;
                return true;
            }
        }
    } catch (...) {
    }
    return false;
}

void AppendStackTrace(uint32_t stackAddress, std::string& text) {
    if (stackAddress == 0)
        stackAddress = CurrentStackPointer();
    if (LastModuleIndex == -1)
        BuildModuleTable();
    // The thread information block's StackBase (fs:[4]) is the top of this thread's stack.
    uint32_t top;
    asm volatile("movl %%fs:4, %0" : "=r"(top));
    StackTop = top;
    // An address outside the committed stack fails the whole trace without a second fault.
    if (stackAddress < StackTop && !IsReadable(stackAddress, StackTop - stackAddress))
        throw Exception("The stack cannot be read at " + Hex8(stackAddress));
    uint32_t lastAccepted = 0;
    for (uint32_t p = stackAddress; p < StackTop && StackTop - p >= 4; p += 4) {
        const uint32_t value = ReadAt<uint32_t>(p);
        uint32_t length = 0;
        if (IsCallSite(value, length) && value != lastAccepted) {
            static const char Digits[] = "0123456789ABCDEF";
            const uint32_t site = value - length;
            char line[10];
            for (int i = 0; i < 8; ++i)
                line[i] = Digits[(site >> (28 - 4 * i)) & 15];
            line[8] = '\r';
            line[9] = '\n';
            text.append(line, sizeof(line));
            lastAccepted = value;
        }
    }
}

std::string BuildStackTrace(uint32_t stackAddress) {
    if (stackAddress == 0)
        stackAddress = CurrentStackPointer();
    std::string text;
    AppendStackTrace(stackAddress, text);
    return text;
}

__attribute__((noinline)) uint32_t CurrentStackPointer() {
    uint32_t esp;
    asm volatile("movl %%esp, %0" : "=r"(esp));
    return esp;
}
