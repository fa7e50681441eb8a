#include "toolkit/tab_control.h"

#include "toolkit/control_factory.h"

#include <commctrl.h>

#include <cstring>

HWND CreateTabControl(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y,
                      int32_t width, int32_t height) {
    InitCommonControls();
    HWND window = CreateWindowExA(0, WC_TABCONTROLA, caption ? caption : "",
                                  WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | TCS_HOTTRACK,
                                  ToPixels(x), ToPixels(y), ToPixels(width), ToPixels(height),
                                  parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                  ProgramInstance(), nullptr);
    if (!window)
        return nullptr;
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(DefaultFont), 1);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    RegisterControl(id, window);
    SubclassControl(TControlKind::Tab, window);
    return window;
}

TmyTabControl::TmyTabControl(HWND tab) : ActivePage(-1), LastPage(-1), PageWindows{}, Handle(tab) {
    for (int32_t& last : LastWindow)
        last = -1;
}

void TmyTabControl::AddPage(const char* caption) {
    LastPage += 1;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption ? caption : "");
    item.cchTextMax = static_cast<int>(std::strlen(item.pszText));
    item.iImage = 0;
    SendMessageA(Handle, TCM_INSERTITEMA, LastPage, reinterpret_cast<LPARAM>(&item));
}

bool TmyTabControl::RecordWindow(int32_t page, HWND window) {
    if (page < 0 || page > LastPage || page >= MaxPages || LastWindow[page] + 1 >= MaxPageWindows)
        return false;
    LastWindow[page] += 1;
    PageWindows[page][LastWindow[page]] = window;
    return page != ActivePage;
}

void TmyTabControl::AddToPage(int32_t page, HWND window) {
    if (RecordWindow(page, window))
        ShowWindow(window, SW_HIDE);
}

std::vector<TPageStep> TmyTabControl::SwitchSteps(int32_t page) {
    std::vector<TPageStep> steps;
    if (ActivePage >= 0 && ActivePage < MaxPages)
        for (int32_t slot = 0; slot <= LastWindow[ActivePage]; ++slot)
            steps.push_back({PageWindows[ActivePage][slot], false});
    // A page that was never added (no tabs at all gives -1) shows nothing.
    if (page < 0 || page > LastPage || page >= MaxPages) {
        ActivePage = -1;
        return steps;
    }
    for (int32_t slot = 0; slot <= LastWindow[page]; ++slot)
        steps.push_back({PageWindows[page][slot], true});
    ActivePage = page;
    return steps;
}

void TmyTabControl::SelectPage(int32_t page) {
    for (const TPageStep& step : SwitchSteps(page))
        ShowWindow(step.Window, step.Show ? SW_SHOW : SW_HIDE);
}

void TmyTabControl::ShowSelectedPage() {
    InvalidateRgn(Handle, nullptr, FALSE);
    SelectPage(static_cast<int32_t>(SendMessageA(Handle, TCM_GETCURSEL, 0, 0)));
}
