#include "config/config_layout.h"

#include "config/config_window.h"
#include "shell/product.h"
#include "shell/settings.h"
#include "shell/text.h"
#include "toolkit/control_factory.h"
#include "toolkit/hyperlinks.h"
#include "toolkit/themed_procedures.h"

#include <commctrl.h>

HWND ConfigWindow = nullptr;
HWND MainTab = nullptr;
TmyTabControl* TabPages = nullptr;
int32_t PageTop = 0;
HWND RowWindows[LayoutRowCount + 1] = {};
HWND StopKeyGroup = nullptr, SpacebarRadio = nullptr, PauseRadio = nullptr;
HWND DirectDrawCheck = nullptr, MouseMoveCheck = nullptr;
HWND MoveScreenGroup = nullptr, SecondsLabel = nullptr, SecondsEdit = nullptr,
     SecondsTrackBar = nullptr;
HWND OkButton = nullptr, CancelButton = nullptr, PreviewButton = nullptr, ConfigTooltip = nullptr;
HPEN ShadowPen = nullptr, HighlightPen = nullptr;
HCURSOR BusyCursor = nullptr;

namespace {

using K = TRowKind;
constexpr bool Top = true;   // Y below PageTop
constexpr bool Flat = false; // Y as it stands

} // namespace

// clang-format off
const TLayoutRow ConfigLayout[LayoutRowCount] = {
    // Page      Parent Kind             Text                                   Target                 Id  X    PageTop Y    W    H    Tooltip
    {BothPages,  0,  K::TabControl,  "Main_TAB",                                 nullptr,               27, 10,  Flat, 10,  375, 395, nullptr},
    {0,          1,  K::GroupBox,    "Stop and resume screensaver with",         nullptr,               0,  20,  Top,  147, 260, 46,  nullptr},
    {0,          2,  K::RadioButton, "Spacebar",                                 nullptr,               44, 20,  Flat, 20,  90,  16,  nullptr},
    {0,          2,  K::RadioButton, "Pause/Break",                              nullptr,               45, 130, Flat, 20,  90,  16,  nullptr},
    {1,          1,  K::TitleLabel,  ProductName,                                nullptr,               0,  130, Top,  10,  200, 30,  nullptr},
    {1,          1,  K::Label,       LegalNoticeFirstLine,                       nullptr,               0,  110, Top,  305, 190, 25,  nullptr},
    {1,          1,  K::Label,       LegalNoticeSecondLine,                      nullptr,               0,  150, Top,  330, 150, 25,  nullptr},
    {1,          1,  K::Label,       nullptr /* version, filled in */,           nullptr,               0,  170, Top,  40,  120, 25,  nullptr},
    {1,          1,  K::Label,       "Home page :",                              nullptr,               0,  90,  Top,  80,  80,  20,  nullptr},
    {1,          1,  K::Link,        HomePageUrl,                                nullptr,               0,  160, Top,  80,  130, 20,  nullptr},
    {1,          1,  K::Label,       "Technical support :",                      nullptr,               0,  90,  Top,  105, 100, 20,  nullptr},
    {1,          1,  K::Link,        SupportAddress,                             nullptr,               0,  190, Top,  105, 110, 20,  nullptr},
    {1,          1,  K::GroupBox,    "See also ...",                             nullptr,               66, 20,  Top,  150, 335, 138, nullptr},
    {1,          13, K::MonoLabel,   "Ostrafield",                               nullptr,               0,  25,  Flat, 20,  130, 20,  nullptr},
    {1,          13, K::Label,       "Ostrafield is a slideshow screensaver with plugins.", nullptr,   0,  15,  Flat, 50,  145, 50,  nullptr},
    {1,          13, K::UrlLink,     "More info",                                MakerBaseUrl,          0,  9,   Flat, 110, 50,  20,  nullptr},
    {1,          13, K::UrlLink,     "Download",                                 OstrafieldDownloadUrl, 0,  60,  Flat, 110, 50,  20,  nullptr},
    {1,          13, K::UrlLink,     "Purchase",                                 OstrafieldOrderUrl,    0,  115, Flat, 110, 50,  20,  nullptr},
    {1,          13, K::MonoLabel,   "Pellucor",                                 nullptr,               0,  192, Flat, 20,  130, 20,  nullptr},
    {1,          13, K::Label,       "The Pellucor allows you to see the world on your display.", nullptr, 0, 182, Flat, 50, 145, 50, nullptr},
    {1,          13, K::UrlLink,     "More info",                                PellucorInfoUrl,       0,  176, Flat, 110, 50,  20,  nullptr},
    {1,          13, K::UrlLink,     "Download",                                 PellucorDownloadUrl,   0,  227, Flat, 110, 50,  20,  nullptr},
    {1,          13, K::UrlLink,     "Purchase",                                 PellucorOrderUrl,      0,  282, Flat, 110, 50,  20,  nullptr},
    {0,          1,  K::CheckBox,    "Use DirectDraw",                           nullptr,               41, 30,  Top,  220, 180, 16,  nullptr},
    {0,          1,  K::CheckBox,    "Exit on mouse move",                       nullptr,               0,  30,  Top,  250, 120, 16,  nullptr},
    {0,          1,  K::GroupBox,    "Move screen for ...",                      nullptr,               25, 20,  Top,  20,  260, 98,  nullptr},
    {0,          26, K::Label,       "seconds",                                  nullptr,               19, 90,  Flat, 25,  70,  25,  nullptr},
    {0,          26, K::Edit,        "0",                                        nullptr,               20, 35,  Flat, 23,  50,  21,  nullptr},
    {0,          26, K::TrackBar,    "track 2",                                  nullptr,               29, 6,   Flat, 54,  240, 30,  nullptr},
    {BothPages,  0,  K::PushButton,  "Ok",                                       nullptr,               16, 140, Flat, 412, 75,  23,  "Save Changes and exit"},
    {BothPages,  0,  K::PushButton,  "Cancel",                                   nullptr,               17, 225, Flat, 412, 75,  23,  "Exit without saving"},
    {BothPages,  0,  K::PushButton,  "Preview",                                  nullptr,               26, 310, Flat, 412, 75,  23,  "Run screensaver"},
};
// clang-format on

std::string VersionText(uint32_t version) {
    return "Version : " + std::to_string((version >> 24) & 0xFF) + "." +
           std::to_string((version >> 16) & 0xFF) + "." + std::to_string((version >> 8) & 0xFF) +
           "." + std::to_string(version & 0xFF);
}

int32_t PageTopFor(int32_t adjustedTop, int32_t dpi) {
    return PixelsToUnits(10 - adjustedTop, dpi);
}

std::string SecondsText(int32_t rollPeriodMs) {
    return std::to_string(rollPeriodMs / 1000);
}

namespace {

constexpr int32_t TrackBarMinimum = 1;
constexpr int32_t TrackBarMaximum = 60;

HWND CreateRow(const TLayoutRow& row, HWND parent, const char* text) {
    const int32_t y = row.BelowPageTop ? PageTop + row.Y : row.Y;
    switch (row.Kind) {
    case K::TabControl:
        return CreateTabControl(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::GroupBox:
        return CreateGroupBox(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::RadioButton:
        return CreateRadioButton(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::CheckBox:
        return CreateCheckBox(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::PushButton:
        return CreatePushButton(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::Label:
        return CreateLabel(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::TitleLabel:
        return CreateTitleLabel(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::MonoLabel:
        return CreateMonoLabel(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::Edit:
        return CreateEdit(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::TrackBar:
        return CreateTrackBar(parent, row.Id, text, row.X, y, row.Width, row.Height,
                              TrackBarMinimum, TrackBarMaximum);
    case K::Link:
        return CreateLink(parent, row.Id, text, row.X, y, row.Width, row.Height);
    case K::UrlLink:
        return CreateUrlLink(parent, row.Id, text, row.Target, row.X, y, row.Width, row.Height);
    }
    return nullptr;
}

// Measures where the tab strip ends: the page content starts 10 pixels below it.
int32_t MeasurePageTop(HWND tab) {
    RECT display{0, 0, 0, 420};
    SendMessageA(tab, TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&display));
    return PageTopFor(display.top, ScreenDpi);
}

void CheckButton(HWND button, bool checked) {
    SendMessageA(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

} // namespace

void InitConfiguration() {
    InitSettings();
    ShadowPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW));
    HighlightPen = CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNHIGHLIGHT));
    AfterTabPaint = PaintAboutSeparator;
    BusyCursor = nullptr;
}

void BuildConfigControls(HWND mainWindow) {
    ConfigWindow = mainWindow;
    const std::string version = VersionText(ProgramVersion);
    for (int32_t number = 1; number <= LayoutRowCount; ++number) {
        const TLayoutRow& row = ConfigLayout[number - 1];
        HWND parent = row.Parent == MainWindowParent ? mainWindow : RowWindows[row.Parent];
        const char* text = number == 8 ? version.c_str() : row.Text;
        // A parent that could not be created takes its children with it.
        HWND window = parent ? CreateRow(row, parent, text) : nullptr;
        RowWindows[number] = window;
        if (number == 1) {
            MainTab = window;
            MainTabHandle = window;
            if (!window)
                continue;
            TabPages = new TmyTabControl(window); // lives as long as the process
            TabPages->AddPage("General");
            TabPages->AddPage("About");
            PageTop = MeasurePageTop(window);
            continue;
        }
        if (window && TabPages && row.Page != BothPages)
            TabPages->AddToPage(row.Page, window);
    }
    StopKeyGroup = RowWindows[2];
    SpacebarRadio = RowWindows[3];
    PauseRadio = RowWindows[4];
    DirectDrawCheck = RowWindows[24];
    MouseMoveCheck = RowWindows[25];
    MoveScreenGroup = RowWindows[26];
    SecondsLabel = RowWindows[27];
    SecondsEdit = RowWindows[28];
    SecondsTrackBar = RowWindows[29];
    OkButton = RowWindows[30];
    CancelButton = RowWindows[31];
    PreviewButton = RowWindows[32];
    TabRefreshWindow = SecondsTrackBar;

    ConfigTooltip = CreateTooltipWindow();
    for (int32_t number = 30; number <= 32; ++number)
        if (RowWindows[number])
            AddTooltip(RowWindows[number], ConfigLayout[number - 1].Tooltip);
    if (TabPages)
        TabPages->ShowSelectedPage();
}

void ShowSettingsInControls() {
    // Setting the text makes the edit report a change, which moves the track bar with it.
    SetWindowTextA(SecondsEdit, SecondsText(Settings.RollPeriodMs).c_str());
    CheckButton(DirectDrawCheck, Settings.UseDirectDraw);
    CheckButton(SpacebarRadio, Settings.StopKey == 1);
    CheckButton(PauseRadio, Settings.StopKey == 2);
    CheckButton(MouseMoveCheck, Settings.ExitOnMouseMove);
}

void PaintAboutSeparator(HWND tab) {
    if (!TabPages || TabPages->ActivePage != 1)
        return;
    HDC dc = GetDC(tab);
    const int32_t x = ToPixels(188);
    const int32_t top = ToPixels(PageTop + 166);
    const int32_t bottom = ToPixels(PageTop + 278);
    HGDIOBJ oldPen = SelectObject(dc, ShadowPen);
    MoveToEx(dc, x, top, nullptr);
    LineTo(dc, x, bottom);
    SelectObject(dc, HighlightPen);
    MoveToEx(dc, x + 1, top, nullptr);
    LineTo(dc, x + 1, bottom);
    SelectObject(dc, oldPen);
    ReleaseDC(tab, dc);
}
