#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct TLineCase {
    const char* Argument1;
    const char* Argument2;
    const char* Mode;
    const char* Parameter;
    int32_t Window;
    TRunModeAction Action;
};

class CommandLineTable : public testing::TestWithParam<TLineCase> {};

TEST_P(CommandLineTable, ParsesModeParameterAndWindow) {
    const TLineCase& c = GetParam();
    const TCommandLine line = ParseCommandLine(c.Argument1, c.Argument2);
    EXPECT_EQ(line.RunMode, c.Mode);
    EXPECT_EQ(line.RunParameter, c.Parameter);
    EXPECT_EQ(line.HostWindow, c.Window);
    EXPECT_EQ(ActionForMode(line.RunMode), c.Action);
}

using A = TRunModeAction;
INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineTable,
    testing::Values(TLineCase{nullptr, nullptr, "", "", 0, A::Configure},
                    TLineCase{"/S", nullptr, "s", "", 0, A::FullScreen},
                    TLineCase{"/s", nullptr, "s", "", 0, A::FullScreen},
                    TLineCase{"-s", nullptr, "s", "", 0, A::FullScreen},
                    // A bare letter loses its only character to the switch removal.
                    TLineCase{"s", nullptr, "", "", 0, A::Configure},
                    TLineCase{"/p:1234", nullptr, "p", "1234", 1234, A::Preview},
                    TLineCase{"/p", "1234", "p", "1234", 1234, A::Preview},
                    TLineCase{"/P", "1234", "p", "1234", 1234, A::Preview},
                    TLineCase{"/p", nullptr, "p", "", 0, A::Preview},
                    TLineCase{"/p", "abc", "p", "abc", 0, A::Preview},
                    TLineCase{"/p:12:34", nullptr, "p", "12:34", 0, A::Preview},
                    // After a colon the second argument is not read.
                    TLineCase{"/p:5", "77", "p", "5", 5, A::Preview},
                    TLineCase{"/c:1234", nullptr, "c", "1234", 1234, A::Configure},
                    TLineCase{"/c", nullptr, "c", "", 0, A::Configure},
                    TLineCase{"/scr", nullptr, "scr", "", 0, A::Quit},
                    TLineCase{"/x", nullptr, "x", "", 0, A::Quit},
                    TLineCase{"/a:1234", nullptr, "a", "1234", 1234, A::ChangePassword},
                    TLineCase{"/a", nullptr, "a", "", 0, A::ChangePassword},
                    TLineCase{"/p", "-5", "p", "-5", -5, A::Preview},
                    TLineCase{"/p", "4294967296", "p", "4294967296", 0, A::Preview},
                    TLineCase{"/p", " 12", "p", " 12", 0, A::Preview},
                    TLineCase{":", nullptr, "", "", 0, A::Configure},
                    // Only A to Z are lower-cased.
                    TLineCase{"/\xC4", nullptr, "\xC4", "", 0, A::Quit}));

TEST(CommandLine, LongArgumentsAreCutTo255BeforeTheModeIsExamined) {
    // The colon sits at position 300, beyond the cut, so it is never seen.
    std::string first = "/s" + std::string(297, 'x') + ":12";
    const TCommandLine line = ParseCommandLine(first.c_str(), "99");
    EXPECT_EQ(line.RunMode.size(), 254u); // 255 stored, the switch removed
    EXPECT_EQ(line.RunParameter, "99");

    const std::string second(300, '7');
    EXPECT_EQ(ParseCommandLine("/p", second.c_str()).RunParameter.size(), 255u);
}

TEST(CommandLine, ParameterAfterColonIsCutWithItsArgument) {
    std::string first = "/p:" + std::string(300, '1');
    const TCommandLine line = ParseCommandLine(first.c_str(), nullptr);
    EXPECT_EQ(line.RunParameter.size(), 252u);
    EXPECT_EQ(line.HostWindow, 0); // far out of range
}

} // namespace
