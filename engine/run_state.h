#pragma once
// The state of one saver run, shared by the main thread and the render thread. The flags that
// one thread writes and the other polls are atomics; everything else is written by the main
// thread before the render thread starts.
#include <atomic>
#include <cstdint>

#include <windows.h>

#include "engine/bitmap.h"

extern bool FullScreen;
extern HWND SaverWindow;
extern HDC WindowDC;
extern int32_t FrameWidth;
extern int32_t FrameHeight;
extern bool DirectDrawInUse;
extern TBitmap FrameBitmap;   // the frame the GDI path composes and shows
extern TBitmap PictureBitmap; // the still desktop picture that is rolled

extern std::atomic<int32_t> StopState;       // main -> render: not 0 ends the run
extern std::atomic<bool> Paused;             // main -> render
extern std::atomic<bool> CrashTestRequested; // main -> render (the render thread clears it)
extern std::atomic<bool> QuitRequested;      // render -> main
extern uint32_t StopKeyCode;
extern int32_t MouseMoveCountdown;
extern bool RunCountedThisProcess;
extern uint32_t LastStepTick;
