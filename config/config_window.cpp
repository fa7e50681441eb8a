#include "config/config_window.h"

#include "config/config_layout.h"
#include "crash/exception_guard.h"
#include "engine/saver_run.h"
#include "shell/product.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/text.h"
#include "toolkit/control_factory.h"
#include "toolkit/hyperlinks.h"
#include "toolkit/themed_procedures.h"

#include <commctrl.h>

namespace {

constexpr char ConfigClassName[] = "Ostra_Field";
constexpr int32_t OuterWidthUnits = 400;
constexpr int32_t MaxSeconds = 1000;

constexpr int OkId = 16;
constexpr int CancelId = 17;
constexpr int SecondsEditId = 20;
constexpr int PreviewId = 26;
constexpr int TabId = 27;

void ShowFailure(const char* text) {
    MessageBoxA(nullptr, text, nullptr, MB_OK);
}

LRESULT OnCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    switch (id) {
    case OkId:
        SaveAndExit();
    case CancelId:
        EndConfigMode();
    case SecondsEditId:
        if (code == EN_KILLFOCUS)
            ValidateSeconds(SecondsEdit);
        else if (code == EN_UPDATE)
            KeepDigitsOnly(SecondsEdit);
        else if (code == EN_CHANGE)
            SyncTrackBarToEdit(SecondsEdit, SecondsTrackBar);
        break;
    case PreviewId:
        RunPreview();
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT ConfigWindowBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        EndConfigMode();
    case WM_SETFOCUS:
        RestoreFocus();
        break;
    case WM_SETCURSOR:
        if (BusyCursor) {
            SetCursor(BusyCursor);
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
        if (wParam == TabId && header && header->code == static_cast<UINT>(TCN_SELCHANGE) &&
            TabPages)
            TabPages->ShowSelectedPage();
        break;
    }
    case WM_COMMAND:
        return OnCommand(window, message, wParam, lParam);
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == SecondsTrackBar && SecondsTrackBar)
            SyncEditToTrackBar(SecondsTrackBar, SecondsEdit);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

void RunConfiguration() {
    InitConfiguration();
    if (!RegisterConfigClass()) {
        ShowFailure("Register class failed");
        return;
    }
    if (!CreateConfigWindow(ToPixels(OuterWidthUnits), ToPixels(ConfigWindowHeight()))) {
        ShowFailure("WinCreate failed");
        return;
    }
    InitCommonControls();
    LoadThemeSupport();
    ResetFocusList();
    InitDefaultFont();
    BuildConfigControls(ConfigWindow);
    ShowSettingsInControls();
    FocusControl(TabId);
    ShowWindow(ConfigWindow, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool RegisterConfigClass() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ConfigWindowProc;
    windowClass.hInstance = ProgramInstance();
    windowClass.hIcon = LoadIconA(ProgramInstance(), MAKEINTRESOURCEA(500));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = ConfigClassName;
    return RegisterClassA(&windowClass) != 0;
}

int32_t ConfigWindowHeightFor(int32_t captionHeight, int32_t borderWidth, int32_t dpi) {
    return PixelsToUnits(captionHeight + borderWidth, dpi) + 447;
}

int32_t ConfigWindowHeight() {
    NONCLIENTMETRICSA metrics{};
    static_assert(sizeof metrics == 340, "the metrics record of Windows 2000 and XP");
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    return ConfigWindowHeightFor(metrics.iCaptionHeight, metrics.iBorderWidth, ScreenDpi);
}

POINT CentredOrigin(const RECT& desktop, int32_t width, int32_t height) {
    return {(desktop.right - desktop.left - width) / 2 + desktop.left,
            (desktop.bottom - desktop.top - height) / 2 + desktop.top};
}

HWND CreateConfigWindow(int32_t width, int32_t height) {
    RECT desktop{};
    GetWindowRect(GetDesktopWindow(), &desktop);
    const POINT origin = CentredOrigin(desktop, width, height);
    HWND window =
        CreateWindowExA(0, ConfigClassName, ProductName, WS_CAPTION | WS_SYSMENU, origin.x,
                        origin.y, width, height, nullptr, nullptr, ProgramInstance(), nullptr);
    if (!window)
        return nullptr;
    ConfigWindow = window;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    return window;
}

LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(ConfigWindowBody, window, message, wParam, lParam);
}

void ReadControlsIntoSettings() {
    // The edit was validated when it lost the focus; a text nobody has touched (the initial
    // "0" of a period below one second) is validated here, so no period of 0 is stored.
    const std::string seconds = ValidateSeconds(GetWindowTextString(SecondsEdit));
    if (seconds != GetWindowTextString(SecondsEdit))
        SetWindowTextA(SecondsEdit, seconds.c_str());
    Settings.RollPeriodMs = ParseInt32(seconds).value_or(5) * 1000;
    Settings.UseDirectDraw = SendMessageA(DirectDrawCheck, BM_GETCHECK, 0, 0) != 0;
    if (SendMessageA(SpacebarRadio, BM_GETCHECK, 0, 0) != 0)
        Settings.StopKey = 1;
    else if (SendMessageA(PauseRadio, BM_GETCHECK, 0, 0) != 0)
        Settings.StopKey = 2;
    Settings.ExitOnMouseMove = SendMessageA(MouseMoveCheck, BM_GETCHECK, 0, 0) != 0;
}

void SaveAndExit() {
    ReadControlsIntoSettings();
    SaveSettings();
    EndConfigMode();
}

void EndConfigMode() {
    if (ShadowPen)
        DeleteObject(ShadowPen);
    if (HighlightPen)
        DeleteObject(HighlightPen);
    ShadowPen = nullptr;
    HighlightPen = nullptr;
    DeleteLabelFonts();
    FreeThemeSupport();
    EndProcess(0);
}

void RunPreview() {
    RunFromConfig = true;
    ReadControlsIntoSettings();
    BusyCursor = LoadCursorA(nullptr, IDC_APPSTARTING);
    SetCursor(BusyCursor);
    RunSaver(nullptr);
    BusyCursor = nullptr;
    // Redraws what the tab control paints on top: the About separator, the themed track bar.
    if (MainTab)
        SendMessageA(MainTab, WM_PAINT, 0, 0);
}

TDigitsOnly KeepDigitsOnly(std::string_view text, int32_t caret) {
    TDigitsOnly result{{}, caret, 0};
    int32_t removedBeforeCaret = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] >= '0' && text[i] <= '9') {
            result.Text += text[i];
            continue;
        }
        result.Removed += 1;
        if (static_cast<int32_t>(i) < caret)
            removedBeforeCaret += 1;
    }
    result.Caret = caret - removedBeforeCaret;
    if (result.Caret < 0)
        result.Caret = 0;
    if (result.Caret > static_cast<int32_t>(result.Text.size()))
        result.Caret = static_cast<int32_t>(result.Text.size());
    return result;
}

std::string ValidateSeconds(std::string_view text) {
    const std::optional<int32_t> seconds = ParseInt32(text.substr(0, 99));
    if (!seconds)
        return "5";
    if (*seconds > MaxSeconds)
        return std::to_string(MaxSeconds);
    if (*seconds <= 0)
        return "1";
    return std::string(text.substr(0, 99));
}

int32_t TrackBarTarget(std::string_view text, int32_t current) {
    const int32_t value = ParseInt32(text).value_or(current);
    return value > MaxSeconds ? MaxSeconds : value;
}

void ValidateSeconds(HWND edit) {
    const std::string text = GetWindowTextString(edit);
    const std::string valid = ValidateSeconds(text);
    if (valid != text)
        SetWindowTextA(edit, valid.c_str());
}

void KeepDigitsOnly(HWND edit) {
    const std::string text = GetWindowTextString(edit);
    DWORD start = 0;
    SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    const TDigitsOnly cleaned = KeepDigitsOnly(text, static_cast<int32_t>(start));
    if (cleaned.Removed == 0)
        return;
    SetWindowTextA(edit, cleaned.Text.c_str());
    SendMessageA(edit, EM_SETSEL, cleaned.Caret, cleaned.Caret);
}

void SyncTrackBarToEdit(HWND edit, HWND trackBar) {
    const int32_t current = static_cast<int32_t>(SendMessageA(trackBar, TBM_GETPOS, 0, 0));
    const int32_t value = TrackBarTarget(GetWindowTextString(edit), current);
    if (value == current)
        return;
    SendMessageA(trackBar, TBM_SETPOS, TRUE, value);
    if (Themed)
        SendMessageA(trackBar, WM_ENABLE, TRUE, 0);
}

void SyncEditToTrackBar(HWND trackBar, HWND edit) {
    const int32_t position = static_cast<int32_t>(SendMessageA(trackBar, TBM_GETPOS, 0, 0));
    SetWindowTextA(edit, std::to_string(position).c_str());
}
