#pragma once
// The configure mode: the settings window of class "Ostra_Field" with its Ok, Cancel and
// Preview buttons, the seconds edit and its track bar.
#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

void RunConfiguration();

bool RegisterConfigClass();
// Outer height in design units: the caption bar and one border, plus 447.
int32_t ConfigWindowHeight();
int32_t ConfigWindowHeightFor(int32_t captionHeight, int32_t borderWidth, int32_t dpi);
// The top-left corner that centres a window of the given size on the desktop rectangle.
POINT CentredOrigin(const RECT& desktop, int32_t width, int32_t height);
HWND CreateConfigWindow(int32_t width, int32_t height);
LRESULT CALLBACK ConfigWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

void ReadControlsIntoSettings();
[[noreturn]] void SaveAndExit();
[[noreturn]] void EndConfigMode();
void RunPreview();

// The seconds edit's rules as plain functions of its text.
struct TDigitsOnly {
    std::string Text;
    int32_t Caret;
    int32_t Removed;
};
// Drops every non-digit; the caret moves back by the characters removed before it.
TDigitsOnly KeepDigitsOnly(std::string_view text, int32_t caret);
// The text the edit keeps when it loses the focus: "5" for no number, 1 to 1000 otherwise.
std::string ValidateSeconds(std::string_view text);
// Where the track bar goes for the edit's text: its number up to 1000, or where it is.
int32_t TrackBarTarget(std::string_view text, int32_t current);

void ValidateSeconds(HWND edit);
void KeepDigitsOnly(HWND edit);
void SyncTrackBarToEdit(HWND edit, HWND trackBar);
void SyncEditToTrackBar(HWND trackBar, HWND edit);
