#pragma once
// What the settings window holds: its drawing objects, every control of the "General" and
// "About" pages as a table, the focus order that follows from it, and the settings shown in it.
#include "toolkit/tab_control.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The two lines of the legal notice on the About page.
inline constexpr char LegalNoticeFirstLine[] = "Copyright (C) 2003-2026 Tarvenix";
inline constexpr char LegalNoticeSecondLine[] = "All rights reserved.";

enum class TRowKind {
    TabControl,
    GroupBox,
    RadioButton,
    CheckBox,
    PushButton,
    Label,
    TitleLabel,
    MonoLabel,
    Edit,
    TrackBar,
    Link,
    UrlLink,
};

inline constexpr int32_t BothPages = -1;
inline constexpr int32_t MainWindowParent = 0; // Parent value: the main window
inline constexpr int32_t TabParent = 1;        // Parent value: the tab control (row 1)

struct TLayoutRow {
    int32_t Page;   // 0 General, 1 About, BothPages
    int32_t Parent; // the number of the row whose window is the parent; 0 the main window
    TRowKind Kind;
    const char* Text;   // caption, or the window name of the tab control and track bar
    const char* Target; // UrlLink only
    int32_t Id;
    int32_t X;
    bool BelowPageTop; // Y counts from PageTop
    int32_t Y;
    int32_t Width;
    int32_t Height;
    const char* Tooltip; // push buttons only
};

inline constexpr int32_t LayoutRowCount = 32;
// Rows 1..32 in creation order; index 0 is row 1.
extern const TLayoutRow ConfigLayout[LayoutRowCount];

// Row 8's text: "Version : " and the four bytes of the version, highest first.
std::string VersionText(uint32_t version);
// The page content's base line in design units, from the top that TCM_ADJUSTRECT gives.
int32_t PageTopFor(int32_t adjustedTop, int32_t dpi);
// The seconds that the edit shows for a roll period: whole seconds, truncated.
std::string SecondsText(int32_t rollPeriodMs);

// The configure mode's windows and drawing objects; they live until the process ends.
extern HWND ConfigWindow;
extern HWND MainTab;
extern TmyTabControl* TabPages;
extern int32_t PageTop;
extern HWND RowWindows[LayoutRowCount + 1]; // by row number; 0 unused
extern HWND StopKeyGroup, SpacebarRadio, PauseRadio;
extern HWND DirectDrawCheck, MouseMoveCheck;
extern HWND MoveScreenGroup, SecondsLabel, SecondsEdit, SecondsTrackBar;
extern HWND OkButton, CancelButton, PreviewButton, ConfigTooltip;
extern HPEN ShadowPen, HighlightPen;
extern HCURSOR BusyCursor;

void InitConfiguration();
void BuildConfigControls(HWND mainWindow);
void ShowSettingsInControls();
void PaintAboutSeparator(HWND tab);
