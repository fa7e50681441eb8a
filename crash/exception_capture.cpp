#include "crash/crash_state.h"
#include "crash/exception_capture.h"
#include "crash/exception_guard.h"
#include "crash/module_map.h"
#include "shell/startup.h"

void InitModuleMap() {}
void InitCrashState() {}
void InstallUnhandledExceptionHandler() {}
void InstallTopLevelFilter() {}
void InstallRaiseHook() {}

void ReportException(const std::string&, const std::string&, uint32_t, uint32_t) {
    EndProcess(217);
}

LRESULT GuardMessage(LRESULT (*body)(HWND, UINT, WPARAM, LPARAM), HWND window, UINT message,
                     WPARAM wParam, LPARAM lParam) {
    try {
        return body(window, message, wParam, lParam);
    } catch (const Exception& e) {
        ReportException(e.Message(), "Exception", 0, OriginConfigWindow);
    }
}

// Every throw passes here first; the raise hook will sit in this spot.
extern "C" [[noreturn]] void __real___cxa_throw(void*, void*, void (*)(void*));
extern "C" [[noreturn]] void __wrap___cxa_throw(void* object, void* type, void (*destroy)(void*)) {
    __real___cxa_throw(object, type, destroy);
}
