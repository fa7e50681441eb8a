#pragma once
// The guard inside each window procedure of the settings window: a C++ exception cannot unwind
// through the system's own frames (DispatchMessage), so it is caught where it is raised.
#include "crash/exception.h"

#include <windows.h>

// Runs body(); an Exception raised inside it goes to the crash reporter, which ends the process.
LRESULT GuardMessage(LRESULT (*body)(HWND, UINT, WPARAM, LPARAM), HWND window, UINT message,
                     WPARAM wParam, LPARAM lParam);
