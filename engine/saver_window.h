#pragma once
// The saver's own window, "Show_MainWindow", and its input rules: which keys, buttons and mouse
// moves end a full-screen run, the stop key, swallowed system commands, power and activation
// events, and the Windows 9x screen-saver password check.
#include <cstdint>

#include <windows.h>

extern LPARAM LastMousePosition; // packed client coordinates of the last WM_MOUSEMOVE
extern bool CrashTestArmed;      // F12 was pressed in a full-screen run

inline constexpr char SaverClassName[] = "Show_MainWindow";

bool RegisterSaverClass();
// Full screen when parent is null (top-most pop-up), otherwise a maximised child. Hidden.
HWND CreateSaverWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height);
LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// True when the saver may end: no password in force, or the user gave it.
bool VerifyPassword();
void PrepareFullScreenInput();
void RestoreFullScreenInput();

// The key rules of a full-screen run, first match wins.
enum class TKeyAction { TogglePause, ArmCrashTest, RequestCrashTest, EndSaver };
TKeyAction KeyAction(uint32_t virtualKey, uint32_t stopKeyCode, bool crashTestArmed);
// The stop key for the StopKey setting; any other setting keeps the current code.
uint32_t StopKeyCodeFor(int32_t stopKey, uint32_t current);
// System commands a full-screen run swallows: switching windows and starting a screen saver.
bool SwallowsSystemCommand(WPARAM command);
// A resume from a suspend, reported by WM_POWERBROADCAST.
bool IsResumeBroadcast(WPARAM event, LPARAM data);
// A mouse move that counts towards ending the saver.
bool MouseMoveCounts(LPARAM position, LPARAM lastPosition, bool fullScreen, bool exitOnMouseMove);
