#pragma once
#include <windows.h>

// One run of the screen saver: full screen when parent is null, otherwise a preview inside it.
// Returns only in a run started from the configuration window; otherwise the process ends in it.
void RunSaver(HWND parent);
void ResetSaverState();
// The one orderly end of a run; ends the process unless the configuration window started it.
void EndSaverRun();
DWORD WINAPI RenderThreadProc(LPVOID);
