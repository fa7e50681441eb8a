#pragma once
// The control toolkit's factory: one creator per kind of control, in design units (pixels at
// 96 DPI), with the toolkit's fonts, its own keyboard focus order and the single tooltip window.
#include <windows.h>

#include <cstdint>

// Start-up (every mode): clears the focus table and reads the screen resolution.
void InitToolkit();

extern int32_t ScreenDpi;
extern HFONT DefaultFont;
extern HFONT TitleFont;
extern HFONT MonoFont;

// Design units <-> pixels at a given resolution; rounded, exact halves to the even neighbour.
int32_t UnitsToPixels(int32_t units, int32_t dpi);
int32_t PixelsToUnits(int32_t pixels, int32_t dpi);
// The same at the screen's resolution.
int32_t ToPixels(int32_t units);
int32_t FromPixels(int32_t pixels);

void InitDefaultFont();
void DeleteLabelFonts();

// The focus order: positions 1..MaxControls in order of registration, looked up by id 0..MaxId.
inline constexpr int32_t MaxControls = 103;
inline constexpr int32_t MaxId = 100;
extern HWND ControlList[MaxControls + 1];
extern int32_t ControlCount;
extern uint16_t IdToIndex[MaxId + 1];
extern HWND FocusedWindow;

// Where the focus goes from position `from` (1..count) in the given direction: the next
// position (wrapping) whose control takes the focus, possibly `from` itself; 0 when from is 0 or
// no position qualifies after one full round.
using TFocusable = bool (*)(int32_t position, void* context);
int32_t NextFocusPosition(int32_t from, int32_t count, int step, TFocusable focusable,
                          void* context);

void ResetFocusList();
// Ids above MaxId and registrations beyond MaxControls are ignored.
void RegisterControl(int32_t id, HWND window);
void FocusControl(int32_t id);
void RestoreFocus();
void FocusNext(int32_t id);
void FocusPrevious(int32_t id);

HWND CreateTooltipWindow();
void AddTooltip(HWND control, const char* text);
extern HWND TooltipWindow;

// Creators: parent, id, caption, then x, y, width, height in design units; 0 on failure.
HWND CreateGroupBox(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height);
HWND CreateRadioButton(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                       int32_t width, int32_t height);
HWND CreateCheckBox(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height);
HWND CreatePushButton(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height);
HWND CreateLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                 int32_t height);
HWND CreateTitleLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height);
HWND CreateMonoLabel(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                     int32_t width, int32_t height);
HWND CreateEdit(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                int32_t height);
// Only the low 16 bits of the range count.
HWND CreateTrackBar(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                    int32_t width, int32_t height, int32_t minimum, int32_t maximum);

// The track bar's steps for a range maximum: page size and tick spacing (0 = the default).
struct TTrackBarSteps {
    int32_t PageSize;
    int32_t TickFrequency;
};
TTrackBarSteps TrackBarStepsFor(int32_t maximum);

// The kinds of subclassed window; each kind keeps the procedure it replaced.
enum class TControlKind { Tab, GroupBox, Button, Link, Edit, TrackBar, Count };
void SubclassControl(TControlKind kind, HWND window);
LRESULT CallPrevious(TControlKind kind, HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The program's instance, for window creation and resources.
HINSTANCE ProgramInstance();
