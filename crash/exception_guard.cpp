#include "crash/exception_guard.h"

#include "crash/crash_state.h"
#include "crash/exception_capture.h"
#include "crash/exception_support.h"

#include <typeinfo>

LRESULT GuardMessage(LRESULT (*body)(HWND, UINT, WPARAM, LPARAM), HWND window, UINT message,
                     WPARAM wParam, LPARAM lParam) {
    try {
        return body(window, message, wParam, lParam);
    } catch (const Exception& e) {
        ReportException(e.Message(), DemangledName(typeid(e)), CurrentRaiseAddress(),
                        OriginConfigWindow);
    }
}
