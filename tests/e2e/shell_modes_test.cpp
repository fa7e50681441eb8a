// The real program started with a command line: modes that end at once, and the password mode
// with a stand-in MPR.DLL beside a copy of the program.
#include "support/process.h"
#include "support/registry.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

constexpr DWORD Timeout = 60000;

class UnknownModes : public testing::TestWithParam<const char*> {};

TEST_P(UnknownModes, EndAtOnceWithExitCodeZero) {
    TProgram program;
    ASSERT_TRUE(program.Start(ProgramPath(), GetParam()));
    EXPECT_EQ(program.Wait(Timeout), 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnknownModes, testing::Values("/scr", "/x", "-q:5", "/1 2"));

class PasswordMode : public testing::Test {
  protected:
    void SetUp() override {
        Folder = MakeScratchFolder("password");
        ASSERT_TRUE(CopyInto(ProgramPath(), Folder));
        ASSERT_TRUE(CopyInto(ExecutableFolder() + "fakes\\MPR.DLL", Folder));
        // Wine would load its own MPR.DLL first; this prefers the one beside the program.
        WriteRawValue(HKEY_CURRENT_USER, OverrideKey, "mpr", REG_SZ, std::string("native\0", 7));
    }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, OverrideKey); }
    std::string Record() const { return ReadWholeFile(Folder + "PwdChangePasswordA.txt"); }
    static constexpr char OverrideKey[] = "Software\\Wine\\AppDefaults\\Brindlemax.scr\\DllOverrides";
    std::string Folder;
};

TEST_F(PasswordMode, PassesTheProviderAndTheOwnerWindow) {
    EXPECT_EQ(RunProgram(Folder + "Brindlemax.scr", "/a:1234", Timeout), 0u);
    EXPECT_EQ(Record(), "SCRSAVE 1234 0 0\n");
}

TEST_F(PasswordMode, WithoutAWindowPassesZero) {
    EXPECT_EQ(RunProgram(Folder + "Brindlemax.scr", "-A", Timeout), 0u);
    EXPECT_EQ(Record(), "SCRSAVE 0 0 0\n");
}

TEST_F(PasswordMode, SecondArgumentIsTheWindow) {
    EXPECT_EQ(RunProgram(Folder + "Brindlemax.scr", "/a 77", Timeout), 0u);
    EXPECT_EQ(Record(), "SCRSAVE 77 0 0\n");
}

TEST(PasswordModeWithoutLibrary, DoesNothingAndEndsNormally) {
    // The program's own folder has no stand-in; the system's MPR.DLL has no such entry point.
    EXPECT_EQ(RunProgram(ProgramPath(), "/a:1234", Timeout), 0u);
}

} // namespace
