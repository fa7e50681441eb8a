// The crash reporter's texts as plain functions of values: register line, raw stack dump, the
// page's lines, the version, system and resolution texts, and fault messages.
#include "crash/bug_report.h"
#include "crash/crash_state.h"
#include "crash/exception_capture.h"
#include "crash/exception_support.h"
#include "support/text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

using testing_support::SplitLines;

TEST(RegisterLine, ListsTheEightRegistersInOrder) {
    CONTEXT context{};
    context.Eax = 0x00000001;
    context.Ebx = 0xABCDEF12;
    context.Ecx = 0x0040A1C3;
    context.Edx = 0xFFFFFFFF;
    context.Esi = 0x10;
    context.Edi = 0x7FFE0000;
    context.Ebp = 0x0012FF88;
    context.Esp = 0x0012FF00;
    context.Eip = 0x12345678; // not part of the line
    std::string text;
    AppendRegisterLine(context, text);
    EXPECT_EQ(text, "EAX=00000001 EBX=ABCDEF12 ECX=0040A1C3 EDX=FFFFFFFF ESI=00000010 "
                    "EDI=7FFE0000 EBP=0012FF88 ESP=0012FF00");
    EXPECT_EQ(text.size(), 103u);
}

TEST(RegisterLine, WithoutAFaultEveryValueIsZero) {
    std::string text;
    AppendRegisterLine(CONTEXT{}, text);
    EXPECT_EQ(text, "EAX=00000000 EBX=00000000 ECX=00000000 EDX=00000000 ESI=00000000 "
                    "EDI=00000000 EBP=00000000 ESP=00000000");
}

std::vector<uint8_t> CountingBytes() {
    std::vector<uint8_t> bytes(RawStackBytes);
    std::iota(bytes.begin(), bytes.end(), uint8_t{0});
    return bytes;
}

TEST(RawDump, TwentyLinesOfSixteenBytes) {
    const std::vector<uint8_t> bytes = CountingBytes();
    std::string text;
    AppendRawDump(bytes.data(), bytes.size(), text);
    std::vector<std::string> lines = SplitLines(text);
    ASSERT_EQ(lines.size(), 21u);
    EXPECT_EQ(lines.back(), ""); // the last line ends in CR LF too
    lines.pop_back();
    for (const std::string& line : lines)
        EXPECT_EQ(line.size(), 49u) << line;
    EXPECT_EQ(lines[0], "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F");
    EXPECT_EQ(lines[19], "30 31 32 33 34 35 36 37 - 38 39 3A 3B 3C 3D 3E 3F");
}

class PartialRawDump : public testing::TestWithParam<std::pair<size_t, const char*>> {};

TEST_P(PartialRawDump, StopsAtTheFirstUnreadableByte) {
    const std::vector<uint8_t> bytes = CountingBytes();
    std::string text;
    AppendRawDump(bytes.data(), GetParam().first, text);
    EXPECT_EQ(text, GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Counts, PartialRawDump,
    testing::Values(std::make_pair(0, ""), std::make_pair(3, "00 01 02 "),
                    std::make_pair(8, "00 01 02 03 04 05 06 07 -"),
                    std::make_pair(9, "00 01 02 03 04 05 06 07 - 08"),
                    std::make_pair(16, "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F\r\n"),
                    std::make_pair(18, "00 01 02 03 04 05 06 07 - 08 09 0A 0B 0C 0D 0E 0F\r\n"
                                       "10 11 ")));

TEST(RawDump, MemoryDumpEndsWhereThePageEnds) {
    // 20 readable bytes at the end of a page whose next page cannot be read.
    auto* base = static_cast<uint8_t*>(
        VirtualAlloc(nullptr, 0x2000, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(base, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(base + 0x1000, 0x1000, PAGE_NOACCESS, &old));
    uint8_t* start = base + 0x1000 - 20;
    for (int i = 0; i < 20; ++i)
        start[i] = static_cast<uint8_t>(0xA0 + i);
    CapturedStackPointer = reinterpret_cast<uint32_t>(start);
    BuildRawStackDump();
    EXPECT_EQ(RawStackText, "A0 A1 A2 A3 A4 A5 A6 A7 - A8 A9 AA AB AC AD AE AF\r\n"
                            "B0 B1 B2 B3 ");
    VirtualFree(base, 0, MEM_RELEASE);
}

// The values of a fault report: an access violation read, a raise frame, a fault's trace.
TReportValues FaultValues() {
    TReportValues v;
    v.Message = "Access violation";
    v.ClassText = "TProcessorFault";
    v.Address = 0x0040A1C3;
    v.OriginFlags = OriginUnhandled;
    v.AppVersion = "1.1.0.0";
    v.System = "Windows NT 6.1 Build: 7601 Service Pack 1";
    v.Resolution = "1024x768 - DDraw";
    v.Registers = "EAX=00000001";
    v.AccessViolation = true;
    v.AccessKind = 0;
    v.AccessAddress = 0x10;
    v.RaiseFrame = 0x0040A1C4;
    v.StackTrace = "00401000\r\n00402000\r\n";
    v.RawStack = "00 01\r\n";
    return v;
}

TEST(ReportPage, FaultPageLineByLine) {
    std::string page;
    ComposeReportPage(FaultValues(), page);
    const std::vector<std::string> expected = {
        "<html><head><title>Exception report: Brindlemax</title></head><BODY>",
        "Exception occured in Brindlemax. This form help you to send report to "
        "developer.<BR><BR>",
        "<FORM action=\"http://www.tarvenix.example/brindlebugreport.php\" method=post>",
        "Contact email (optional):<BR><INPUT id=email size=47 name=email><BR><BR>",
        "Exception information: (do not edit)<BR>",
        "<TEXTAREA id=message name=message rows=11 wrap=PHYSICAL cols=60>",
        "Exception: Access violation",
        "Exception class: TProcessorFault",
        "Exception address: 0040A1C3",
        "App mode: 256",
        "App version: 1.1.0.0",
        "System: Windows NT 6.1 Build: 7601 Service Pack 1",
        "Resolution: 1024x768 - DDraw",
        "",
        "Registers:",
        "EAX=00000001",
        "",
        "ExceptionInfo: Error when read from 00000010",
        "Frame: 0040A1C4",
        "StackTrace: 00401000",
        "00402000",
        "",
        "",
        "Raw stack dump: ",
        "00 01",
        "", // the dump's own line end
        "",
        "",
        "</TEXTAREA><BR><BR>",
        "",
        "",
        "<INPUT type=submit value=\"Send Report\" name=Submit>",
        "</FORM>",
        "</BODY></html>",
        "",
    };
    EXPECT_EQ(SplitLines(page), expected);
}

std::vector<std::string> PageLines(const TReportValues& values) {
    std::string page;
    ComposeReportPage(values, page);
    return SplitLines(page);
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool HasLineStarting(const std::vector<std::string>& lines, const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
}

TEST(ReportPage, WriteAccessNamesTheTarget) {
    TReportValues v = FaultValues();
    v.AccessKind = 1;
    v.AccessAddress = 0xDEADBEEF;
    EXPECT_TRUE(HasLine(PageLines(v), "ExceptionInfo: Error when write to DEADBEEF"));
}

TEST(ReportPage, OtherFaultsAndRaisesHaveNoExceptionInfoLine) {
    TReportValues v = FaultValues();
    v.AccessViolation = false;
    EXPECT_FALSE(HasLineStarting(PageLines(v), "ExceptionInfo: "));
}

TEST(ReportPage, FrameLineOnlyWhenARaiseRecordedOne) {
    TReportValues v = FaultValues();
    v.RaiseFrame = 0;
    EXPECT_FALSE(HasLineStarting(PageLines(v), "Frame: "));
    v.RaiseFrame = 0xFFFFFFFE;
    EXPECT_TRUE(HasLine(PageLines(v), "Frame: FFFFFFFE"));
}

TEST(ReportPage, RaiseTraceStartsOnTheNextLine) {
    TReportValues v = FaultValues();
    v.StackTrace = "\r\n00401000\r\n";
    const std::vector<std::string> lines = PageLines(v);
    const auto trace = std::find(lines.begin(), lines.end(), "StackTrace: ");
    ASSERT_NE(trace, lines.end());
    EXPECT_EQ(*(trace + 1), "00401000");
}

TEST(ReportPage, FailureWordStandsInForTheTrace) {
    TReportValues v = FaultValues();
    v.StackTrace = RaiseHookFailedText;
    EXPECT_TRUE(HasLine(PageLines(v), "StackTrace: failed1"));
}

TEST(ReportPage, InsertedTextCannotBreakOutOfTheTextArea) {
    TReportValues v = FaultValues();
    v.Message = "a < b && c > d </TEXTAREA><script>";
    v.ClassText = "Exception object std::vector<int> is not of class Exception.";
    const std::vector<std::string> lines = PageLines(v);
    EXPECT_TRUE(HasLine(lines, "Exception: a &lt; b &amp;&amp; c &gt; d "
                               "&lt;/TEXTAREA&gt;&lt;script&gt;"));
    EXPECT_TRUE(HasLine(lines, "Exception class: Exception object std::vector&lt;int&gt; is not "
                               "of class Exception."));
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "</TEXTAREA><BR><BR>"), 1);
}

TEST(ReportPage, ConfigurationWindowReportShowsItsOrigin) {
    TReportValues v = FaultValues();
    v.OriginFlags = OriginConfigWindow;
    EXPECT_TRUE(HasLine(PageLines(v), "App mode: 1"));
}

TEST(Texts, AppVersionIsTheFourBytesFromTheTop) {
    EXPECT_EQ(FormatAppVersion(0x01010000), "1.1.0.0");
    EXPECT_EQ(FormatAppVersion(0x0A0B0CFF), "10.11.12.255");
    EXPECT_EQ(AppVersionText(), "1.1.0.0");
}

struct TSystemCase {
    uint32_t Platform, Major, Minor, Build;
    const char* ServicePack;
    const char* Expected;
};

class SystemTexts : public testing::TestWithParam<TSystemCase> {};

TEST_P(SystemTexts, NameThePlatformVersionBuildAndServicePack) {
    const TSystemCase& c = GetParam();
    EXPECT_EQ(FormatSystemText(c.Platform, c.Major, c.Minor, c.Build, c.ServicePack), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Platforms, SystemTexts,
    testing::Values(TSystemCase{VER_PLATFORM_WIN32_NT, 5, 1, 2600, "Service Pack 3",
                                "Windows NT 5.1 Build: 2600 Service Pack 3"},
                    TSystemCase{VER_PLATFORM_WIN32_NT, 10, 0, 19045, "",
                                "Windows NT 10.0 Build: 19045 "},
                    // Windows 9x keeps the version in the build number's high word.
                    TSystemCase{VER_PLATFORM_WIN32_WINDOWS, 4, 10, 0x040A08AE, " A",
                                "Windows 4.10 Build: 2222  A"}));

TEST(Texts, SystemTextOfThisSystem) {
    const std::string text = SystemText();
    EXPECT_EQ(text.rfind("Windows", 0), 0u);
    EXPECT_NE(text.find(" Build: "), std::string::npos);
}

TEST(Texts, ResolutionOfTheRun) {
    EXPECT_EQ(FormatResolution(0, 0, false), "0x0");
    EXPECT_EQ(FormatResolution(1024, 768, false), "1024x768");
    EXPECT_EQ(FormatResolution(1280, 1024, true), "1280x1024 - DDraw");
}

TEST(Texts, ForeignObjectClassText) {
    EXPECT_EQ(ForeignClassText("std::out_of_range"),
              "Exception object std::out_of_range is not of class Exception.");
}

TEST(FaultMessages, AccessViolationNamesTheAccess) {
    EXPECT_EQ(FaultMessage(EXCEPTION_ACCESS_VIOLATION, 0x401000, 0, 0x10),
              "Access violation at address 00401000: read of address 00000010");
    EXPECT_EQ(FaultMessage(EXCEPTION_ACCESS_VIOLATION, 0x401000, 1, 0x24),
              "Access violation at address 00401000: write to address 00000024");
    EXPECT_EQ(FaultMessage(EXCEPTION_FLT_DIVIDE_BY_ZERO, 0x402000, 0, 0),
              "Floating point division by zero at address 00402000");
    EXPECT_EQ(FaultMessage(0xC0001234, 0x402000, 0, 0),
              "Processor exception C0001234 at address 00402000");
}

} // namespace
