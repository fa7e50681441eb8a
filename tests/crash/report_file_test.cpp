// Where the page goes: the folder, the file name choice (numbered names when taken), and the
// page written into a folder the test points AppData at.
#include "crash/bug_report.h"
#include "crash/crash_state.h"
#include "shell/random.h"
#include "shell/settings.h"
#include "support/process.h"
#include "support/registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using namespace testing_support;

std::set<std::string> Taken;
int ExistsCalls = 0;
bool IsTaken(const std::string& path) {
    ++ExistsCalls;
    return Taken.count(path) > 0;
}
bool AlwaysTaken(const std::string&) {
    ++ExistsCalls;
    return true;
}

std::vector<double> Draws;
size_t DrawIndex = 0;
double NextDraw() {
    return Draws[DrawIndex++ % Draws.size()];
}

class FileChoice : public testing::Test {
  protected:
    void SetUp() override {
        Taken.clear();
        ExistsCalls = 0;
        DrawIndex = 0;
        Draws = {0.5};
        SetRandomSource(NextDraw);
    }
    void TearDown() override { SetRandomSource(nullptr); }
    std::string Choose() {
        std::string path;
        ChooseReportPath("C:\\data\\Brindlemax", IsTaken, path);
        return path;
    }
};

TEST_F(FileChoice, NoFileYetGivesBugReportHtml) {
    EXPECT_EQ(Choose(), "C:\\data\\Brindlemax\\BugReport.html");
    EXPECT_EQ(DrawIndex, 0u);
}

TEST_F(FileChoice, ExistingReportGivesANumberedName) {
    Taken = {"C:\\data\\Brindlemax\\BugReport.html"};
    // 0.5 * 9999 = 4999.5, rounded to the even neighbour.
    EXPECT_EQ(Choose(), "C:\\data\\Brindlemax\\BugReport5000.html");
}

TEST_F(FileChoice, TakenNumberedNamesAreNotReused) {
    Draws = {0.0, 0.0, 0.99999, 0.1};
    Taken = {"C:\\data\\Brindlemax\\BugReport.html", "C:\\data\\Brindlemax\\BugReport0.html",
             "C:\\data\\Brindlemax\\BugReport9999.html"};
    EXPECT_EQ(Choose(), "C:\\data\\Brindlemax\\BugReport1000.html"); // 999.9 rounds to 1000
    EXPECT_EQ(DrawIndex, 4u);
}

TEST_F(FileChoice, AfterTenThousandTakenNamesTheNextIsUsedUntested) {
    Draws = {0.25};
    std::string path;
    ChooseReportPath("D:", AlwaysTaken, path);
    EXPECT_EQ(path, "D:\\BugReport2500.html"); // 2499.75
    EXPECT_EQ(ExistsCalls, 1 + 10000);
    EXPECT_EQ(DrawIndex, 10001u);
}

TEST(ReportFolder, AppDataOrTheInstallPath) {
    EXPECT_EQ(ReportFolder("C:\\users\\me\\AppData\\Roaming", "C:\\Program Files\\Brindlemax"),
              "C:\\users\\me\\AppData\\Roaming\\Brindlemax");
    EXPECT_EQ(ReportFolder("", "C:\\Program Files\\Brindlemax"), "C:\\Program Files\\Brindlemax");
    EXPECT_EQ(ReportFolder("", ""), ""); // the page then goes to "\BugReport.html"
}

class DirectoryParts : public testing::TestWithParam<std::pair<const char*, const char*>> {};

TEST_P(DirectoryParts, KeepTheSeparator) {
    EXPECT_EQ(DirectoryPart(GetParam().first), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Paths, DirectoryParts,
                         testing::Values(std::make_pair("C:\\a\\b\\BugReport.html", "C:\\a\\b\\"),
                                         std::make_pair("C:/a/BugReport.html", "C:/a/"),
                                         std::make_pair("C:BugReport.html", "C:"),
                                         std::make_pair("\\BugReport.html", "\\"),
                                         std::make_pair("BugReport.html", "")));

// The page written for real, into a scratch folder that AppData names for the test's duration.
class PageFile : public testing::Test {
  protected:
    static constexpr char ShellFolders[] =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
    void SetUp() override {
        OldAppData = ReadRawValue(HKEY_CURRENT_USER, ShellFolders, "AppData");
        Scratch = MakeScratchFolder("report-file");
        Scratch.pop_back(); // no trailing backslash, as the shell folder is stored
        SetAppData(Scratch);
        InitCrashState();
        RegisterText = "EAX=00000000";
        SetRandomSource([] { return 0.0; });
    }
    void TearDown() override {
        SetRandomSource(nullptr);
        if (OldAppData)
            WriteRawValue(HKEY_CURRENT_USER, ShellFolders, "AppData", OldAppData->Type,
                          OldAppData->Data);
        Settings.InstallPath.clear();
    }
    void SetAppData(const std::string& folder) {
        WriteRawValue(HKEY_CURRENT_USER, ShellFolders, "AppData", REG_SZ, folder + '\0');
    }
    std::optional<TRawValue> OldAppData;
    std::string Scratch;
};

TEST_F(PageFile, GoesToBugReportHtmlInANewFolder) {
    ASSERT_TRUE(WriteBugReport("boom", "Exception", 0x401000, OriginUnhandled));
    EXPECT_EQ(ReportPath, Scratch + "\\Brindlemax\\BugReport.html");
    const std::string page = ReadWholeFile(ReportPath);
    EXPECT_EQ(page.rfind("<html>", 0), 0u);
    EXPECT_NE(page.find("\r\nException: boom\r\nException class: Exception\r\n"
                        "Exception address: 00401000\r\nApp mode: 256\r\n"),
              std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 16), "</BODY></html>\r\n");
}

TEST_F(PageFile, SecondReportGetsANumberedName) {
    ASSERT_TRUE(WriteBugReport("first", "Exception", 0, OriginUnhandled));
    ASSERT_TRUE(WriteBugReport("second", "Exception", 0, OriginUnhandled));
    EXPECT_EQ(ReportPath, Scratch + "\\Brindlemax\\BugReport0.html");
    EXPECT_NE(ReadWholeFile(Scratch + "\\Brindlemax\\BugReport.html").find("Exception: first"),
              std::string::npos);
}

TEST_F(PageFile, ReusedNameIsTruncatedNotOverwrittenInPart) {
    // Every numbered name draws 0, so once BugReport0.html exists it is the untested name.
    CreateDirectoryA((Scratch + "\\Brindlemax").c_str(), nullptr);
    for (const char* name : {"\\Brindlemax\\BugReport.html", "\\Brindlemax\\BugReport0.html"}) {
        HANDLE file = CreateFileA((Scratch + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const std::string old(100000, 'x');
        DWORD written;
        WriteFile(file, old.data(), static_cast<DWORD>(old.size()), &written, nullptr);
        CloseHandle(file);
    }
    ASSERT_TRUE(WriteBugReport("third", "Exception", 0, OriginUnhandled));
    EXPECT_EQ(ReportPath, Scratch + "\\Brindlemax\\BugReport0.html");
    const std::string page = ReadWholeFile(ReportPath);
    EXPECT_EQ(page.find('x' + std::string(20, 'x')), std::string::npos);
    EXPECT_EQ(page.substr(page.size() - 16), "</BODY></html>\r\n");
}

TEST_F(PageFile, WithoutAppDataTheInstallPathIsUsed) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, ShellFolders, 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    RegDeleteValueA(key, "AppData");
    RegCloseKey(key);
    EXPECT_EQ(ReadShellFolder("AppData"), "");
    Settings.InstallPath = Scratch;
    ASSERT_TRUE(WriteBugReport("boom", "Exception", 0, OriginUnhandled));
    EXPECT_EQ(ReportPath, Scratch + "\\BugReport.html");
    EXPECT_FALSE(ReadWholeFile(ReportPath).empty());
}

TEST_F(PageFile, UncreatableFileGivesFalse) {
    // A plain file stands where the report folder would be.
    HANDLE blocker = CreateFileA((Scratch + "\\Brindlemax").c_str(), GENERIC_WRITE, 0, nullptr,
                                 CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(blocker, INVALID_HANDLE_VALUE);
    CloseHandle(blocker);
    EXPECT_FALSE(WriteBugReport("boom", "Exception", 0, OriginUnhandled));
}

} // namespace
