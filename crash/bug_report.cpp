#include "crash/bug_report.h"

#include "crash/crash_state.h"
#include "engine/run_state.h"
#include "shell/product.h"
#include "shell/random.h"
#include "shell/settings.h"
#include "shell/text.h"

#include <windows.h>

namespace {

HANDLE ReportFile = nullptr;
std::string PageBuffer;

constexpr int MaxNumberedTries = 10000;

void AppendLine(std::string& page, std::string_view text) {
    page.append(text);
    page.append("\r\n");
}

void AppendHex8(std::string& page, uint32_t value) {
    static const char Digits[] = "0123456789ABCDEF";
    for (int shift = 28; shift >= 0; shift -= 4)
        page.push_back(Digits[(value >> shift) & 15]);
}

} // namespace

void AppendHtmlEscaped(std::string_view text, std::string& out) {
    for (char c : text) {
        switch (c) {
        case '<':
            out.append("&lt;");
            break;
        case '>':
            out.append("&gt;");
            break;
        case '&':
            out.append("&amp;");
            break;
        default:
            out.push_back(c);
        }
    }
}

void ComposeReportPage(const TReportValues& v, std::string& page) {
    AppendLine(page, "<html><head><title>Exception report: Brindlemax</title></head><BODY>");
    AppendLine(page, "Exception occured in Brindlemax. This form help you to send report to "
                     "developer.<BR><BR>");
    page.append("<FORM action=\"").append(MakerBaseUrl).append("brindlebugreport.php\"");
    AppendLine(page, " method=post>");
    AppendLine(page, "Contact email (optional):<BR><INPUT id=email size=47 name=email><BR><BR>");
    AppendLine(page, "Exception information: (do not edit)<BR>");
    AppendLine(page, "<TEXTAREA id=message name=message rows=11 wrap=PHYSICAL cols=60>");
    page.append("Exception: ");
    AppendHtmlEscaped(v.Message, page);
    AppendLine(page, "");
    page.append("Exception class: ");
    AppendHtmlEscaped(v.ClassText, page);
    AppendLine(page, "");
    page.append("Exception address: ");
    AppendHex8(page, v.Address);
    AppendLine(page, "");
    page.append("App mode: ").append(std::to_string(v.OriginFlags));
    AppendLine(page, "");
    page.append("App version: ").append(v.AppVersion);
    AppendLine(page, "");
    page.append("System: ");
    AppendHtmlEscaped(v.System, page);
    AppendLine(page, "");
    page.append("Resolution: ").append(v.Resolution);
    AppendLine(page, "");
    AppendLine(page, "");
    AppendLine(page, "Registers:");
    AppendLine(page, v.Registers);
    AppendLine(page, "");
    if (v.AccessViolation) {
        page.append("ExceptionInfo: Error when ")
            .append(v.AccessKind == 0 ? "read from " : "write to ");
        AppendHex8(page, v.AccessAddress);
        AppendLine(page, "");
    }
    if (v.RaiseFrame != 0) {
        page.append("Frame: ");
        AppendHex8(page, v.RaiseFrame);
        AppendLine(page, "");
    }
    page.append("StackTrace: ");
    AppendLine(page, v.StackTrace);
    AppendLine(page, "");
    page.append("Raw stack dump: \r\n");
    AppendLine(page, v.RawStack);
    AppendLine(page, "");
    AppendLine(page, "");
    AppendLine(page, "</TEXTAREA><BR><BR>");
    AppendLine(page, "");
    AppendLine(page, "");
    AppendLine(page, "<INPUT type=submit value=\"Send Report\" name=Submit>");
    AppendLine(page, "</FORM>");
    AppendLine(page, "</BODY></html>");
}

std::string FormatAppVersion(uint32_t version) {
    return std::to_string(version >> 24) + "." + std::to_string((version >> 16) & 0xFF) + "." +
           std::to_string((version >> 8) & 0xFF) + "." + std::to_string(version & 0xFF);
}

std::string FormatSystemText(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                             std::string_view servicePack) {
    const bool nt = platformId == VER_PLATFORM_WIN32_NT;
    std::string text = nt ? "Windows NT " : "Windows ";
    text += std::to_string(major) + "." + std::to_string(minor) + " Build: ";
    text += std::to_string(nt ? build : (build & 0xFFFF));
    text += " ";
    text.append(servicePack);
    return text;
}

std::string FormatResolution(int32_t width, int32_t height, bool directDraw) {
    std::string text = std::to_string(width) + "x" + std::to_string(height);
    if (directDraw)
        text += " - DDraw";
    return text;
}

std::string AppVersionText() {
    return FormatAppVersion(ProgramVersion);
}

std::string SystemText() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the ANSI version record");
    GetVersionExA(&info);
    const std::string_view servicePack(info.szCSDVersion,
                                       strnlen(info.szCSDVersion, sizeof(info.szCSDVersion)));
    return FormatSystemText(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion,
                            info.dwBuildNumber, servicePack);
}

std::string ResolutionText() {
    return FormatResolution(FrameWidth, FrameHeight, DirectDrawInUse);
}

std::string ReportFolder(std::string_view appData, std::string_view installPath) {
    if (appData.empty())
        return std::string(installPath);
    return std::string(appData) + "\\" + ProductName;
}

void ChooseReportPath(std::string_view folder, TExistsTest exists, std::string& path) {
    path.assign(folder).append("\\BugReport.html");
    if (!exists(path))
        return;
    for (int tries = 1;; ++tries) {
        const int64_t number = RoundEven(RandomUnit() * 9999);
        path.assign(folder).append("\\BugReport").append(std::to_string(number)).append(".html");
        if (tries > MaxNumberedTries || !exists(path))
            return;
    }
}

std::string DirectoryPart(std::string_view path) {
    const size_t last = path.find_last_of("\\/:");
    return last == std::string_view::npos ? std::string() : std::string(path.substr(0, last + 1));
}

bool PathExists(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

std::string ReadShellFolder(const char* name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER,
                      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                      KEY_READ, &key) != ERROR_SUCCESS)
        return {};
    std::string text = ReadRegistryText(key, name);
    RegCloseKey(key);
    return text;
}

void EnsureDirectory(const std::string& path) {
    if (!PathExists(path))
        CreateDirectoryA(path.c_str(), nullptr);
}

bool CreateReportFile(const std::string& path) {
    // Always truncated: a report never leaves the tail of an older one behind it.
    ReportFile = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (ReportFile == INVALID_HANDLE_VALUE) {
        ReportFile = nullptr;
        return false;
    }
    return true;
}

void WriteReportLine(std::string_view text) {
    DWORD written;
    WriteFile(ReportFile, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    WriteFile(ReportFile, "\r\n", 2, &written, nullptr);
}

void CloseReportFile() {
    if (ReportFile)
        CloseHandle(ReportFile);
    ReportFile = nullptr;
}

void InitBugReport() {
    PageBuffer.reserve(StackTraceReserve + 8192);
}

bool WriteBugReport(const std::string& message, const std::string& classText, uint32_t address,
                    uint32_t originFlags) {
    ChooseReportPath(ReportFolder(ReadShellFolder("AppData"), Settings.InstallPath), PathExists,
                     ReportPath);
    if (!PathExists(ReportPath))
        EnsureDirectory(DirectoryPart(ReportPath));
    if (!CreateReportFile(ReportPath))
        return false;

    const std::string version = AppVersionText();
    const std::string system = SystemText();
    const std::string resolution = ResolutionText();
    TReportValues values;
    values.Message = message;
    values.ClassText = classText;
    values.Address = address;
    values.OriginFlags = originFlags;
    values.AppVersion = version;
    values.System = system;
    values.Resolution = resolution;
    values.Registers = RegisterText;
    values.AccessViolation = SavedExceptionRecord.ExceptionCode == EXCEPTION_ACCESS_VIOLATION;
    values.AccessKind = SavedExceptionRecord.ExceptionInformation[0];
    values.AccessAddress = SavedExceptionRecord.ExceptionInformation[1];
    values.RaiseFrame = RaiseFrame;
    values.StackTrace = StackTraceText;
    values.RawStack = RawStackText;
    PageBuffer.clear();
    ComposeReportPage(values, PageBuffer);
    // The page was composed in memory; one write puts all of it into the file.
    DWORD written;
    WriteFile(ReportFile, PageBuffer.data(), static_cast<DWORD>(PageBuffer.size()), &written,
              nullptr);
    CloseReportFile();
    return true;
}
