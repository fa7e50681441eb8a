#include "crash/exception_support.h"

#include "shell/text.h"

#include <atomic>
#include <cstring>
#include <cstdlib>
#include <cxxabi.h>
#include <unwind.h>

namespace {

std::atomic<TRaiseHook> CurrentRaiseHook{nullptr};
std::atomic<TUnhandledHandler> CurrentUnhandledHandler{nullptr};

constexpr uint32_t MaxRaiseFrames = 32;

// What the latest throw of a thread recorded, for the handler that runs when it escapes.
struct TRaiseRecord {
    uint32_t Address;
    uint32_t FrameCount;
    uint32_t Frames[MaxRaiseFrames];
};
thread_local TRaiseRecord LastRaise;

struct TBacktrace {
    TRaiseRecord* Record;
    uint32_t Skip;
};

_Unwind_Reason_Code CollectFrame(_Unwind_Context* context, void* data) {
    TBacktrace& trace = *static_cast<TBacktrace*>(data);
    if (trace.Skip > 0) {
        --trace.Skip;
        return _URC_NO_REASON;
    }
    if (trace.Record->FrameCount >= MaxRaiseFrames)
        return _URC_END_OF_STACK;
    trace.Record->Frames[trace.Record->FrameCount++] = _Unwind_GetIP(context);
    return _URC_NO_REASON;
}

[[noreturn]] void OnTerminate() {
    const TRaiseRecord& raise = LastRaise;
    if (TUnhandledHandler handler = CurrentUnhandledHandler.load())
        handler(std::current_exception(), raise.Address, raise.FrameCount,
                raise.FrameCount ? raise.Frames : nullptr);
    std::abort();
}

// What a converted fault carries from the filter to the code that throws it. A small ring of
// slots, so two threads faulting together do not share one.
struct TFaultSlot {
    uint16_t ControlWord; // first: the stub loads it from the slot's address
    uint16_t Unused;
    uint32_t Code;
    uint32_t Address;
    uint32_t Kind;
    uint32_t Target;
};
constexpr uint32_t FaultSlotCount = 8;
TFaultSlot FaultSlots[FaultSlotCount];
std::atomic<uint32_t> NextFaultSlot{0};

LPTOP_LEVEL_EXCEPTION_FILTER RuntimeFilter = nullptr;

} // namespace

// Entered from the fault stub with the faulting instruction + 1 as its return address, so the
// unwinder sees a call from the faulting instruction and its handlers apply.
extern "C" [[noreturn]] __attribute__((regparm(1), noinline, used)) void
ThrowConvertedFault(const TFaultSlot* slot) {
    const TFaultSlot fault = *slot;
    throw TProcessorFault(FaultMessage(fault.Code, fault.Address, fault.Kind, fault.Target),
                          fault.Code, fault.Address);
}

// The context of a converted fault resumes here: Eax holds the fake return address and Edx the
// fault's slot. Only pushes onto the faulting stack, never writes below it otherwise. fninit
// drops the x87 registers the fault left behind; the slot's control word masks exceptions.
extern "C" void BrindlemaxFaultStub();
asm(".text\n"
    ".globl _BrindlemaxFaultStub\n"
    "_BrindlemaxFaultStub:\n"
    "    pushl %eax\n"
    "    fninit\n"
    "    fldcw (%edx)\n"
    "    movl %edx, %eax\n"
    "    jmp _ThrowConvertedFault\n");

bool IsFloatingPointFault(uint32_t code) {
    return (code >= EXCEPTION_FLT_DENORMAL_OPERAND && code <= EXCEPTION_FLT_UNDERFLOW) ||
           code == 0xC00002B4 || code == 0xC00002B5; // multiple faults / traps
}

std::string FaultMessage(uint32_t code, uint32_t address, uint32_t kind, uint32_t target) {
    const std::string at = " at address " + Hex8(address);
    if (code == EXCEPTION_ACCESS_VIOLATION) {
        const char* action = kind == 0 ? "read of" : kind == 8 ? "execution of" : "write to";
        return "Access violation" + at + ": " + action + " address " + Hex8(target);
    }
    struct TFaultName {
        uint32_t Code;
        const char* Name;
    };
    static const TFaultName Names[] = {
        {EXCEPTION_INT_DIVIDE_BY_ZERO, "Integer division by zero"},
        {EXCEPTION_INT_OVERFLOW, "Integer overflow"},
        {EXCEPTION_FLT_DIVIDE_BY_ZERO, "Floating point division by zero"},
        {EXCEPTION_FLT_INVALID_OPERATION, "Invalid floating point operation"},
        {EXCEPTION_FLT_OVERFLOW, "Floating point overflow"},
        {EXCEPTION_FLT_UNDERFLOW, "Floating point underflow"},
        {EXCEPTION_FLT_INEXACT_RESULT, "Inexact floating point result"},
        {EXCEPTION_FLT_DENORMAL_OPERAND, "Denormal floating point operand"},
        {EXCEPTION_FLT_STACK_CHECK, "Floating point stack check"},
        {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, "Array bounds exceeded"},
        {EXCEPTION_PRIV_INSTRUCTION, "Privileged instruction"},
        {EXCEPTION_ILLEGAL_INSTRUCTION, "Illegal instruction"},
        {EXCEPTION_STACK_OVERFLOW, "Stack overflow"},
        {EXCEPTION_IN_PAGE_ERROR, "In-page error"},
        {EXCEPTION_DATATYPE_MISALIGNMENT, "Datatype misalignment"},
        {EXCEPTION_BREAKPOINT, "Breakpoint"},
        {EXCEPTION_SINGLE_STEP, "Single step"},
    };
    for (const TFaultName& name : Names)
        if (name.Code == code)
            return name.Name + at;
    return "Processor exception " + Hex8(code) + at;
}

TRaiseHook SetRaiseHook(TRaiseHook hook) {
    return CurrentRaiseHook.exchange(hook);
}

TUnhandledHandler SetUnhandledHandler(TUnhandledHandler handler) {
    std::set_terminate(OnTerminate);
    return CurrentUnhandledHandler.exchange(handler);
}

void InstallFaultConversion() {
    RuntimeFilter = SetUnhandledExceptionFilter(ConvertFaultFilter);
}

LONG WINAPI ConvertFaultFilter(EXCEPTION_POINTERS* pointers) {
    // A pending unmasked x87 exception would fault again at our first x87 instruction.
    asm volatile("fnclex");
    EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    CONTEXT& context = *pointers->ContextRecord;
    if (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) {
        // Nothing can resume here, so the exception that would have been thrown is reported
        // as escaped right away.
        const uint32_t address = reinterpret_cast<uint32_t>(record.ExceptionAddress);
        if (TUnhandledHandler handler = CurrentUnhandledHandler.load())
            handler(std::make_exception_ptr(
                        TProcessorFault(FaultMessage(record.ExceptionCode, address, 0, 0),
                                        record.ExceptionCode, address)),
                    address, 0, nullptr);
        return RuntimeFilter ? RuntimeFilter(pointers) : EXCEPTION_CONTINUE_SEARCH;
    }

    TFaultSlot& slot = FaultSlots[NextFaultSlot.fetch_add(1) % FaultSlotCount];
    slot.Code = record.ExceptionCode;
    slot.Address = reinterpret_cast<uint32_t>(record.ExceptionAddress);
    // The FPU reports its fault at the next x87 instruction; it remembers the one that failed.
    if (IsFloatingPointFault(record.ExceptionCode) && context.FloatSave.ErrorOffset != 0)
        slot.Address = context.FloatSave.ErrorOffset;
    slot.Kind = record.NumberParameters >= 1 ? record.ExceptionInformation[0] : 0;
    slot.Target = record.NumberParameters >= 2 ? record.ExceptionInformation[1] : 0;
    slot.ControlWord = static_cast<uint16_t>(context.FloatSave.ControlWord | 0x3F);

    // Clear the pending exception bits (IE..PE, SF, ES and B) in both saved copies of the
    // status word, so resuming does not raise them again.
    constexpr uint32_t PendingBits = 0x80FF;
    context.FloatSave.StatusWord &= ~PendingBits;
    uint16_t statusWord;
    std::memcpy(&statusWord, context.ExtendedRegisters + 2, sizeof(statusWord));
    statusWord &= ~PendingBits;
    std::memcpy(context.ExtendedRegisters + 2, &statusWord, sizeof(statusWord));

    context.Eax = context.Eip + 1;
    context.Edx = reinterpret_cast<DWORD>(&slot);
    context.Eip = reinterpret_cast<DWORD>(&BrindlemaxFaultStub);
    return EXCEPTION_CONTINUE_EXECUTION;
}

uint32_t CurrentRaiseAddress() {
    return LastRaise.Address;
}

std::string DemangledName(const std::type_info& type) {
    int status = 0;
    char* name = abi::__cxa_demangle(type.name(), nullptr, nullptr, &status);
    std::string text = status == 0 && name ? name : type.name();
    std::free(name);
    return text;
}

// Every throw passes here first (the link wraps __cxa_throw); rethrows do not.
extern "C" void __real___cxa_throw(void*, std::type_info*, void (*)(void*));
extern "C" [[noreturn]] void __wrap___cxa_throw(void* object, std::type_info* type,
                                                void (*destroy)(void*)) {
    TRaiseRecord& raise = LastRaise;
    raise.Address = reinterpret_cast<uint32_t>(__builtin_return_address(0));
    raise.FrameCount = 0;
    // Frames start at the function that raised; for a fault, at the faulting function.
    TBacktrace trace{&raise, 1};
    if (*type == typeid(TProcessorFault)) {
        raise.Address = static_cast<TProcessorFault*>(object)->Address();
        trace.Skip = 2;
    }
    _Unwind_Backtrace(CollectFrame, &trace);
    if (TRaiseHook hook = CurrentRaiseHook.load())
        hook(object, raise.Address, raise.FrameCount, raise.FrameCount ? raise.Frames : nullptr);
    __real___cxa_throw(object, type, destroy);
    __builtin_unreachable();
}
