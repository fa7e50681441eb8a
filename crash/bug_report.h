#pragma once
// The bug-report page: where it goes, what it says, and the form that posts it to the maker.
#include <cstdint>
#include <string>
#include <string_view>

// Everything the page shows, as values, so the page can be composed without the system.
struct TReportValues {
    std::string_view Message;
    std::string_view ClassText;
    uint32_t Address = 0;
    uint32_t OriginFlags = 0;
    std::string_view AppVersion;
    std::string_view System;
    std::string_view Resolution;
    std::string_view Registers;
    bool AccessViolation = false; // the saved fault is an access violation
    uint32_t AccessKind = 0;      // its first information entry: 0 read, otherwise write
    uint32_t AccessAddress = 0;   // its second: the address it tried to reach
    uint32_t RaiseFrame = 0;
    std::string_view StackTrace;
    std::string_view RawStack;
};

// Appends the whole page, every line ended by CR LF, to page.
void ComposeReportPage(const TReportValues& values, std::string& page);

// Appends text with "<", ">" and "&" written as entities, so the browser shows (and the form
// posts) exactly the original text and nothing can close the text area early.
void AppendHtmlEscaped(std::string_view text, std::string& out);

std::string FormatAppVersion(uint32_t version);
std::string FormatSystemText(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                             std::string_view servicePack);
std::string FormatResolution(int32_t width, int32_t height, bool directDraw);

std::string AppVersionText();
std::string SystemText();
std::string ResolutionText();

// The report's folder: AppData\Brindlemax, or the install path when AppData is unknown.
std::string ReportFolder(std::string_view appData, std::string_view installPath);

// Chooses the file in folder: "BugReport.html", or while that and each new try exist, a numbered
// name from the program's random generator. After 10000 taken names the next is used untested.
using TExistsTest = bool (*)(const std::string& path);
void ChooseReportPath(std::string_view folder, TExistsTest exists, std::string& path);

// Everything up to and including the last "\", "/" or ":"; empty when there is none.
std::string DirectoryPart(std::string_view path);

bool PathExists(const std::string& path);
std::string ReadShellFolder(const char* name);
void EnsureDirectory(const std::string& path);
bool CreateReportFile(const std::string& path);
void WriteReportLine(std::string_view text);
void CloseReportFile();

// Reserves the page buffer at start-up.
void InitBugReport();

// Chooses the file (into ReportPath) and writes the page; false when the file cannot be opened.
bool WriteBugReport(const std::string& message, const std::string& classText, uint32_t address,
                    uint32_t originFlags);
