#include "toolkit/control_factory.h"

#include "shell/text.h"
#include "toolkit/hyperlinks.h"
#include "toolkit/themed_procedures.h"

#include <commctrl.h>

int32_t ScreenDpi = 96;
HFONT DefaultFont = nullptr;
HFONT TitleFont = nullptr;
HFONT MonoFont = nullptr;

HWND ControlList[MaxControls + 1] = {};
int32_t ControlCount = 0;
uint16_t IdToIndex[MaxId + 1] = {};
HWND FocusedWindow = nullptr;
HWND TooltipWindow = nullptr;

namespace {

WNDPROC PreviousProcedures[static_cast<int>(TControlKind::Count)] = {};

// The toolkit's procedure for each kind, in the order of TControlKind.
const WNDPROC KindProcedures[static_cast<int>(TControlKind::Count)] = {
    TabProc, GroupBoxProc, ButtonProc, LinkProc, EditProc, TrackBarProc,
};

HFONT MakeCourierFont(LONG height, LONG weight) {
    LOGFONTA font{};
    font.lfHeight = height;
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = PROOF_QUALITY;
    lstrcpynA(font.lfFaceName, "Courier New", LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

struct TCreation {
    DWORD ExStyle;
    const char* ClassName;
    DWORD Style;
    HFONT Font; // null: no WM_SETFONT
    bool Show;
    bool Register;
    bool Subclass;
    TControlKind Kind;
};

HWND CreateControl(const TCreation& how, HWND parent, int32_t id, const char* caption, int32_t x,
                   int32_t y, int32_t width, int32_t height) {
    HWND window = CreateWindowExA(how.ExStyle, how.ClassName, caption ? caption : "", how.Style,
                                  ToPixels(x), ToPixels(y), ToPixels(width), ToPixels(height),
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ProgramInstance(), nullptr);
    if (!window)
        return nullptr;
    if (how.Font)
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(how.Font), 1);
    if (how.Show)
        ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    if (how.Register)
        RegisterControl(id, window);
    if (how.Subclass)
        SubclassControl(how.Kind, window);
    return window;
}

bool TakesFocus(int32_t position, void*) {
    HWND window = ControlList[position];
    return IsWindowEnabled(window) && IsWindowVisible(window);
}

void MoveFocus(int32_t id, int step) {
    if (id < 0 || id > MaxId)
        return;
    int32_t next = NextFocusPosition(IdToIndex[id], ControlCount, step, TakesFocus, nullptr);
    if (next == 0)
        return;
    FocusedWindow = ControlList[next];
    SetFocus(FocusedWindow);
}

} // namespace

HINSTANCE ProgramInstance() {
    return GetModuleHandleA(nullptr);
}

void InitToolkit() {
    for (uint16_t& index : IdToIndex)
        index = 0;
    ControlCount = 0;
    HDC screen = GetDC(nullptr);
    ScreenDpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    if (ScreenDpi <= 0)
        ScreenDpi = 96; // a screen that reports nothing is taken as the design resolution
}

int32_t UnitsToPixels(int32_t units, int32_t dpi) {
    return static_cast<int32_t>(RoundEven(static_cast<double>(int64_t{units} * dpi) / 96.0));
}

int32_t PixelsToUnits(int32_t pixels, int32_t dpi) {
    return static_cast<int32_t>(RoundEven(static_cast<double>(int64_t{pixels} * 96) / dpi));
}

int32_t ToPixels(int32_t units) {
    return UnitsToPixels(units, ScreenDpi);
}
int32_t FromPixels(int32_t pixels) {
    return PixelsToUnits(pixels, ScreenDpi);
}

void InitDefaultFont() {
    DefaultFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void DeleteLabelFonts() {
    if (TitleFont)
        DeleteObject(TitleFont);
    if (MonoFont)
        DeleteObject(MonoFont);
    TitleFont = nullptr;
    MonoFont = nullptr;
}

int32_t NextFocusPosition(int32_t from, int32_t count, int step, TFocusable focusable,
                          void* context) {
    if (from < 1 || from > count)
        return 0;
    // One full round at most: with nothing focusable the search ends instead of spinning.
    int32_t i = from;
    for (int32_t tried = 0; tried < count; ++tried) {
        i += step;
        if (i > count)
            i = 1;
        if (i < 1)
            i = count;
        if (focusable(i, context))
            return i;
    }
    return 0;
}

void ResetFocusList() {
    ControlCount = 0;
}

void RegisterControl(int32_t id, HWND window) {
    if (id < 0 || id > MaxId || ControlCount >= MaxControls)
        return;
    ControlCount += 1;
    ControlList[ControlCount] = window;
    IdToIndex[id] = static_cast<uint16_t>(ControlCount);
}

void FocusControl(int32_t id) {
    FocusedWindow = (id >= 0 && id <= MaxId) ? ControlList[IdToIndex[id]] : nullptr;
    SetFocus(FocusedWindow);
}

void RestoreFocus() {
    if (FocusedWindow)
        SetFocus(FocusedWindow);
    else
        FocusNext(1);
}

void FocusNext(int32_t id) {
    MoveFocus(id, +1);
}
void FocusPrevious(int32_t id) {
    MoveFocus(id, -1);
}

HWND CreateTooltipWindow() {
    InitCommonControls();
    HWND window =
        CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, ProgramInstance(), nullptr);
    if (window) {
        SendMessageA(window, TTM_ACTIVATE, 1, 0);
        TooltipWindow = window;
    }
    return window;
}

void AddTooltip(HWND control, const char* text) {
    if (!TooltipWindow)
        return;
    TOOLINFOA info{};
    // The size of the original record: accepted by every common-controls version.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = nullptr;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text ? text : "");
    SendMessageA(TooltipWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

HWND CreateGroupBox(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height) {
    const TCreation how{0,
                        "BUTTON",
                        WS_CHILD | WS_CLIPSIBLINGS | BS_GROUPBOX,
                        DefaultFont,
                        false,
                        false,
                        true,
                        TControlKind::GroupBox};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateRadioButton(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                       int32_t width, int32_t height) {
    const TCreation how{0,
                        "BUTTON",
                        WS_CHILD | WS_CLIPSIBLINGS | BS_AUTORADIOBUTTON,
                        DefaultFont,
                        true,
                        true,
                        true,
                        TControlKind::Button};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateCheckBox(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height) {
    const TCreation how{0,
                        "BUTTON",
                        WS_CHILD | WS_CLIPSIBLINGS | BS_AUTOCHECKBOX,
                        DefaultFont,
                        false,
                        true,
                        true,
                        TControlKind::Button};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreatePushButton(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height) {
    const TCreation how{WS_EX_WINDOWEDGE,
                        "BUTTON",
                        WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | BS_PUSHBUTTON,
                        DefaultFont,
                        true,
                        true,
                        true,
                        TControlKind::Button};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                 int32_t height) {
    const TCreation how{0,     "STATIC", WS_CHILD | SS_NOPREFIX, DefaultFont, false,
                        false, false,    TControlKind::Link};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateTitleLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height) {
    if (!TitleFont)
        TitleFont = MakeCourierFont(20, FW_SEMIBOLD);
    const TCreation how{
        0,     "STATIC",          WS_CHILD | WS_CLIPSIBLINGS | SS_NOPREFIX, TitleFont, false, false,
        false, TControlKind::Link};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateMonoLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                     int32_t width, int32_t height) {
    if (!MonoFont)
        MonoFont = MakeCourierFont(18, FW_NORMAL);
    const TCreation how{
        0,     "STATIC",          WS_CHILD | WS_CLIPSIBLINGS | SS_NOPREFIX, MonoFont, false, false,
        false, TControlKind::Link};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

HWND CreateEdit(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                int32_t height) {
    const TCreation how{WS_EX_CLIENTEDGE,
                        "EDIT",
                        WS_CHILD | WS_CLIPSIBLINGS | ES_AUTOHSCROLL,
                        DefaultFont,
                        false,
                        true,
                        true,
                        TControlKind::Edit};
    return CreateControl(how, parent, id, caption, x, y, width, height);
}

TTrackBarSteps TrackBarStepsFor(int32_t maximum) {
    if (maximum >= 50)
        return {10, 5};
    return {2, 0};
}

HWND CreateTrackBar(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height, int32_t minimum, int32_t maximum) {
    InitCommonControls();
    HWND window = CreateWindowExA(
        0, TRACKBAR_CLASSA, caption ? caption : "",
        WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | TBS_FIXEDLENGTH | TBS_AUTOTICKS, ToPixels(x),
        ToPixels(y), ToPixels(width), ToPixels(height), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
    if (!window)
        return nullptr;
    const int16_t low = static_cast<int16_t>(minimum);
    const int16_t high = static_cast<int16_t>(maximum);
    const TTrackBarSteps steps = TrackBarStepsFor(high);
    SendMessageA(window, TBM_SETTHUMBLENGTH, 17, 0);
    SendMessageA(window, TBM_SETLINESIZE, 0, 1);
    SendMessageA(window, TBM_SETPAGESIZE, 0, steps.PageSize);
    if (steps.TickFrequency)
        SendMessageA(window, TBM_SETTICFREQ, steps.TickFrequency, 0);
    SendMessageA(window, TBM_SETRANGE, 1, MAKELONG(low, high));
    SendMessageA(window, TBM_CLEARSEL, 1, 0);
    UpdateWindow(window);
    RegisterControl(id, window);
    SubclassControl(TControlKind::TrackBar, window);
    return window;
}

void SubclassControl(TControlKind kind, HWND window) {
    const int k = static_cast<int>(kind);
    WNDPROC previous = reinterpret_cast<WNDPROC>(
        SetWindowLongA(window, GWL_WNDPROC, reinterpret_cast<LONG>(KindProcedures[k])));
    // Every window of a kind comes from one system class; keep the first real procedure.
    if (previous && previous != KindProcedures[k])
        PreviousProcedures[k] = previous;
}

LRESULT CallPrevious(TControlKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = PreviousProcedures[static_cast<int>(kind)];
    if (!previous)
        return DefWindowProcA(window, message, wParam, lParam);
    return CallWindowProcA(previous, window, message, wParam, lParam);
}
