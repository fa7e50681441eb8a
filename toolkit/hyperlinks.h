#pragma once
// Hyperlink labels: blue text, a hand cursor, and a click that opens the link's target, web
// addresses tagged with the referral code and the run count, e-mail addresses as mailto:.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr char ReferralCode[] = "bx11";
inline constexpr int32_t MaxLinkUrls = 10;

extern std::string LinkUrls[MaxLinkUrls];
extern int32_t LinkCount;
extern HCURSOR HandCursor;

// A label that opens its own caption.
HWND CreateLink(HWND parent, int32_t id, const char* caption, int32_t x, int32_t y, int32_t width,
                int32_t height);
// A label that opens the target (or its caption once the ten target slots are taken).
HWND CreateUrlLink(HWND parent, int32_t id, const char* caption, const char* target, int32_t x,
                   int32_t y, int32_t width, int32_t height);

LRESULT CALLBACK LinkProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The address that a click opens: "mailto:" for anything with an at sign, otherwise the target
// with "?ref=bx11" and, when there is a run counter, "&runs=" and its value.
std::string LinkAddress(std::string_view target, std::optional<int32_t> runCounter);
// What a link paints: the reseller's long order addresses are shown shortened.
std::string LinkDisplayText(std::string_view caption);
// Records a target in the next free slot; the slot number (1..10) for the label, or 0 when full.
int32_t RecordLinkTarget(const std::string& target);
// The target of a label with the given slot number (0: its caption).
std::string LinkTarget(std::string_view caption, int32_t slot);

void OpenLink(HWND owner, const std::string& target);

// A window's text, at most 999 characters.
std::string GetWindowTextString(HWND window);
