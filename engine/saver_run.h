#pragma once
#include <windows.h>

// One run of the screen saver: full screen when parent is null, otherwise a preview inside it.
void RunSaver(HWND parent);
