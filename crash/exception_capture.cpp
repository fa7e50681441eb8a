#include "crash/crash_state.h"
#include "crash/exception_capture.h"
#include "crash/module_map.h"

void InitModuleMap() {}
void InitCrashState() {}
void InstallUnhandledExceptionHandler() {}
void InstallTopLevelFilter() {}
void InstallRaiseHook() {}

// Every throw passes here first; the raise hook will sit in this spot.
extern "C" [[noreturn]] void __real___cxa_throw(void*, void*, void (*)(void*));
extern "C" [[noreturn]] void __wrap___cxa_throw(void* object, void* type, void (*destroy)(void*)) {
    __real___cxa_throw(object, type, destroy);
}
