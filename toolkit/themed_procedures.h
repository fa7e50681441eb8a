#pragma once
// The window procedures of the toolkit's subclassed controls: keyboard navigation through the
// focus order, passing notifications up to the settings window, and theme backgrounds.
#include <windows.h>

#include <string_view>

extern bool Themed;
extern HWND MainTabHandle;
extern HWND TabRefreshWindow;
using TAfterTabPaint = void (*)(HWND tab);
extern TAfterTabPaint AfterTabPaint;

// Loads uxtheme.dll at run time; Themed only when both IsAppThemed and IsThemeActive say so.
void LoadThemeSupport();
void FreeThemeSupport();

LRESULT CALLBACK TabProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK GroupBoxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ButtonProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrackBarProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// What a themed WM_CTLCOLOR... handler does for a control, decided from its class name, its
// button type and whose handler it is.
enum class TBackgroundHost { Tab, GroupBox };
struct TBackgroundAction {
    bool Transparent;         // SetBkMode TRANSPARENT
    bool DrawBehind;          // DrawThemeParentBackground into the control's DC
    bool DrawBehindParent;    // ... with the control's parent (the group box) as the window
    bool OnlyWithDefaultFont; // the drawing above only for controls in DefaultFont
    bool OnlyOnMainTab;       // the drawing above only for controls directly on the tab control
    bool HollowBrush;         // return the hollow brush (otherwise the previous handler's result)
};
TBackgroundAction BackgroundActionFor(TBackgroundHost host, std::string_view className,
                                      LONG buttonType);

// Navigation: +1 forward, -1 back, 0 none, for a key message of the given handler kind.
enum class TNavigationHost { Tab, Edit, TrackBar, Button };
int NavigationStep(TNavigationHost host, UINT message, WPARAM key);
