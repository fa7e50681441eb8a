#pragma once
// The exception support under the crash reporter: a raise hook that every throw passes before
// any handler runs, an unhandled-exception handler for exceptions that escape every handler on
// any thread, and the conversion of processor faults into C++ exceptions.
#include "crash/crash_state.h"
#include "crash/exception.h"

#include <cstdint>
#include <exception>
#include <string>
#include <typeinfo>

// A processor fault turned into an exception of the program.
class TProcessorFault : public Exception {
  public:
    TProcessorFault(const std::string& message, uint32_t code, uint32_t address)
        : Exception(message), FaultCode(code), FaultAddress(address) {}
    uint32_t Code() const { return FaultCode; }
    uint32_t Address() const { return FaultAddress; } // the faulting instruction

  private:
    uint32_t FaultCode;
    uint32_t FaultAddress;
};

// The message of a converted fault; kind and target are an access violation's information.
std::string FaultMessage(uint32_t code, uint32_t address, uint32_t kind, uint32_t target);

// Whether the fault is one of the x87 unit's, whose instruction address the FPU keeps.
bool IsFloatingPointFault(uint32_t code);

// Gets the object of the exception that escaped (null when none is current), the raise address
// and the raise's recorded frames. Must not return.
using TUnhandledHandler = void (*)(std::exception_ptr object, uint32_t raiseAddress,
                                   uint32_t frameCount, const uint32_t* frames);

// Each returns the hook it replaces.
TRaiseHook SetRaiseHook(TRaiseHook hook);
TUnhandledHandler SetUnhandledHandler(TUnhandledHandler handler);

// Installs the top-level filter that turns a fault into a TProcessorFault thrown from the
// faulting instruction; filters installed after it hand faults on to it.
void InstallFaultConversion();
LONG WINAPI ConvertFaultFilter(EXCEPTION_POINTERS* pointers);

// The raise address of this thread's latest throw (0 when it has thrown nothing).
uint32_t CurrentRaiseAddress();

// The readable name of a type ("Exception", "std::out_of_range").
std::string DemangledName(const std::type_info& type);
