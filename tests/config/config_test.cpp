// The settings window's decisions: the seconds edit's rules, the layout table, the texts and the
// window geometry.
#include "config/config_layout.h"
#include "config/config_window.h"
#include "shell/product.h"
#include "toolkit/control_factory.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct TDigitsCase {
    const char* Text;
    int32_t Caret;
    const char* Kept;
    int32_t NewCaret;
};

class DigitsOnly : public testing::TestWithParam<TDigitsCase> {};

TEST_P(DigitsOnly, DropsNonDigitsAndKeepsTheCaretInPlace) {
    const TDigitsCase c = GetParam();
    const TDigitsOnly result = KeepDigitsOnly(c.Text, c.Caret);
    EXPECT_EQ(result.Text, c.Kept);
    EXPECT_EQ(result.Caret, c.NewCaret);
    EXPECT_EQ(result.Removed, static_cast<int32_t>(std::strlen(c.Text) - std::strlen(c.Kept)));
}

INSTANTIATE_TEST_SUITE_P(Cases, DigitsOnly,
                         testing::Values(TDigitsCase{"12a", 3, "12", 2},        // typed a
                                         TDigitsCase{"1x2y3", 5, "123", 3},     // pasted
                                         TDigitsCase{"91x2y39", 6, "91239", 4}, // pasted inside
                                         TDigitsCase{"a12", 1, "12", 0},
                                         TDigitsCase{"12", 2, "12", 2},
                                         TDigitsCase{"-5", 0, "5", 0}, // removed after the caret
                                         TDigitsCase{"", 0, "", 0}));

struct TSecondsCase {
    const char* Text;
    const char* Kept;
};

class SecondsValidation : public testing::TestWithParam<TSecondsCase> {};

TEST_P(SecondsValidation, KeepsOneToAThousand) {
    EXPECT_EQ(ValidateSeconds(std::string_view(GetParam().Text)), GetParam().Kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, SecondsValidation,
                         testing::Values(TSecondsCase{"", "5"}, TSecondsCase{"0", "1"},
                                         TSecondsCase{"5000", "1000"}, TSecondsCase{"1000", "1000"},
                                         TSecondsCase{"1001", "1000"}, TSecondsCase{"1", "1"},
                                         TSecondsCase{"45", "45"},
                                         TSecondsCase{"99999999999", "5"}, // does not parse
                                         TSecondsCase{"12a", "5"}));

TEST(TrackBarTarget, FollowsTheNumberUpToAThousand) {
    EXPECT_EQ(TrackBarTarget("45", 20), 45);
    EXPECT_EQ(TrackBarTarget("100", 20), 100);
    EXPECT_EQ(TrackBarTarget("5000", 20), 1000);
    EXPECT_EQ(TrackBarTarget("", 20), 20);
}

// The handler on a real edit and track bar: the bar stops at its end, the edit keeps its text.
class TrackBarSync : public testing::Test {
  protected:
    void SetUp() override {
        InitCommonControls();
        Owner = CreateWindowExA(0, "STATIC", "sync", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200, nullptr,
                                nullptr, nullptr, nullptr);
        Edit = CreateWindowExA(0, "EDIT", "20", WS_CHILD, 0, 0, 50, 20, Owner, nullptr, nullptr,
                               nullptr);
        Bar = CreateWindowExA(0, TRACKBAR_CLASSA, "", WS_CHILD, 0, 30, 200, 30, Owner, nullptr,
                              nullptr, nullptr);
        ASSERT_TRUE(Edit && Bar);
        SendMessageA(Bar, TBM_SETRANGE, TRUE, MAKELONG(1, 60));
        SendMessageA(Bar, TBM_SETPOS, TRUE, 20);
    }
    void TearDown() override { DestroyWindow(Owner); }
    std::string EditText() {
        char text[100] = {};
        GetWindowTextA(Edit, text, sizeof text);
        return text;
    }
    LRESULT Position() { return SendMessageA(Bar, TBM_GETPOS, 0, 0); }
    HWND Owner = nullptr, Edit = nullptr, Bar = nullptr;
};

TEST_F(TrackBarSync, OneHundredPutsTheBarAtSixtyAndKeepsOneHundred) {
    SetWindowTextA(Edit, "100");
    SyncTrackBarToEdit(Edit, Bar);
    EXPECT_EQ(Position(), 60);
    EXPECT_EQ(EditText(), "100");
}

TEST_F(TrackBarSync, FortyFiveMovesTheBarAndNoNumberLeavesIt) {
    SetWindowTextA(Edit, "45");
    SyncTrackBarToEdit(Edit, Bar);
    EXPECT_EQ(Position(), 45);
    SetWindowTextA(Edit, "");
    SyncTrackBarToEdit(Edit, Bar);
    EXPECT_EQ(Position(), 45);
}

TEST_F(TrackBarSync, TheBarWritesItsPositionIntoTheEdit) {
    SendMessageA(Bar, TBM_SETPOS, TRUE, 30);
    SyncEditToTrackBar(Bar, Edit);
    EXPECT_EQ(EditText(), "30");
}

TEST_F(TrackBarSync, ValidationReplacesAnEmptyEdit) {
    SetWindowTextA(Edit, "");
    ValidateSeconds(Edit);
    EXPECT_EQ(EditText(), "5");
}

// ---- layout table ----

bool Registers(TRowKind kind) {
    switch (kind) {
    case TRowKind::TabControl:
    case TRowKind::RadioButton:
    case TRowKind::CheckBox:
    case TRowKind::PushButton:
    case TRowKind::Edit:
    case TRowKind::TrackBar:
        return true;
    default:
        return false;
    }
}

TEST(Layout, CreationOrderGivesTheFocusOrder) {
    std::vector<int32_t> ids;
    for (const TLayoutRow& row : ConfigLayout)
        if (Registers(row.Kind))
            ids.push_back(row.Id);
    EXPECT_EQ(ids, (std::vector<int32_t>{27, 44, 45, 41, 0, 20, 29, 16, 17, 26}));
}

TEST(Layout, ChildrenLieOnTheirParentsPageAndAfterIt) {
    for (int32_t number = 1; number <= LayoutRowCount; ++number) {
        const TLayoutRow& row = ConfigLayout[number - 1];
        if (row.Parent == MainWindowParent) {
            EXPECT_EQ(row.Page, BothPages) << "row " << number;
            continue;
        }
        ASSERT_LT(row.Parent, number) << "row " << number << " is created before its parent";
        const TLayoutRow& parent = ConfigLayout[row.Parent - 1];
        if (parent.Kind == TRowKind::GroupBox) {
            EXPECT_EQ(row.Page, parent.Page) << "row " << number;
            EXPECT_FALSE(row.BelowPageTop) << "row " << number << " is inside its group box";
        } else {
            EXPECT_EQ(parent.Kind, TRowKind::TabControl) << "row " << number;
            EXPECT_TRUE(row.BelowPageTop) << "row " << number;
        }
    }
}

TEST(Layout, UrlLinksHaveTargetsAndIdsFitTheFocusTable) {
    int urlLinks = 0;
    for (const TLayoutRow& row : ConfigLayout) {
        EXPECT_LE(row.Id, MaxId);
        if (row.Kind == TRowKind::UrlLink) {
            ++urlLinks;
            ASSERT_NE(row.Target, nullptr);
            EXPECT_NE(std::strstr(row.Target, ".example"), nullptr) << row.Target;
        }
    }
    EXPECT_EQ(urlLinks, 6);
}

TEST(Texts, VersionAndSeconds) {
    EXPECT_EQ(VersionText(ProgramVersion), "Version : 1.1.0.0");
    EXPECT_EQ(VersionText(0x0A0B0C0D), "Version : 10.11.12.13");
    EXPECT_EQ(SecondsText(20000), "20");
    EXPECT_EQ(SecondsText(20500), "20");
    EXPECT_EQ(SecondsText(999), "0");
    EXPECT_EQ(SecondsText(1000000), "1000");
}

TEST(Geometry, PageTopAndWindowHeight) {
    EXPECT_EQ(PageTopFor(-21, 96), 31);
    EXPECT_EQ(PageTopFor(-25, 120), 28); // 35 px = 28 units
    EXPECT_EQ(PageTopFor(0, 96), 10);
    EXPECT_EQ(ConfigWindowHeightFor(18, 1, 96), 466);
    EXPECT_EQ(ConfigWindowHeightFor(23, 1, 120), 466); // 19.2 units
}

TEST(Geometry, CentredOnTheDesktop) {
    const POINT p = CentredOrigin(RECT{0, 0, 1024, 768}, 400, 466);
    EXPECT_EQ(p.x, 312);
    EXPECT_EQ(p.y, 151);
    const POINT q = CentredOrigin(RECT{-100, 50, 1025, 769}, 400, 467);
    EXPECT_EQ(q.x, 262); // 1125 - 400 = 725, / 2 = 362, - 100
    EXPECT_EQ(q.y, 176); // 719 - 467 = 252, / 2 = 126, + 50
}

} // namespace
