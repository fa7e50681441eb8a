#include "toolkit/hyperlinks.h"

#include "crash/exception_guard.h"
#include "shell/product.h"
#include "shell/settings.h"
#include "toolkit/control_factory.h"

#include <shellapi.h>

std::string LinkUrls[MaxLinkUrls];
int32_t LinkCount = 0;
HCURSOR HandCursor = nullptr;

namespace {

void MakeLink(HWND window) {
    if (!HandCursor)
        HandCursor = LoadCursorA(ProgramInstance(), MAKEINTRESOURCEA(1));
    SubclassControl(TControlKind::Link, window);
}

void PaintLink(HWND window) {
    const std::string text = LinkDisplayText(GetWindowTextString(window));
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    SetBkMode(dc, TRANSPARENT);
    SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    SetTextColor(dc, RGB(0, 0, 255));
    HGDIOBJ oldFont = SelectObject(dc, DefaultFont);
    ExtTextOutA(dc, 0, 0, 0, &client, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    SelectObject(dc, oldFont);
    EndPaint(window, &paint);
}

LRESULT LinkBody(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintLink(window);
        return 0;
    case WM_SETCURSOR:
        SetCursor(HandCursor);
        return 0;
    case WM_NCHITTEST:
        return HTCLIENT;
    case WM_LBUTTONDOWN: {
        const int32_t slot = GetWindowLongA(window, GWL_USERDATA);
        OpenLink(window, LinkTarget(GetWindowTextString(window), slot));
        break;
    }
    }
    return CallPrevious(TControlKind::Link, window, message, wParam, lParam);
}

} // namespace

HWND CreateLink(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                int32_t height) {
    HWND window = CreateLabel(parent, id, caption, x, y, width, height);
    if (window)
        MakeLink(window);
    return window;
}

HWND CreateUrlLink(HWND parent, int32_t id, const char* caption, const char* target, int32_t x,
                   int32_t y, int32_t width, int32_t height) {
    HWND window = CreateLink(parent, id, caption, x, y, width, height);
    if (!window)
        return nullptr;
    const int32_t slot = RecordLinkTarget(target ? target : "");
    if (slot > 0)
        SetWindowLongA(window, GWL_USERDATA, slot);
    return window;
}

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return GuardMessage(LinkBody, window, message, wParam, lParam);
}

std::string LinkAddress(std::string_view target, std::optional<int32_t> runCounter) {
    if (target.find('@') != std::string_view::npos)
        return "mailto:" + std::string(target);
    std::string address(target);
    address += "?ref=";
    address += ReferralCode;
    if (runCounter)
        address += "&runs=" + std::to_string(*runCounter);
    return address;
}

std::string LinkDisplayText(std::string_view caption) {
    constexpr std::string_view prefix = ResellerPrefix;
    if (caption.substr(0, prefix.size()) == prefix)
        return ResellerDisplayText;
    return std::string(caption);
}

int32_t RecordLinkTarget(const std::string& target) {
    if (LinkCount >= MaxLinkUrls)
        return 0;
    LinkUrls[LinkCount] = target;
    LinkCount += 1;
    return LinkCount;
}

std::string LinkTarget(std::string_view caption, int32_t slot) {
    if (slot > 0 && slot <= LinkCount)
        return LinkUrls[slot - 1];
    return std::string(caption);
}

void OpenLink(HWND owner, const std::string& target) {
    std::optional<int32_t> runs;
    if (RunCounterRef)
        runs = *RunCounterRef;
    const std::string address = LinkAddress(target, runs);
    // Shown normally: a browser or mail program started hidden would leave the click unanswered.
    ShellExecuteA(owner, nullptr, address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

std::string GetWindowTextString(HWND window) {
    char buffer[1000];
    const int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}
