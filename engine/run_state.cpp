#include "engine/run_state.h"

bool FullScreen = false;
HWND SaverWindow = nullptr;
HDC WindowDC = nullptr;
int32_t FrameWidth = 0;
int32_t FrameHeight = 0;
bool DirectDrawInUse = false;
TBitmap FrameBitmap;
TBitmap PictureBitmap;

std::atomic<int32_t> StopState{0};
std::atomic<bool> Paused{false};
std::atomic<bool> CrashTestRequested{false};
std::atomic<bool> QuitRequested{false};
uint32_t StopKeyCode = 0;
int32_t MouseMoveCountdown = 15;
bool RunCountedThisProcess = false;
uint32_t LastStepTick = 0;
