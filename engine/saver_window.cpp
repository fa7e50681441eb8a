#include "engine/saver_window.h"

#include "engine/presenter.h"
#include "engine/run_state.h"
#include "shell/library.h"
#include "shell/settings.h"

#include <string>

LPARAM LastMousePosition = 0;
bool CrashTestArmed = false;

TKeyAction KeyAction(uint32_t virtualKey, uint32_t stopKeyCode, bool crashTestArmed) {
    if (virtualKey == stopKeyCode)
        return TKeyAction::TogglePause;
    if (virtualKey == VK_F12 && !crashTestArmed)
        return TKeyAction::ArmCrashTest;
    if (virtualKey == VK_F11 && crashTestArmed)
        return TKeyAction::RequestCrashTest;
    return TKeyAction::EndSaver;
}

uint32_t StopKeyCodeFor(int32_t stopKey, uint32_t current) {
    if (stopKey == 1)
        return VK_SPACE;
    if (stopKey == 2)
        return VK_PAUSE;
    return current;
}

bool SwallowsSystemCommand(WPARAM command) {
    return command == SC_NEXTWINDOW || command == SC_PREVWINDOW || command == SC_SCREENSAVE;
}

bool IsResumeBroadcast(WPARAM event, LPARAM data) {
    return (event == PBT_APMRESUMECRITICAL || event == PBT_APMRESUMESUSPEND ||
            event == PBT_APMRESUMEAUTOMATIC) &&
           (data & 1) == 0;
}

bool MouseMoveCounts(LPARAM position, LPARAM lastPosition, bool fullScreen, bool exitOnMouseMove) {
    return position != lastPosition && fullScreen && exitOnMouseMove;
}

bool RegisterSaverClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = SaverWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    // The background is never erased: the frame covers the whole window.
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = SaverClassName;
    return RegisterClassA(&windowClass) != 0;
}

HWND CreateSaverWindow(HWND parent, int32_t x, int32_t y, int32_t width, int32_t height) {
    const DWORD exStyle = parent ? 0 : WS_EX_TOPMOST;
    const DWORD style = parent ? WS_CHILD | WS_MAXIMIZE : WS_POPUP;
    RegisterSaverClass(); // fails harmlessly when an earlier run registered it
    HWND window =
        CreateWindowExA(exStyle, SaverClassName, "Tarvenix Brindlemax", style, x, y, width, height,
                        parent, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!window) {
        const std::string text =
            "Get Handle in ImageCreate failed\r\nError = " + std::to_string(GetLastError());
        MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK);
    }
    return window;
}

namespace {

// Ends the run when the password check lets it; a refusal keeps it going.
void RequestEnd() {
    StopState = VerifyPassword() ? 1 : 0;
}

void HandleKey(WPARAM key) {
    switch (KeyAction(static_cast<uint32_t>(key), StopKeyCode, CrashTestArmed)) {
    case TKeyAction::TogglePause:
        Paused = !Paused;
        break;
    case TKeyAction::ArmCrashTest:
        CrashTestArmed = true;
        break;
    case TKeyAction::RequestCrashTest:
        CrashTestRequested = true;
        break;
    case TKeyAction::EndSaver:
        RequestEnd();
        break;
    }
}

} // namespace

LRESULT CALLBACK SaverWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        StopState = 1;
        break;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (!FullScreen && FrameBitmap.Exists())
            DrawFrame(dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CLOSE:
        if (FullScreen && StopState == 0 && !VerifyPassword())
            return 0;
        ShowWindow(window, SW_HIDE);
        if (FullScreen)
            CloseWindow(window);
        break;
    case WM_ACTIVATEAPP:
        if (wParam == 0)
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_POWER:
        if (wParam == PWR_CRITICALRESUME)
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_POWERBROADCAST:
        if (IsResumeBroadcast(wParam, lParam))
            PostMessageA(window, WM_CLOSE, 0, 0);
        break;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (FullScreen)
            HandleKey(wParam);
        break;
    case WM_SYSCOMMAND:
        if (FullScreen && SwallowsSystemCommand(wParam))
            return 0;
        break;
    case WM_MOUSEMOVE:
        if (MouseMoveCounts(lParam, LastMousePosition, FullScreen, Settings.ExitOnMouseMove)) {
            if (--MouseMoveCountdown == 0)
                RequestEnd();
        }
        LastMousePosition = lParam;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (FullScreen)
            RequestEnd();
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

namespace {

// A registry key that the scope opened.
class TRegistryKey {
  public:
    TRegistryKey(HKEY root, const char* path) {
        if (RegOpenKeyExA(root, path, 0, KEY_READ, &Key) != ERROR_SUCCESS)
            Key = nullptr;
    }
    ~TRegistryKey() {
        if (Key)
            RegCloseKey(Key);
    }
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;
    HKEY Key = nullptr;
};

using TVerifyScreenSavePwd = BOOL(WINAPI*)(HWND);

} // namespace

bool VerifyPassword() {
    if (RunFromConfig)
        return true;
    TRegistryKey desktop(HKEY_CURRENT_USER, "Control Panel\\Desktop");
    if (!desktop.Key)
        return true;
    uint8_t data[4] = {0, 0, 0, 0};
    DWORD size = sizeof(data);
    if (RegQueryValueExA(desktop.Key, "ScreenSaveUsePassword", nullptr, nullptr, data, &size) !=
        ERROR_SUCCESS)
        return true;
    const uint32_t usePassword = data[0] | data[1] << 8 | data[2] << 16 | uint32_t(data[3]) << 24;
    if (usePassword == 0)
        return true;

    bool result = true;
    HMODULE library = LoadLibraryA("PASSWORD.CPL");
    if (!LibraryLoaded(library))
        return true;
    if (auto verify = GetProcedure<TVerifyScreenSavePwd>(library, "VerifyScreenSavePwd")) {
        ShowCursor(TRUE);
        result = verify(SaverWindow) != 0;
    }
    if (!result) {
        // Refused: hide the cursor again and ask once more after fifteen fresh positions.
        MouseMoveCountdown = 15;
        ShowCursor(FALSE);
    }
    FreeLibrary(library);
    return result;
}

void PrepareFullScreenInput() {
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &previous, 0);
    ShowCursor(FALSE);
}

void RestoreFullScreenInput() {
    ShowCursor(TRUE);
    UINT previous = 0;
    SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &previous, 0);
}
