// The settings window built inside this process: the settings go into the controls and back,
// with the edit's change travelling from its group box through the tab control to the window.
#include "config/config_layout.h"
#include "config/config_window.h"
#include "shell/settings.h"
#include "toolkit/control_factory.h"
#include "toolkit/hyperlinks.h"

#include <commctrl.h>

#include <gtest/gtest.h>

namespace {

// One window for every test here; its own procedure would end the process when it is
// destroyed, so it is let go of with a plain procedure once all tests have run.
HWND Main = nullptr;

class TConfigWindowEnvironment : public testing::Environment {
  public:
    void TearDown() override {
        if (!Main)
            return;
        SetWindowLongA(Main, GWL_WNDPROC, reinterpret_cast<LONG>(DefWindowProcA));
        DestroyWindow(Main);
        Main = nullptr;
    }
};

testing::Environment* const WindowEnvironment =
    testing::AddGlobalTestEnvironment(new TConfigWindowEnvironment);

class ConfigControls : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        if (Main)
            return;
        InitToolkit();
        InitCommonControls();
        ResetFocusList();
        InitDefaultFont();
        LinkCount = 0;
        ASSERT_TRUE(RegisterConfigClass());
        Main = CreateConfigWindow(ToPixels(400), ToPixels(ConfigWindowHeight()));
        ASSERT_TRUE(Main);
        BuildConfigControls(Main);
    }
    static std::string EditText() {
        char text[100] = {};
        GetWindowTextA(SecondsEdit, text, sizeof text);
        return text;
    }
    static LRESULT Checked(HWND button) { return SendMessageA(button, BM_GETCHECK, 0, 0); }
};

struct TShownCase {
    int32_t RollPeriodMs;
    int32_t StopKey;
    bool DirectDraw;
    bool MouseMove;
    const char* Edit;
    LRESULT Position;
};

class SettingsShown : public ConfigControls, public testing::WithParamInterface<TShownCase> {};

TEST_P(SettingsShown, InTheControls) {
    const TShownCase c = GetParam();
    // From a known position, so that a track bar that does not follow shows.
    SendMessageA(SecondsTrackBar, TBM_SETPOS, TRUE, 33);
    SetWindowTextA(SecondsEdit, "33");
    Settings.RollPeriodMs = c.RollPeriodMs;
    Settings.StopKey = c.StopKey;
    Settings.UseDirectDraw = c.DirectDraw;
    Settings.ExitOnMouseMove = c.MouseMove;
    ShowSettingsInControls();
    EXPECT_EQ(EditText(), c.Edit);
    EXPECT_EQ(SendMessageA(SecondsTrackBar, TBM_GETPOS, 0, 0), c.Position);
    EXPECT_EQ(Checked(SpacebarRadio), c.StopKey == 1 ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(Checked(PauseRadio), c.StopKey == 2 ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(Checked(DirectDrawCheck), c.DirectDraw ? BST_CHECKED : BST_UNCHECKED);
    EXPECT_EQ(Checked(MouseMoveCheck), c.MouseMove ? BST_CHECKED : BST_UNCHECKED);
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingsShown,
                         testing::Values(TShownCase{20000, 1, true, true, "20", 20},
                                         TShownCase{20500, 5, false, true, "20", 20},
                                         TShownCase{90000, 2, true, false, "90", 60},
                                         TShownCase{1000000, 3, false, false, "1000", 60},
                                         TShownCase{5000, 1, true, true, "5", 5}));

TEST_F(ConfigControls, APeriodBelowOneSecondShowsZeroAndLeavesTheBar) {
    SendMessageA(SecondsTrackBar, TBM_SETPOS, TRUE, 1);
    Settings.RollPeriodMs = 999;
    ShowSettingsInControls();
    EXPECT_EQ(EditText(), "0");
    EXPECT_EQ(SendMessageA(SecondsTrackBar, TBM_GETPOS, 0, 0), 1);
}

TEST_F(ConfigControls, ReadingBackKeepsAnUnknownStopKeyAndNeverStoresZeroSeconds) {
    Settings.RollPeriodMs = 500; // shows "0", a text nobody has validated
    Settings.StopKey = 7;
    Settings.UseDirectDraw = false;
    Settings.ExitOnMouseMove = true;
    ShowSettingsInControls();
    ReadControlsIntoSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 1000);
    EXPECT_EQ(EditText(), "1");
    EXPECT_EQ(Settings.StopKey, 7);
    EXPECT_FALSE(Settings.UseDirectDraw);
    EXPECT_TRUE(Settings.ExitOnMouseMove);
}

TEST_F(ConfigControls, ReadingBackTakesWhatTheControlsHold) {
    Settings = TSettings{20000, 3, true, 1, true, ""};
    ShowSettingsInControls();
    SetWindowTextA(SecondsEdit, "100");
    EXPECT_EQ(SendMessageA(SecondsTrackBar, TBM_GETPOS, 0, 0), 60);
    SendMessageA(PauseRadio, BM_CLICK, 0, 0);
    SendMessageA(DirectDrawCheck, BM_CLICK, 0, 0);
    SendMessageA(MouseMoveCheck, BM_CLICK, 0, 0);
    ReadControlsIntoSettings();
    EXPECT_EQ(Settings.RollPeriodMs, 100000);
    EXPECT_EQ(Settings.StopKey, 2);
    EXPECT_FALSE(Settings.UseDirectDraw);
    EXPECT_FALSE(Settings.ExitOnMouseMove);
    EXPECT_EQ(Settings.RunCounter, 3) << "the run counter is not the window's";
}

TEST_F(ConfigControls, TheTrackBarWritesItsPositionThroughTheRouting) {
    SendMessageA(SecondsTrackBar, TBM_SETPOS, TRUE, 30);
    // What the track bar sends to its group box when it is dragged.
    SendMessageA(MoveScreenGroup, WM_HSCROLL, MAKEWPARAM(TB_THUMBTRACK, 30),
                 reinterpret_cast<LPARAM>(SecondsTrackBar));
    EXPECT_EQ(EditText(), "30");
}

TEST_F(ConfigControls, PageOffsetAndPagesAfterBuilding) {
    EXPECT_GE(PageTop, 15);
    EXPECT_LE(PageTop, 45);
    ASSERT_TRUE(TabPages);
    EXPECT_EQ(TabPages->ActivePage, 0);
    EXPECT_EQ(TabPages->LastPage, 1);
    EXPECT_EQ(ControlCount, 10);
    EXPECT_EQ(LinkCount, 6);
}

} // namespace
