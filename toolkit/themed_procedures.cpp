#include "toolkit/themed_procedures.h"

#include "crash/exception_guard.h"
#include "shell/library.h"
#include "toolkit/control_factory.h"

#include <uxtheme.h>

bool Themed = false;
HWND MainTabHandle = nullptr;
HWND TabRefreshWindow = nullptr;
TAfterTabPaint AfterTabPaint = nullptr;

namespace {

using TDrawThemeParentBackground = HRESULT(WINAPI*)(HWND, HDC, RECT*);
using TThemeQuery = BOOL(WINAPI*)();

HMODULE ThemeLibrary = nullptr;
TDrawThemeParentBackground DrawParentBackground = nullptr;

void DrawBehind(HWND window, HDC dc) {
    // Themed is only true with the library loaded; a missing entry point just draws nothing.
    if (DrawParentBackground)
        DrawParentBackground(window, dc, nullptr);
}

LRESULT HollowBrush() {
    return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
}

// The themed answer to WM_CTLCOLOR... from a control; lParam is the control, wParam its DC.
LRESULT ThemedControlColour(TBackgroundHost host, TControlKind kind, HWND window, UINT message,
                            WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    HDC dc = reinterpret_cast<HDC>(wParam);
    char className[100] = {};
    GetClassNameA(control, className, sizeof className);
    const LONG buttonType = GetWindowLongA(control, GWL_STYLE) & BS_TYPEMASK;
    const TBackgroundAction action = BackgroundActionFor(host, className, buttonType);
    if (action.Transparent)
        SetBkMode(dc, TRANSPARENT);
    bool draw = action.DrawBehind || action.DrawBehindParent;
    if (action.OnlyWithDefaultFont &&
        reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)) != DefaultFont)
        draw = false;
    if (action.OnlyOnMainTab && GetParent(control) != MainTabHandle)
        draw = false;
    if (draw)
        DrawBehind(action.DrawBehindParent ? GetParent(control) : control, dc);
    if (action.HollowBrush)
        return HollowBrush();
    return CallPrevious(kind, window, message, wParam, lParam);
}

// Navigation keys move the focus through the toolkit's order; true when the key was taken.
bool Navigate(TNavigationHost host, HWND window, UINT message, WPARAM wParam) {
    const int step = NavigationStep(host, message, wParam);
    if (step == 0)
        return false;
    const int32_t id = LOWORD(GetWindowLongA(window, GWL_ID));
    if (step > 0)
        FocusNext(id);
    else
        FocusPrevious(id);
    return true;
}

LRESULT TabBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DRAWITEM: {
        if (wParam <= static_cast<WPARAM>(MaxId) && IdToIndex[wParam] != 0)
            SendMessageA(ControlList[IdToIndex[wParam]], WM_DRAWITEM, wParam, lParam);
        return 0;
    }
    case WM_NOTIFY:
    case WM_COMMAND:
        SendMessageA(GetParent(window), message, wParam, lParam);
        break;
    case WM_HSCROLL:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_VSCROLL:
        return 0;
    case WM_CHAR:
        if (Navigate(TNavigationHost::Tab, window, message, wParam))
            return 0;
        break;
    case WM_CTLCOLORSTATIC:
        if (Themed)
            return ThemedControlColour(TBackgroundHost::Tab, TControlKind::Tab, window, message,
                                       wParam, lParam);
        break;
    case WM_PAINT: {
        if (Themed && TabRefreshWindow)
            SendMessageA(TabRefreshWindow, WM_ENABLE, 1, 0);
        const LRESULT result = CallPrevious(TControlKind::Tab, window, message, wParam, lParam);
        if (AfterTabPaint)
            AfterTabPaint(window);
        return result;
    }
    }
    return CallPrevious(TControlKind::Tab, window, message, wParam, lParam);
}

LRESULT GroupBoxBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND:
        if (Themed) {
            DrawBehind(window, reinterpret_cast<HDC>(wParam));
            return 1;
        }
        break;
    case WM_COMMAND:
        SendMessageA(GetParent(window), message, wParam, lParam);
        break;
    case WM_HSCROLL:
        return SendMessageA(GetParent(window), message, wParam, lParam);
    case WM_PAINT:
        // A themed group box paints the tab's background over whatever the tab drew on top
        // of it after its own paint; that drawing is repeated once the box is done.
        if (Themed && AfterTabPaint && GetParent(window) == MainTabHandle) {
            const LRESULT result =
                CallPrevious(TControlKind::GroupBox, window, message, wParam, lParam);
            AfterTabPaint(MainTabHandle);
            return result;
        }
        break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (Themed)
            return ThemedControlColour(TBackgroundHost::GroupBox, TControlKind::GroupBox, window,
                                       message, wParam, lParam);
        break;
    }
    return CallPrevious(TControlKind::GroupBox, window, message, wParam, lParam);
}

LRESULT ButtonBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Navigate(TNavigationHost::Button, window, message, wParam))
        return 0;
    return CallPrevious(TControlKind::Button, window, message, wParam, lParam);
}

LRESULT EditBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Navigate(TNavigationHost::Edit, window, message, wParam))
        return 0;
    return CallPrevious(TControlKind::Edit, window, message, wParam, lParam);
}

LRESULT TrackBarBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Navigate(TNavigationHost::TrackBar, window, message, wParam))
        return 0;
    if (message == WM_ERASEBKGND && Themed)
        return 1;
    return CallPrevious(TControlKind::TrackBar, window, message, wParam, lParam);
}

} // namespace

void LoadThemeSupport() {
    Themed = false;
    ThemeLibrary = LoadLibraryA("uxtheme.dll");
    if (!LibraryLoaded(ThemeLibrary))
        return;
    DrawParentBackground =
        GetProcedure<TDrawThemeParentBackground>(ThemeLibrary, "DrawThemeParentBackground");
    TThemeQuery isAppThemed = GetProcedure<TThemeQuery>(ThemeLibrary, "IsAppThemed");
    if (!isAppThemed || !isAppThemed())
        return;
    TThemeQuery isThemeActive = GetProcedure<TThemeQuery>(ThemeLibrary, "IsThemeActive");
    if (!isThemeActive)
        return;
    Themed = isThemeActive() != 0;
}

void FreeThemeSupport() {
    if (LibraryLoaded(ThemeLibrary))
        FreeLibrary(ThemeLibrary);
    ThemeLibrary = nullptr;
    DrawParentBackground = nullptr;
}

TBackgroundAction BackgroundActionFor(TBackgroundHost host, std::string_view className,
                                      LONG buttonType) {
    const bool tab = host == TBackgroundHost::Tab;
    TBackgroundAction action{};
    if (className == "Static") {
        action.Transparent = true;
        action.OnlyWithDefaultFont = true;
        action.DrawBehind = tab;
        action.DrawBehindParent = !tab;
        action.HollowBrush = true;
    } else if (className == "Button") {
        switch (buttonType) {
        case BS_AUTOCHECKBOX:
            action.DrawBehind = true;
            action.OnlyOnMainTab = tab;
            action.HollowBrush = true;
            break;
        case BS_AUTORADIOBUTTON:
            action.DrawBehind = !tab;
            action.HollowBrush = true;
            break;
        case BS_GROUPBOX:
            action.DrawBehind = !tab;
            action.HollowBrush = false;
            break;
        default:
            action.HollowBrush = true;
            break;
        }
    } else if (className == "msctls_trackbar32") {
        action.DrawBehind = true;
        action.HollowBrush = true;
    }
    return action;
}

int NavigationStep(TNavigationHost host, UINT message, WPARAM key) {
    if (host == TNavigationHost::Button) {
        if (message != WM_KEYDOWN)
            return 0;
        if (key == VK_TAB || key == VK_RIGHT || key == VK_DOWN)
            return +1;
        if (key == 25 || key == VK_LEFT || key == VK_UP)
            return -1;
        return 0;
    }
    if (message != WM_CHAR)
        return 0;
    if (key == 9)
        return +1;
    if (key == 25)
        return -1;
    return 0;
}

LRESULT CALLBACK TabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(TabBody, window, message, wParam, lParam);
}

LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(GroupBoxBody, window, message, wParam, lParam);
}

LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(ButtonBody, window, message, wParam, lParam);
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(EditBody, window, message, wParam, lParam);
}

LRESULT CALLBACK TrackBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(TrackBarBody, window, message, wParam, lParam);
}
