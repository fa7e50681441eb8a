#pragma once
// The tab control and the pages it switches: the Windows tab control only draws the tabs, so
// each page remembers its windows and a switch hides the old page's and shows the new page's.
#include <windows.h>

#include <cstdint>
#include <vector>

HWND CreateTabControl(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height);

inline constexpr int32_t MaxPages = 11;
inline constexpr int32_t MaxPageWindows = 41;

// One step of a page switch: show or hide one window.
struct TPageStep {
    HWND Window;
    bool Show;
};

class TmyTabControl {
  public:
    explicit TmyTabControl(HWND tab);
    TmyTabControl(const TmyTabControl&) = delete;
    TmyTabControl& operator=(const TmyTabControl&) = delete;

    void AddPage(const char* caption);
    // Windows for pages not added, pages beyond the table or beyond a full page are ignored.
    void AddToPage(int32_t page, HWND window);
    void SelectPage(int32_t page);
    void ShowSelectedPage();

    // The bookkeeping behind the three operations above, without touching any window: whether
    // a window just added must be hidden, and the steps of switching to a page.
    bool RecordWindow(int32_t page, HWND window);
    std::vector<TPageStep> SwitchSteps(int32_t page);

    int32_t ActivePage;
    int32_t LastPage;
    HWND PageWindows[MaxPages][MaxPageWindows];
    int32_t LastWindow[MaxPageWindows];
    HWND Handle;
};
