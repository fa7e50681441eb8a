// Whole crashes of a probe that starts exactly as Brindlemax.scr does: the exit code, the page in
// AppData\Brindlemax and the Explorer started on it (a stand-in beside a copy of the probe).
#include "crash/bug_report.h"
#include "support/process.h"
#include "support/registry.h"
#include "support/text.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <vector>

namespace {

using namespace testing_support;

constexpr DWORD Timeout = 120000;
constexpr DWORD CrashExitCode = 217;

bool IsHex8(const std::string& text) {
    return std::regex_match(text, std::regex("[0-9A-F]{8}"));
}

// The value of the first line that starts with label, or nothing.
std::optional<std::string> LineAfter(const std::vector<std::string>& lines,
                                     const std::string& label) {
    for (const std::string& line : lines)
        if (line.rfind(label, 0) == 0)
            return line.substr(label.size());
    return std::nullopt;
}

class CrashProbe : public testing::Test {
  protected:
    void SetUp() override {
        // A folder of its own per test: the previous test's Explorer may still be running.
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("crash-") + test->test_suite_name() + "-" + test->name();
        std::replace(name.begin(), name.end(), '/', '-');
        Folder = MakeScratchFolder(name);
        ASSERT_TRUE(CopyInto(ExecutableFolder() + "crash_probe.exe", Folder));
        ASSERT_TRUE(CopyInto(ExecutableFolder() + "fakes\\explorer.exe", Folder));
        const std::string appData = ReadShellFolder("AppData");
        ASSERT_FALSE(appData.empty());
        ReportFolder = appData + "\\Brindlemax";
        RemoveReportFolder();
    }
    void TearDown() override { RemoveReportFolder(); }

  public:
    std::string Note(const char* name) const { return ReadWholeFile(Folder + name); }

  protected:
    void RemoveReportFolder() const {
        const std::string doubleNul = ReportFolder + '\0';
        SHFILEOPSTRUCTA remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = doubleNul.c_str();
        remove.fFlags = FOF_NO_UI;
        SHFileOperationA(&remove);
        DeleteFileA(ReportFolder.c_str()); // a plain file of that name, if a test left one
    }

    std::optional<DWORD> Run(const std::string& action) const {
        return RunProgram(Folder + "crash_probe.exe", action, Timeout);
    }
    // The stand-in Explorer's command line, waiting for it to appear.
    std::string ExplorerCommand(DWORD timeoutMs = 60000) const {
        const std::string path = Folder + "explorer-command.txt";
        for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
            if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
                return ReadWholeFile(path);
            Sleep(100);
        }
        return {};
    }

    std::string Folder;
    std::string ReportFolder;
};

struct TCrashCase {
    const char* Action;
    const char* ClassText;
    const char* Message;
    bool Fault; // a processor fault: the trace starts on the "StackTrace: " line itself
    const char* Mode = "256";
};

void PrintTo(const TCrashCase& c, std::ostream* out) {
    *out << c.Action;
}

class CrashCases : public CrashProbe, public testing::WithParamInterface<TCrashCase> {};

TEST_P(CrashCases, WriteThePageOpenItAndEndWith217) {
    const TCrashCase& c = GetParam();
    ASSERT_EQ(Run(c.Action), CrashExitCode);
    const std::string pagePath = ReportFolder + "\\BugReport.html";
    const std::string page = ReadWholeFile(pagePath);
    ASSERT_FALSE(page.empty());
    const std::vector<std::string> lines = SplitLines(page);

    EXPECT_EQ(LineAfter(lines, "Exception class: "), c.ClassText);
    EXPECT_EQ(LineAfter(lines, "App mode: "), c.Mode);
    const auto address = LineAfter(lines, "Exception address: ");
    ASSERT_TRUE(address && IsHex8(*address));
    // A converted fault's message ends in the address of the fault.
    if (c.Message) {
        EXPECT_EQ(LineAfter(lines, "Exception: "),
                  c.Fault ? std::string(c.Message) + " " + *address : c.Message);
    }

    const auto trace = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("StackTrace: ", 0) == 0;
    });
    ASSERT_NE(trace, lines.end());
    ASSERT_NE(trace + 1, lines.end());
    const std::string firstTraceLine = c.Fault ? trace->substr(12) : *(trace + 1);
    EXPECT_TRUE(IsHex8(firstTraceLine)) << *trace;
    if (!c.Fault) {
        EXPECT_EQ(*trace, "StackTrace: ");
    }

    // Every raise leaves its first frame; a converted fault's raise is the fault itself.
    const auto frame = LineAfter(lines, "Frame: ");
    ASSERT_TRUE(frame.has_value());
    EXPECT_TRUE(IsHex8(*frame));

    const auto registerLine = std::find(lines.begin(), lines.end(), "Registers:");
    ASSERT_NE(registerLine, lines.end());
    const std::string zero =
        "EAX=00000000 EBX=00000000 ECX=00000000 EDX=00000000 ESI=00000000 EDI=00000000 "
        "EBP=00000000 ESP=00000000";
    if (c.Fault) {
        EXPECT_NE(*(registerLine + 1), zero);
    } else {
        EXPECT_EQ(*(registerLine + 1), zero);
    }

    EXPECT_EQ(ExplorerCommand(), "explorer.exe \"" + pagePath + "\"");

    // The trace names the call the probe noted: the failing function's for a fault, the first
    // raise's (which the report keeps) after a handled raise.
    const std::string site = Note("probe-site.txt");
    if (!site.empty()) {
        if (c.Fault) {
            EXPECT_EQ(firstTraceLine, site);
        } else {
            EXPECT_NE(page.find("\r\n" + site + "\r\n"), std::string::npos) << site;
        }
    } else if (!c.Fault) {
        // An ordinary raise: the trace holds the call of the thrower at the raise address.
        const uint32_t raise = std::stoul(*address, nullptr, 16);
        char callSite[9];
        std::snprintf(callSite, sizeof(callSite), "%08X", raise - 5);
        EXPECT_NE(page.find(std::string("\r\n") + callSite + "\r\n"), std::string::npos)
            << callSite;
    }
}

constexpr char ProbeMessage[] = "Probe &lt;failure&gt; &amp; \"quotes\"";
constexpr char ForeignClass[] = "Exception object TForeignObject is not of class Exception.";

INSTANTIATE_TEST_SUITE_P(
    Failures, CrashCases,
    testing::Values(TCrashCase{"read", "TProcessorFault", nullptr, true},
                    TCrashCase{"write", "TProcessorFault", nullptr, true},
                    TCrashCase{"thread-read", "TProcessorFault", nullptr, true},
                    TCrashCase{"thread-write", "TProcessorFault", nullptr, true},
                    TCrashCase{"exception", "Exception", ProbeMessage, false},
                    TCrashCase{"thread-exception", "Exception", ProbeMessage, false},
                    TCrashCase{"foreign", ForeignClass, "", false},
                    TCrashCase{"thread-foreign", ForeignClass, "", false},
                    TCrashCase{"handled-then-exception", "Exception", ProbeMessage, false},
                    TCrashCase{"handled-then-write", "TProcessorFault", nullptr, true},
                    TCrashCase{"thread-fpu-raise", "TProcessorFault",
                               "Floating point division by zero at address", true},
                    TCrashCase{"guarded-exception", "Exception", ProbeMessage, false, "1"},
                    TCrashCase{"guarded-foreign", ForeignClass, "", false},
                    // The second thread's failure waits for the first one's report.
                    TCrashCase{"both-threads", "Exception", ProbeMessage, false}));

class AccessViolations : public CrashProbe,
                         public testing::WithParamInterface<std::pair<const char*, const char*>> {};

TEST_P(AccessViolations, NameTheAccessAndItsAddress) {
    const auto [action, expected] = GetParam();
    // First what this platform delivers for the access, seen from the probe's own handler.
    std::string plain = action;
    if (plain.rfind("thread-", 0) == 0)
        plain.erase(0, 7);
    ASSERT_EQ(Run("caught-" + plain), 3u);
    const std::string note = Note("probe-note.txt");
    if (note.rfind("C0000005", 0) != 0)
        GTEST_SKIP() << "this platform delivers the access violation as: " << note;
    ASSERT_EQ(Run(action), CrashExitCode);
    const std::vector<std::string> lines =
        SplitLines(ReadWholeFile(ReportFolder + "\\BugReport.html"));
    EXPECT_EQ(LineAfter(lines, "ExceptionInfo: "), expected);
}

INSTANTIATE_TEST_SUITE_P(Accesses, AccessViolations,
                         testing::Values(std::make_pair("read", "Error when read from 00000010"),
                                         std::make_pair("write", "Error when write to 00000024"),
                                         std::make_pair("thread-write",
                                                        "Error when write to 00000024")));

TEST_F(CrashProbe, FaultArrivesAsAnExceptionTheProgramCanHandle) {
    ASSERT_EQ(Run("caught-write"), 3u);
    EXPECT_NE(Note("probe-note.txt").find(" at address "), std::string::npos);
}

TEST_F(CrashProbe, RaiseWithoutFaultHasNoExceptionInfoLine) {
    ASSERT_EQ(Run("exception"), CrashExitCode);
    const std::string page = ReadWholeFile(ReportFolder + "\\BugReport.html");
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page.find("ExceptionInfo: "), std::string::npos);
}

TEST_F(CrashProbe, TwoThreadsFailingTogetherGiveOneReport) {
    ASSERT_EQ(Run("both-threads"), CrashExitCode);
    ASSERT_FALSE(ExplorerCommand().empty());
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((ReportFolder + "\\BugReport*.html").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    int pages = 1;
    while (FindNextFileA(search, &found))
        ++pages;
    FindClose(search);
    EXPECT_EQ(pages, 1);
}

TEST_F(CrashProbe, SecondCrashWritesANumberedPage) {
    ASSERT_EQ(Run("exception"), CrashExitCode);
    ASSERT_FALSE(ExplorerCommand().empty());
    DeleteFileA((Folder + "explorer-command.txt").c_str());
    ASSERT_EQ(Run("foreign"), CrashExitCode);
    const std::string command = ExplorerCommand();
    std::smatch match;
    ASSERT_TRUE(std::regex_match(command, match,
                                 std::regex("explorer\\.exe \"(.*\\\\BugReport([0-9]+)\\.html)\"")))
        << command;
    EXPECT_LE(std::stoi(match[2]), 9999);
    EXPECT_NE(ReadWholeFile(match[1]).find("TForeignObject"), std::string::npos);
    // The first page is still the first crash's.
    EXPECT_NE(
        ReadWholeFile(ReportFolder + "\\BugReport.html").find("Exception class: Exception\r\n"),
        std::string::npos);
}

TEST_F(CrashProbe, UncreatableReportEndsWith217WithoutExplorer) {
    // A plain file where the report folder should be: the page cannot be created.
    HANDLE blocker = CreateFileA(ReportFolder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    EXPECT_EQ(Run("exception"), CrashExitCode);
    EXPECT_EQ(ExplorerCommand(5000), "");
}

// The saver's own crash test: F12 then F11 in a full-screen run makes the render thread divide by
// zero on the x87 unit. First with GDI, then with DirectDraw, which finds the first page taken.
class FullScreenCrashTest : public CrashProbe {
  protected:
    void TearDown() override {
        Saver.Kill();
        ClearCompanyKey();
        CrashProbe::TearDown();
    }

    // Runs the saver full screen and asks for the crash test; its exit code (nothing when it is
    // still running after the wait) and the page Explorer was started on.
    std::optional<DWORD> CrashSaver(const char* directDraw, std::string& page) {
        ClearCompanyKey();
        WriteText("DDraw", directDraw);
        // The saver looks at the request at the end of each lap: short laps.
        WriteText("Convert", "1000");
        DeleteFileA((Folder + "explorer-command.txt").c_str());
        page.clear();
        EXPECT_TRUE(Saver.Start(Folder + "Brindlemax.scr", "/s"));
        HWND window = WaitForWindow("Show_MainWindow", Saver.ProcessId(), Timeout);
        EXPECT_NE(window, nullptr);
        for (DWORD waited = 0; window && !IsWindowVisible(window) && waited < Timeout; waited += 50)
            Sleep(50);
        PostMessageA(window, WM_KEYDOWN, VK_F12, 1);
        PostMessageA(window, WM_KEYDOWN, VK_F11, 1);
        const std::optional<DWORD> exitCode = Saver.Wait(45000);
        Saver.Kill();
        if (exitCode == CrashExitCode) {
            const std::string command = ExplorerCommand();
            std::smatch match;
            if (std::regex_match(command, match, std::regex("explorer\\.exe \"(.*)\"")))
                page = ReadWholeFile(match[1]);
        }
        return exitCode;
    }

    TProgram Saver;
};

void ExpectRenderThreadFault(const std::string& page, const std::string& resolution) {
    const std::vector<std::string> lines = SplitLines(page);
    EXPECT_EQ(LineAfter(lines, "Exception class: "), "TProcessorFault");
    const auto address = LineAfter(lines, "Exception address: ");
    ASSERT_TRUE(address.has_value());
    EXPECT_EQ(LineAfter(lines, "Exception: "),
              "Floating point division by zero at address " + *address);
    EXPECT_EQ(LineAfter(lines, "App mode: "), "256");
    EXPECT_EQ(LineAfter(lines, "Resolution: "), resolution);
    EXPECT_FALSE(LineAfter(lines, "ExceptionInfo: ").has_value());
    const auto trace = LineAfter(lines, "StackTrace: ");
    ASSERT_TRUE(trace.has_value());
    EXPECT_TRUE(IsHex8(*trace)) << *trace;
    const auto registerLine = std::find(lines.begin(), lines.end(), "Registers:");
    ASSERT_NE(registerLine, lines.end());
    EXPECT_EQ((registerLine + 1)->find("ESP=00000000"), std::string::npos) << *(registerLine + 1);
}

TEST_F(FullScreenCrashTest, RenderThreadFaultIsReportedWithGdiAndDirectDraw) {
    ASSERT_TRUE(CopyInto(ProgramPath(), Folder));
    const std::string screen = std::to_string(GetSystemMetrics(SM_CXSCREEN)) + "x" +
                               std::to_string(GetSystemMetrics(SM_CYSCREEN));

    std::string gdiPage;
    const std::optional<DWORD> gdiExit = CrashSaver("0", gdiPage);
    if (!gdiExit) {
        // The fault needs a processor whose x87 unit raises it; an emulator may only record it.
        if (Run("caught-fpu") == 0u)
            GTEST_SKIP() << "this platform does not deliver x87 faults (" << Note("probe-note.txt")
                         << ")";
        FAIL() << "the crash test did not end the saver";
    }
    ASSERT_EQ(gdiExit, CrashExitCode);
    ASSERT_FALSE(gdiPage.empty()) << "no page, or Explorer was not started on it";
    ExpectRenderThreadFault(gdiPage, screen);
    EXPECT_EQ(ReadWholeFile(ReportFolder + "\\BugReport.html"), gdiPage);

    std::string directDrawPage;
    ASSERT_EQ(CrashSaver("1", directDrawPage), CrashExitCode);
    ASSERT_FALSE(directDrawPage.empty());
    ExpectRenderThreadFault(directDrawPage, screen + " - DDraw");
    EXPECT_TRUE(std::regex_match(ExplorerCommand(),
                                 std::regex("explorer\\.exe \".*\\\\BugReport[0-9]+\\.html\"")))
        << ExplorerCommand();
}

} // namespace
