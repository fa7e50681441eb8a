// The toolkit's decisions: unit conversion, focus search, page bookkeeping, link addresses,
// theme backgrounds and navigation keys.
#include "shell/product.h"
#include "shell/settings.h"
#include "toolkit/control_factory.h"
#include "toolkit/hyperlinks.h"
#include "toolkit/tab_control.h"
#include "toolkit/themed_procedures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// ---- design units ----

struct TConversion {
    int32_t Value;
    int32_t Dpi;
    int32_t Pixels; // UnitsToPixels(Value)
    int32_t Units;  // PixelsToUnits(Value)
};

class Conversion : public testing::TestWithParam<TConversion> {};

TEST_P(Conversion, RoundsHalvesToEven) {
    const TConversion c = GetParam();
    EXPECT_EQ(UnitsToPixels(c.Value, c.Dpi), c.Pixels);
    EXPECT_EQ(PixelsToUnits(c.Value, c.Dpi), c.Units);
}

INSTANTIATE_TEST_SUITE_P(Cases, Conversion,
                         testing::Values(TConversion{10, 96, 10, 10},
                                         TConversion{447, 96, 447, 447},
                                         TConversion{10, 120, 12, 8},  // 12.5 -> 12, 8.0
                                         TConversion{30, 120, 38, 24}, // 37.5 -> 38, 24.0
                                         TConversion{12, 120, 15, 10}, // 15.0, 9.6 -> 10
                                         TConversion{375, 120, 469, 300},
                                         TConversion{-10, 120, -12, -8}));

TEST(ScreenConversion, FollowsTheScreenResolution) {
    const int32_t saved = ScreenDpi;
    ScreenDpi = 120;
    EXPECT_EQ(ToPixels(10), 12);
    EXPECT_EQ(ToPixels(30), 38);
    EXPECT_EQ(FromPixels(12), 10);
    ScreenDpi = 96;
    EXPECT_EQ(ToPixels(123), 123);
    EXPECT_EQ(FromPixels(123), 123);
    ScreenDpi = saved;
}

// ---- focus search ----

struct TFocusCase {
    const char* Name;
    std::vector<bool> Focusable; // positions 1..n
    int32_t From;
    int Step;
    int32_t Expected;
};

class FocusSearch : public testing::TestWithParam<TFocusCase> {};

bool FromTable(int32_t position, void* context) {
    return (*static_cast<std::vector<bool>*>(context))[position - 1];
}

TEST_P(FocusSearch, FindsTheNextControlThatTakesTheFocus) {
    TFocusCase c = GetParam();
    EXPECT_EQ(NextFocusPosition(c.From, static_cast<int32_t>(c.Focusable.size()), c.Step, FromTable,
                                &c.Focusable),
              c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FocusSearch,
    testing::Values(TFocusCase{"ForwardWrapsToTheFirst", {true, true, true}, 3, +1, 1},
                    TFocusCase{"BackWrapsToTheLast", {true, true, true}, 1, -1, 3},
                    TFocusCase{"ForwardSkipsUnfocusable", {true, false, false, true}, 1, +1, 4},
                    TFocusCase{"BackSkipsUnfocusable", {true, false, false, true}, 4, -1, 1},
                    TFocusCase{"ComesBackToItself", {false, true, false}, 2, +1, 2},
                    TFocusCase{"NothingFocusableEndsTheSearch", {false, false}, 1, +1, 0},
                    TFocusCase{"UnregisteredStartDoesNothing", {true, true}, 0, +1, 0}),
    [](const testing::TestParamInfo<TFocusCase>& info) { return std::string(info.param.Name); });

// Real windows: a disabled and a hidden registered control are skipped in both directions.
class FocusOnWindows : public testing::Test {
  protected:
    void SetUp() override {
        Owner = CreateWindowExA(0, "STATIC", "focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(Owner);
        ResetFocusList();
        for (int id = 1; id <= 4; ++id) {
            Buttons[id] = CreateWindowExA(0, "BUTTON", "b", WS_CHILD | WS_VISIBLE, 10, 30 * id, 50,
                                          20, Owner, nullptr, nullptr, nullptr);
            RegisterControl(id, Buttons[id]);
        }
        EnableWindow(Buttons[2], FALSE);
        ShowWindow(Buttons[3], SW_HIDE);
    }
    void TearDown() override {
        DestroyWindow(Owner);
        ResetFocusList();
        FocusedWindow = nullptr;
    }
    HWND Owner = nullptr;
    HWND Buttons[5] = {};
};

TEST_F(FocusOnWindows, SkipsDisabledAndHiddenBothWays) {
    FocusControl(1);
    FocusNext(1);
    EXPECT_EQ(FocusedWindow, Buttons[4]);
    EXPECT_EQ(GetFocus(), Buttons[4]);
    FocusPrevious(4);
    EXPECT_EQ(FocusedWindow, Buttons[1]);
    FocusPrevious(1);
    EXPECT_EQ(FocusedWindow, Buttons[4]);
}

TEST_F(FocusOnWindows, IgnoresIdsAndRegistrationsBeyondTheTable) {
    RegisterControl(MaxId + 1, Buttons[1]);
    EXPECT_EQ(ControlCount, 4);
    for (int i = 0; i < MaxControls + 10; ++i)
        RegisterControl(5, Buttons[1]);
    EXPECT_EQ(ControlCount, MaxControls);
    FocusNext(MaxId + 50); // no such slot: nothing happens
    FocusControl(MaxId + 50);
    EXPECT_EQ(FocusedWindow, nullptr);
}

// ---- track bar steps ----

TEST(TrackBarSteps, DependOnTheMaximum) {
    EXPECT_EQ(TrackBarStepsFor(60).PageSize, 10);
    EXPECT_EQ(TrackBarStepsFor(60).TickFrequency, 5);
    EXPECT_EQ(TrackBarStepsFor(50).PageSize, 10);
    EXPECT_EQ(TrackBarStepsFor(49).PageSize, 2);
    EXPECT_EQ(TrackBarStepsFor(49).TickFrequency, 0);
}

// ---- page bookkeeping ----

HWND W(intptr_t n) {
    return reinterpret_cast<HWND>(n);
}

class Pages : public testing::Test {
  protected:
    void SetUp() override {
        Tab.AddPage("General");
        Tab.AddPage("About");
    }
    // No window behind it: only the bookkeeping runs.
    TmyTabControl Tab{nullptr};
};

bool SameSteps(const std::vector<TPageStep>& a, const std::vector<TPageStep>& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Window != b[i].Window || a[i].Show != b[i].Show)
            return false;
    return true;
}

TEST_F(Pages, BeforeTheFirstSelectionEveryAddedWindowIsHidden) {
    EXPECT_EQ(Tab.LastPage, 1);
    EXPECT_TRUE(Tab.RecordWindow(0, W(1)));
    EXPECT_TRUE(Tab.RecordWindow(1, W(2)));
}

TEST_F(Pages, SwitchingHidesTheOldPageThenShowsTheNewInSlotOrder) {
    Tab.RecordWindow(0, W(1));
    Tab.RecordWindow(0, W(2));
    Tab.RecordWindow(1, W(3));
    EXPECT_TRUE(SameSteps(Tab.SwitchSteps(0), {{W(1), true}, {W(2), true}}));
    EXPECT_FALSE(Tab.RecordWindow(0, W(4))) << "a window added to the active page stays as it is";
    EXPECT_TRUE(Tab.RecordWindow(1, W(5))) << "one added to another page is hidden";
    EXPECT_TRUE(
        SameSteps(Tab.SwitchSteps(1),
                  {{W(1), false}, {W(2), false}, {W(4), false}, {W(3), true}, {W(5), true}}));
    EXPECT_EQ(Tab.ActivePage, 1);
}

TEST_F(Pages, ReselectingTheActivePageHidesAndShowsItAgain) {
    Tab.RecordWindow(0, W(1));
    Tab.SwitchSteps(0);
    EXPECT_TRUE(SameSteps(Tab.SwitchSteps(0), {{W(1), false}, {W(1), true}}));
}

TEST_F(Pages, APageWithoutWindowsShowsNothing) {
    Tab.RecordWindow(0, W(1));
    Tab.SwitchSteps(0);
    EXPECT_TRUE(SameSteps(Tab.SwitchSteps(1), {{W(1), false}}));
}

TEST_F(Pages, APageNotAddedRecordsNothing) {
    EXPECT_FALSE(Tab.RecordWindow(2, W(1)));
    EXPECT_FALSE(Tab.RecordWindow(-1, W(1)));
    EXPECT_EQ(Tab.LastWindow[2], -1);
    Tab.SwitchSteps(0);
    EXPECT_TRUE(SameSteps(Tab.SwitchSteps(2), {})) << "selecting it shows nothing";
    EXPECT_EQ(Tab.ActivePage, -1);
}

TEST_F(Pages, AFullPageAndPagesBeyondTheTableAreIgnored) {
    for (intptr_t n = 1; n <= MaxPageWindows + 5; ++n)
        Tab.RecordWindow(0, W(n));
    EXPECT_EQ(Tab.LastWindow[0], MaxPageWindows - 1);
    EXPECT_EQ(Tab.PageWindows[0][MaxPageWindows - 1], W(MaxPageWindows));
    for (int page = 2; page < MaxPages + 3; ++page)
        Tab.AddPage("more");
    EXPECT_TRUE(Tab.RecordWindow(MaxPages - 1, W(99)));
    EXPECT_FALSE(Tab.RecordWindow(MaxPages, W(99)));
    EXPECT_EQ(Tab.SwitchSteps(MaxPages).size(), 0u);
}

// ---- link addresses ----

struct TLinkCase {
    const char* Target;
    std::optional<int32_t> Runs;
    const char* Address;
};

class LinkAddresses : public testing::TestWithParam<TLinkCase> {};

TEST_P(LinkAddresses, FollowTheReferralRules) {
    EXPECT_EQ(LinkAddress(GetParam().Target, GetParam().Runs), GetParam().Address);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkAddresses,
    testing::Values(TLinkCase{"support@tarvenix.example", 7, "mailto:support@tarvenix.example"},
                    TLinkCase{"http://a.example/x@y", std::nullopt, "mailto:http://a.example/x@y"},
                    TLinkCase{"http://www.tarvenix.example/", 7,
                              "http://www.tarvenix.example/?ref=bx11&runs=7"},
                    TLinkCase{"http://www.tarvenix.example/", 0,
                              "http://www.tarvenix.example/?ref=bx11&runs=0"},
                    TLinkCase{"http://www.tarvenix.example/", -3,
                              "http://www.tarvenix.example/?ref=bx11&runs=-3"},
                    TLinkCase{"http://www.tarvenix.example/", std::nullopt,
                              "http://www.tarvenix.example/?ref=bx11"},
                    TLinkCase{"http://a.example/order?id=5", 12,
                              "http://a.example/order?id=5?ref=bx11&runs=12"}));

struct TDisplayCase {
    const char* Caption;
    const char* Shown;
};

class LinkDisplay : public testing::TestWithParam<TDisplayCase> {};

TEST_P(LinkDisplay, ShortensOnlyTheResellerPrefix) {
    EXPECT_EQ(LinkDisplayText(GetParam().Caption), GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinkDisplay,
    testing::Values(TDisplayCase{"https://secure.example/softsell/order/x", ResellerDisplayText},
                    TDisplayCase{"https://secure.example", ResellerDisplayText},
                    TDisplayCase{"https://secure.exampl", "https://secure.exampl"},
                    TDisplayCase{"https://SECURE.example/order", "https://SECURE.example/order"},
                    TDisplayCase{"http://www.tarvenix.example/", "http://www.tarvenix.example/"}));

TEST(LinkTargets, TheEleventhLinkOpensItsCaption) {
    LinkCount = 0;
    std::vector<int32_t> slots;
    for (int i = 1; i <= 11; ++i)
        slots.push_back(RecordLinkTarget("http://t" + std::to_string(i) + ".example/"));
    EXPECT_EQ(slots[0], 1);
    EXPECT_EQ(slots[9], 10);
    EXPECT_EQ(slots[10], 0);
    EXPECT_EQ(LinkTarget("More info", slots[3]), "http://t4.example/");
    EXPECT_EQ(LinkTarget("More info", slots[10]), "More info");
    EXPECT_EQ(LinkAddress(LinkTarget("More info", slots[10]), std::nullopt), "More info?ref=bx11");
    EXPECT_EQ(LinkTarget("caption", 11), "caption") << "a slot past the table is not read";
    LinkCount = 0;
}

// ---- theme backgrounds ----

struct TBackgroundCase {
    TBackgroundHost Host;
    const char* Class;
    LONG Type;
    TBackgroundAction Action;
};

class Backgrounds : public testing::TestWithParam<TBackgroundCase> {};

TEST_P(Backgrounds, FollowTheClassAndButtonType) {
    const TBackgroundCase c = GetParam();
    const TBackgroundAction a = BackgroundActionFor(c.Host, c.Class, c.Type);
    EXPECT_EQ(a.Transparent, c.Action.Transparent);
    EXPECT_EQ(a.DrawBehind, c.Action.DrawBehind);
    EXPECT_EQ(a.DrawBehindParent, c.Action.DrawBehindParent);
    EXPECT_EQ(a.OnlyWithDefaultFont, c.Action.OnlyWithDefaultFont);
    EXPECT_EQ(a.OnlyOnMainTab, c.Action.OnlyOnMainTab);
    EXPECT_EQ(a.HollowBrush, c.Action.HollowBrush);
}

constexpr TBackgroundHost Tab = TBackgroundHost::Tab;
constexpr TBackgroundHost Box = TBackgroundHost::GroupBox;

//                         Transparent Behind Parent DefaultFont MainTab Hollow
INSTANTIATE_TEST_SUITE_P(
    Cases, Backgrounds,
    testing::Values(
        TBackgroundCase{Tab, "Static", 0, {true, true, false, true, false, true}},
        TBackgroundCase{Box, "Static", 0, {true, false, true, true, false, true}},
        TBackgroundCase{Tab, "Button", BS_AUTOCHECKBOX, {false, true, false, false, true, true}},
        TBackgroundCase{Box, "Button", BS_AUTOCHECKBOX, {false, true, false, false, false, true}},
        TBackgroundCase{
            Tab, "Button", BS_AUTORADIOBUTTON, {false, false, false, false, false, true}},
        TBackgroundCase{
            Box, "Button", BS_AUTORADIOBUTTON, {false, true, false, false, false, true}},
        TBackgroundCase{Tab, "Button", BS_GROUPBOX, {false, false, false, false, false, false}},
        TBackgroundCase{Box, "Button", BS_GROUPBOX, {false, true, false, false, false, false}},
        TBackgroundCase{Tab, "Button", BS_PUSHBUTTON, {false, false, false, false, false, true}},
        TBackgroundCase{Box, "msctls_trackbar32", 0, {false, true, false, false, false, true}},
        TBackgroundCase{Tab, "Edit", 0, {false, false, false, false, false, false}},
        TBackgroundCase{Box, "static", 0, {false, false, false, false, false, false}}));

// ---- navigation keys ----

struct TKeyCase {
    TNavigationHost Host;
    UINT Message;
    WPARAM Key;
    int Step;
};

class NavigationKeys : public testing::TestWithParam<TKeyCase> {};

TEST_P(NavigationKeys, MoveTheFocusOnlyOnTheirKeys) {
    EXPECT_EQ(NavigationStep(GetParam().Host, GetParam().Message, GetParam().Key), GetParam().Step);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NavigationKeys,
    testing::Values(TKeyCase{TNavigationHost::Edit, WM_CHAR, 9, +1},
                    TKeyCase{TNavigationHost::Edit, WM_CHAR, 25, -1},
                    TKeyCase{TNavigationHost::Edit, WM_KEYDOWN, VK_TAB, 0},
                    TKeyCase{TNavigationHost::Edit, WM_CHAR, '5', 0},
                    TKeyCase{TNavigationHost::TrackBar, WM_CHAR, 9, +1},
                    TKeyCase{TNavigationHost::Tab, WM_CHAR, 25, -1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_TAB, +1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_RIGHT, +1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_DOWN, +1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_LEFT, -1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_UP, -1},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, 25, -1},
                    TKeyCase{TNavigationHost::Button, WM_CHAR, 9, 0},
                    TKeyCase{TNavigationHost::Button, WM_KEYDOWN, VK_SPACE, 0}));

} // namespace
