// The real settings window, started as "Brindlemax.scr /c" and driven from this process with
// messages and real keyboard and mouse input, at 96 and 120 DPI, with and without the theme.
#include "config/config_layout.h"
#include "config/config_window.h"
#include "shell/product.h"
#include "support/process.h"
#include "support/registry.h"
#include "toolkit/control_factory.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <vector>

namespace {

using namespace testing_support;

constexpr DWORD Timeout = 60000;
constexpr char DesktopKey[] = "Control Panel\\Desktop";
constexpr char ThemeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
const char* const SettingNames[] = {"Convert", "Hrkl", "DDraw", "StopKey", "MouseMove"};

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs = Timeout) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(20);
    }
    return true;
}

// A prefix-wide registry value that a test changes; the old state comes back afterwards.
class TSavedValue {
  public:
    TSavedValue(HKEY root, std::string path, std::string name)
        : Root(root), Path(std::move(path)), Name(std::move(name)),
          Old(ReadRawValue(Root, Path.c_str(), Name.c_str())) {}
    TSavedValue(const TSavedValue&) = delete;
    TSavedValue& operator=(const TSavedValue&) = delete;
    ~TSavedValue() {
        if (Old) {
            WriteRawValue(Root, Path.c_str(), Name.c_str(), Old->Type, Old->Data);
            return;
        }
        HKEY key;
        if (RegOpenKeyExA(Root, Path.c_str(), 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, Name.c_str());
            RegCloseKey(key);
        }
    }
    void Set(DWORD type, const std::string& data) {
        WriteRawValue(Root, Path.c_str(), Name.c_str(), type, data);
    }

  private:
    HKEY Root;
    std::string Path, Name;
    std::optional<TRawValue> Old;
};

std::string Text(const char* text) {
    return std::string(text) + '\0';
}

std::string DwordData(DWORD value) {
    return std::string(reinterpret_cast<const char*>(&value), sizeof value);
}

// Asked with WM_GETTEXT: GetWindowText of another process's window gives only its caption,
// never what an edit box holds.
std::string WindowText(HWND window) {
    char text[1000] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string ClassOf(HWND window) {
    char name[100] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

RECT RectIn(HWND window, HWND parent) {
    RECT rect{};
    GetWindowRect(window, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

const char* ClassFor(TRowKind kind) {
    switch (kind) {
    case TRowKind::TabControl:
        return "SysTabControl32";
    case TRowKind::GroupBox:
    case TRowKind::RadioButton:
    case TRowKind::CheckBox:
    case TRowKind::PushButton:
        return "Button";
    case TRowKind::Edit:
        return "Edit";
    case TRowKind::TrackBar:
        return "msctls_trackbar32";
    default:
        return "Static";
    }
}

void Press(WORD key, bool shift = false, bool control = false) {
    std::vector<INPUT> inputs;
    auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift)
        add(VK_SHIFT, false);
    if (control)
        add(VK_CONTROL, false);
    add(key, false);
    add(key, true);
    if (control)
        add(VK_CONTROL, true);
    if (shift)
        add(VK_SHIFT, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void ClickAt(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetCursorPos(rect.left + 5, (rect.top + rect.bottom) / 2);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, inputs, sizeof(INPUT));
}

// Writes what the screen shows of the window into a 24-bit BMP file.
void SaveScreenshot(HWND window, const std::string& path) {
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    const DWORD stride = (width * 3 + 3) & ~3u;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + stride * height;
    HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, stride * height, &written, nullptr);
    CloseHandle(out);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// The running program with its settings window.
class TConfigWindow {
  public:
    bool Start() {
        if (!Program.Start(ProgramPath(), "/c"))
            return false;
        Main = WaitForWindow("Ostra_Field", Program.ProcessId(), Timeout);
        if (!Main)
            return false;
        Thread = GetWindowThreadProcessId(Main, nullptr);
        // The window is complete once the tab control has the focus.
        return WaitFor([&] { return Focus() && ClassOf(Focus()) == "SysTabControl32"; });
    }
    HWND Focus() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(Thread, &info);
        return info.hwndFocus;
    }
    int FocusId() const { return GetDlgCtrlID(Focus()); }
    // Brings the window to the front so that real input reaches it.
    bool Activate() {
        SetForegroundWindow(Main);
        return WaitFor([&] { return GetForegroundWindow() == Main; }, 10000);
    }
    HWND Find(int id, const char* className, HWND parent = nullptr) const {
        for (HWND child : Children(parent ? parent : Main)) {
            if (GetDlgCtrlID(child) == id && lstrcmpiA(ClassOf(child).c_str(), className) == 0)
                return child;
            if (HWND inner = Find(id, className, child))
                return inner;
        }
        return nullptr;
    }
    HWND Tab() const { return Find(27, "SysTabControl32"); }
    HWND Edit() const { return Find(20, "Edit"); }
    HWND TrackBar() const { return Find(29, "msctls_trackbar32"); }
    HWND Button(int id) const { return Find(id, "Button"); }
    // A control by its caption, searched below the tab control; the leftmost of several.
    HWND Labelled(const char* text) const {
        std::vector<HWND> found;
        Collect(text, Main, found);
        HWND best = nullptr;
        for (HWND window : found)
            if (!best || RectIn(window, nullptr).left < RectIn(best, nullptr).left)
                best = window;
        return best;
    }
    static void Collect(const char* text, HWND parent, std::vector<HWND>& found) {
        for (HWND child : Children(parent)) {
            if (WindowText(child) == text)
                found.push_back(child);
            Collect(text, child, found);
        }
    }
    std::optional<DWORD> Wait() { return Program.Wait(Timeout); }

    TProgram Program;
    HWND Main = nullptr;
    DWORD Thread = 0;
};

std::map<std::string, std::optional<TRawValue>> StoredSettings() {
    std::map<std::string, std::optional<TRawValue>> values;
    for (const char* name : SettingNames)
        values[name] = ReadRawValue(HKEY_CURRENT_USER, ProductKey, name);
    return values;
}

bool SameValues(const std::map<std::string, std::optional<TRawValue>>& a,
                const std::map<std::string, std::optional<TRawValue>>& b) {
    for (const char* name : SettingNames) {
        const auto& x = a.at(name);
        const auto& y = b.at(name);
        if (x.has_value() != y.has_value() || (x && (x->Type != y->Type || x->Data != y->Data)))
            return false;
    }
    return true;
}

// Settings that differ from every default, so that the window shows what it has read.
void WriteStartSettings() {
    ClearCompanyKey();
    WriteText("Convert", "20500");
    WriteText("Hrkl", "7");
    WriteText("DDraw", "0");
    WriteText("StopKey", "5");
    WriteText("MouseMove", "1");
}

struct TLook {
    int Dpi;
    bool Themed;
};

void PrintTo(const TLook& look, std::ostream* out) {
    *out << look.Dpi << " DPI " << (look.Themed ? "themed" : "classic");
}

std::string LookName(const testing::TestParamInfo<TLook>& info) {
    return "Dpi" + std::to_string(info.param.Dpi) + (info.param.Themed ? "Themed" : "Classic");
}

// One screen resolution and theme for the whole prefix while a test runs.
class ConfigWindowLooks : public testing::TestWithParam<TLook> {
  protected:
    void SetUp() override {
        LogPixels.Set(REG_DWORD, DwordData(GetParam().Dpi));
        ThemeActive.Set(REG_SZ, Text(GetParam().Themed ? "1" : "0"));
        WriteStartSettings();
        ASSERT_TRUE(Window.Start());
    }
    void TearDown() override {
        Window.Program.Kill();
        ClearCompanyKey();
    }
    int Pixels(int units) const { return UnitsToPixels(units, GetParam().Dpi); }
    void Screenshot(const char* page) {
        const char* folder = std::getenv("BRINDLEMAX_SCREENSHOT_DIR");
        if (!folder)
            return;
        Sleep(1500); // let the page finish painting under emulation
        SaveScreenshot(Window.Main, std::string(folder) + "\\config-" + page + "-" +
                                        LookName({GetParam(), 0}) + ".bmp");
    }

    TSavedValue LogPixels{HKEY_CURRENT_USER, DesktopKey, "LogPixels"};
    TSavedValue ThemeActive{HKEY_CURRENT_USER, ThemeKey, "ThemeActive"};
    TConfigWindow Window;
};

TEST_P(ConfigWindowLooks, EveryControlStandsWhereTheLayoutPutsIt) {
    HWND main = Window.Main;
    RECT outer{};
    GetWindowRect(main, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    EXPECT_EQ(width, Pixels(400));
    EXPECT_GT(height, Pixels(447 + 12));
    EXPECT_LT(height, Pixels(447 + 40));
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    EXPECT_EQ(WindowText(main), "Brindlemax");

    // The page offset follows the tab strip's height; take it from the first group box.
    HWND tab = Window.Tab();
    ASSERT_TRUE(tab);
    HWND moveGroup = Window.Find(25, "Button");
    ASSERT_TRUE(moveGroup);
    const int groupTop = RectIn(moveGroup, tab).top;
    int pageTop = -1;
    for (int candidate = 0; candidate < 100 && pageTop < 0; ++candidate)
        if (Pixels(candidate + 20) == groupTop)
            pageTop = candidate;
    ASSERT_GE(pageTop, 15) << "group box top " << groupTop;
    ASSERT_LE(pageTop, 45);

    HWND rows[LayoutRowCount + 1] = {};
    std::vector<HWND> used;
    for (int number = 1; number <= LayoutRowCount; ++number) {
        const TLayoutRow& row = ConfigLayout[number - 1];
        HWND parent = row.Parent == MainWindowParent ? main : rows[row.Parent];
        ASSERT_TRUE(parent) << "row " << number;
        const std::string text = number == 8    ? VersionText(ProgramVersion)
                                 : number == 28 ? "20"
                                                : row.Text;
        const int y = row.Y + (row.BelowPageTop ? pageTop : 0);
        const RECT expected{Pixels(row.X), Pixels(y), Pixels(row.X) + Pixels(row.Width),
                            Pixels(y) + Pixels(row.Height)};
        for (HWND child : Children(parent)) {
            const RECT r = RectIn(child, parent);
            if (std::find(used.begin(), used.end(), child) == used.end() &&
                lstrcmpiA(ClassOf(child).c_str(), ClassFor(row.Kind)) == 0 &&
                GetDlgCtrlID(child) == row.Id && WindowText(child) == text &&
                std::memcmp(&r, &expected, sizeof r) == 0) {
                rows[number] = child;
                used.push_back(child);
                break;
            }
        }
        ASSERT_TRUE(rows[number]) << "row " << number << " \"" << text << "\" id " << row.Id
                                  << " at " << expected.left << "," << expected.top << " "
                                  << expected.right << "," << expected.bottom;
        EXPECT_EQ(IsWindowVisible(rows[number]) != 0, row.Page != 1) << "row " << number;
    }

    // One tooltip window with a tip for each of the three buttons.
    HWND tips = WaitForWindow(TOOLTIPS_CLASSA, Window.Program.ProcessId(), Timeout);
    ASSERT_TRUE(tips);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 3);

    // The settings as the window shows them.
    EXPECT_EQ(SendMessageA(rows[29], TBM_GETPOS, 0, 0), 20);
    EXPECT_EQ(SendMessageA(rows[3], BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(rows[4], BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(rows[24], BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(rows[25], BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageA(rows[29], TBM_GETRANGEMIN, 0, 0), 1);
    EXPECT_EQ(SendMessageA(rows[29], TBM_GETRANGEMAX, 0, 0), 60);
    EXPECT_EQ(SendMessageA(rows[29], TBM_GETPAGESIZE, 0, 0), 10);
}

TEST_P(ConfigWindowLooks, TabFollowsTheFocusOrderAndPagesSwitch) {
    ASSERT_TRUE(Window.Activate());
    Screenshot("general");
    const std::vector<int> general{44, 45, 41, 0, 20, 29, 16, 17, 26, 27};
    for (size_t i = 0; i < general.size(); ++i) {
        HWND before = Window.Focus();
        Press(VK_TAB, i == 3); // Shift+Tab moves forward too
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() != before; }))
            << "Tab number " << i + 1 << " from id " << GetDlgCtrlID(before);
        EXPECT_EQ(Window.FocusId(), general[i]) << "Tab number " << i + 1;
    }
    // Back through the order with character 25 (Ctrl+Y) on the tab control.
    Press('Y', false, true);
    ASSERT_TRUE(WaitFor([&] { return Window.FocusId() == 26; }));

    // The right arrow on the tab control selects the About page.
    Press(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return Window.FocusId() == 27; }));
    HWND edit = Window.Edit();
    HWND homeLabel = Window.Labelled("Home page :");
    ASSERT_TRUE(edit && homeLabel);
    Press(VK_RIGHT);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(homeLabel) != 0; }));
    EXPECT_FALSE(IsWindowVisible(edit));
    EXPECT_FALSE(IsWindowVisible(Window.Button(44)));
    EXPECT_TRUE(IsWindowVisible(Window.Labelled("Pellucor")));
    EXPECT_TRUE(IsWindowVisible(Window.Button(16)));
    // The etched separator between the two products, drawn over the "See also ..." box.
    HWND seeAlso = Window.Find(66, "Button");
    ASSERT_TRUE(seeAlso);
    const int pageTop = RectIn(seeAlso, Window.Tab()).top;
    POINT line{Pixels(188), pageTop + Pixels(60)}; // "See also ..." starts at PageTop + 150
    ClientToScreen(Window.Tab(), &line);
    EXPECT_TRUE(WaitFor(
        [&] {
            HDC screen = GetDC(nullptr);
            const bool drawn =
                GetPixel(screen, line.x, line.y) == GetSysColor(COLOR_BTNSHADOW) &&
                GetPixel(screen, line.x + 1, line.y) == GetSysColor(COLOR_BTNHIGHLIGHT);
            ReleaseDC(nullptr, screen);
            return drawn;
        },
        10000))
        << "no separator at " << line.x << "," << line.y;
    Screenshot("about");
    const std::vector<int> about{16, 17, 26, 27};
    for (size_t i = 0; i < about.size(); ++i) {
        HWND before = Window.Focus();
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() != before; }));
        EXPECT_EQ(Window.FocusId(), about[i]) << "About page, Tab number " << i + 1;
    }
    Press(VK_LEFT);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(edit) != 0; }));
    EXPECT_FALSE(IsWindowVisible(homeLabel));
    EXPECT_EQ(WindowText(edit), "20") << "the controls keep their state across a switch";
}

INSTANTIATE_TEST_SUITE_P(Looks, ConfigWindowLooks,
                         testing::Values(TLook{96, true}, TLook{96, false}, TLook{120, true},
                                         TLook{120, false}),
                         LookName);

// The buttons, the edit and the links, at the prefix's own resolution and theme.
class ConfigWindowUse : public testing::Test {
  protected:
    void SetUp() override {
        WriteStartSettings();
        Before = StoredSettings();
        ASSERT_TRUE(Window.Start());
    }
    void TearDown() override {
        Window.Program.Kill();
        ClearCompanyKey();
    }
    // Changes every setting in the window without saving.
    void ChangeEverything() {
        PostMessageA(Window.Button(41), BM_CLICK, 0, 0);
        PostMessageA(Window.Button(45), BM_CLICK, 0, 0);
        PostMessageA(Window.Labelled("Exit on mouse move"), BM_CLICK, 0, 0);
        SendMessageA(Window.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("100"));
        ASSERT_TRUE(WaitFor([&] {
            return SendMessageA(Window.Button(45), BM_GETCHECK, 0, 0) == BST_CHECKED &&
                   SendMessageA(Window.Labelled("Exit on mouse move"), BM_GETCHECK, 0, 0) ==
                       BST_UNCHECKED;
        }));
        EXPECT_EQ(SendMessageA(Window.TrackBar(), TBM_GETPOS, 0, 0), 60);
    }
    std::map<std::string, std::optional<TRawValue>> Before;
    TConfigWindow Window;
};

TEST_F(ConfigWindowUse, OkWritesAllFiveValuesAndEnds) {
    ChangeEverything();
    PostMessageA(Window.Button(16), BM_CLICK, 0, 0);
    EXPECT_EQ(Window.Wait(), 0u);
    const std::pair<const char*, const char*> expected[] = {
        {"Convert", "100000"}, {"Hrkl", "7"}, {"DDraw", "1"}, {"StopKey", "2"}, {"MouseMove", "0"}};
    for (const auto& [name, text] : expected) {
        const auto value = ReadRawValue(HKEY_CURRENT_USER, ProductKey, name);
        ASSERT_TRUE(value) << name;
        EXPECT_EQ(value->Type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_EQ(value->Data, Text(text)) << name;
    }
}

class ConfigWindowLeave : public ConfigWindowUse, public testing::WithParamInterface<int> {};

TEST_P(ConfigWindowLeave, WritesNothing) {
    ChangeEverything();
    if (GetParam() == 0)
        PostMessageA(Window.Button(17), BM_CLICK, 0, 0); // Cancel
    else
        PostMessageA(Window.Main, WM_SYSCOMMAND, SC_CLOSE, 0); // the caption's close button
    EXPECT_EQ(Window.Wait(), 0u);
    EXPECT_TRUE(SameValues(StoredSettings(), Before));
}

INSTANTIATE_TEST_SUITE_P(Ways, ConfigWindowLeave, testing::Values(0, 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "Cancel" : "CloseButton");
                         });

TEST_F(ConfigWindowUse, EnterAndEscapeNeitherPressAButtonNorClose) {
    ASSERT_TRUE(Window.Activate());
    for (int i = 0; i < 7; ++i) { // to the Ok button
        HWND before = Window.Focus();
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() != before; }));
    }
    ASSERT_EQ(Window.FocusId(), 16);
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    Press(VK_TAB); // a key after them shows that they have been handled
    ASSERT_TRUE(WaitFor([&] { return Window.FocusId() == 17; }));
    Press(VK_RETURN);
    Press(VK_ESCAPE);
    Press(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return Window.FocusId() == 26; }));
    EXPECT_TRUE(Window.Program.Running());
    EXPECT_TRUE(IsWindowVisible(Window.Main));
    EXPECT_TRUE(SameValues(StoredSettings(), Before));
}

TEST_F(ConfigWindowUse, TheSecondsEditKeepsDigitsAndStaysInRange) {
    ASSERT_TRUE(Window.Activate());
    HWND edit = Window.Edit();
    HWND bar = Window.TrackBar();
    auto caret = [&] { return LOWORD(SendMessageA(edit, EM_GETSEL, 0, 0)); };
    auto setText = [&](const char* text) {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    };
    for (int i = 0; i < 5; ++i) { // to the edit
        HWND before = Window.Focus();
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() != before; }));
    }
    ASSERT_EQ(Window.Focus(), edit);

    setText("");
    Press('1');
    Press('2');
    Press('A');
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "12" && caret() == 2; }))
        << WindowText(edit) << " caret " << caret();
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(bar, TBM_GETPOS, 0, 0) == 12; }));

    setText("");
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, 6);
    std::memcpy(GlobalLock(memory), "1x2y3", 6);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    SendMessageA(edit, WM_PASTE, 0, 0);
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "123"; })) << WindowText(edit);
    EXPECT_EQ(caret(), 3);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 60) << "the bar stops at its end";

    // Leaving the edit validates it; Ctrl+Y on the track bar comes back.
    const std::pair<const char*, const char*> validations[] = {
        {"", "5"}, {"0", "1"}, {"5000", "1000"}};
    for (const auto& [typed, kept] : validations) {
        setText(typed);
        Press(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() == bar; }));
        EXPECT_EQ(WindowText(edit), kept) << "typed \"" << typed << "\"";
        Press('Y', false, true);
        ASSERT_TRUE(WaitFor([&] { return Window.Focus() == edit; }));
    }
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 60);

    // Moving the track bar writes its position into the edit.
    Press(VK_TAB);
    ASSERT_TRUE(WaitFor([&] { return Window.Focus() == bar; }));
    Press(VK_HOME);
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "1"; })) << WindowText(edit);
    Press(VK_PRIOR); // a page up moves toward the start: stays at 1
    Press(VK_NEXT);  // a page down: 1 + 10
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "11"; })) << WindowText(edit);
    EXPECT_EQ(SendMessageA(bar, TBM_GETPOS, 0, 0), 11);
}

TEST_F(ConfigWindowUse, PreviewRunsTheUnsavedValuesAndComesBack) {
    // Unsaved: mouse movement no longer ends the saver, 45 seconds.
    HWND mouseMove = Window.Labelled("Exit on mouse move");
    PostMessageA(mouseMove, BM_CLICK, 0, 0);
    SendMessageA(Window.Edit(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("45"));
    ASSERT_TRUE(WaitFor([&] { return SendMessageA(mouseMove, BM_GETCHECK, 0, 0) == 0; }));
    PostMessageA(Window.Button(26), BM_CLICK, 0, 0);
    HWND saver = WaitForWindow("Show_MainWindow", Window.Program.ProcessId(), Timeout);
    ASSERT_TRUE(saver);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(saver) != 0; }));
    for (int i = 1; i <= 20; ++i) {
        SetCursorPos(100 + 10 * i, 200 + 5 * i);
        PostMessageA(saver, WM_MOUSEMOVE, 0, MAKELPARAM(100 + 10 * i, 200 + 5 * i));
    }
    Sleep(1500);
    ASSERT_TRUE(IsWindow(saver)) << "the saver read the stored MouseMove instead of the window's";
    PostMessageA(saver, WM_KEYDOWN, 'Q', 1);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(saver); }));

    // Back in the window with the same states; the process goes on.
    EXPECT_TRUE(Window.Program.Running());
    EXPECT_TRUE(IsWindowVisible(Window.Main));
    EXPECT_EQ(WindowText(Window.Edit()), "45");
    EXPECT_EQ(SendMessageA(Window.TrackBar(), TBM_GETPOS, 0, 0), 45);
    EXPECT_EQ(SendMessageA(mouseMove, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(Window.Button(41), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Cancel afterwards: only the run counter was written, by the run.
    PostMessageA(Window.Button(17), BM_CLICK, 0, 0);
    EXPECT_EQ(Window.Wait(), 0u);
    auto after = StoredSettings();
    ASSERT_TRUE(after["Hrkl"]);
    EXPECT_EQ(after["Hrkl"]->Data, Text("8"));
    after["Hrkl"] = Before["Hrkl"];
    EXPECT_TRUE(SameValues(after, Before));
}

// The links open through the prefix's open commands, pointed at our recorder.
class ConfigWindowLinks : public ConfigWindowUse {
  protected:
    void SetUp() override {
        Folder = MakeScratchFolder("links");
        ASSERT_TRUE(CopyInto(ExecutableFolder() + "config\\link_recorder.exe", Folder));
        const std::string command = "\"" + Folder + "link_recorder.exe\" \"%1\"";
        for (auto& saved : Commands)
            saved.Set(REG_SZ, command + '\0');
        ConfigWindowUse::SetUp();
    }
    std::vector<std::string> Opened() const {
        std::vector<std::string> lines;
        const std::string all = ReadWholeFile(Folder + "opened_links.txt");
        size_t start = 0;
        for (size_t end; (end = all.find('\n', start)) != std::string::npos; start = end + 1)
            lines.push_back(all.substr(start, end - start));
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    std::string Folder;
    TSavedValue Commands[3] = {{HKEY_CLASSES_ROOT, "http\\shell\\open\\command", ""},
                               {HKEY_CLASSES_ROOT, "https\\shell\\open\\command", ""},
                               {HKEY_CLASSES_ROOT, "mailto\\shell\\open\\command", ""}};
};

TEST_F(ConfigWindowLinks, AClickOpensTheTaggedAddress) {
    ASSERT_TRUE(Window.Activate());
    HWND home = Window.Labelled(HomePageUrl);
    HWND support = Window.Labelled(SupportAddress);
    ASSERT_TRUE(home && support);
    HWND tab = Window.Tab();
    PostMessageA(tab, WM_KEYDOWN, VK_RIGHT, 1);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(home) != 0; }));
    Sleep(500);
    ClickAt(home); // real mouse input on the home page link
    PostMessageA(support, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    // The first "More info" (the maker's site) and the first "Purchase" (the reseller).
    PostMessageA(Window.Labelled("More info"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(Window.Labelled("Purchase"), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    std::vector<std::string> expected{std::string(HomePageUrl) + "?ref=bx11&runs=7",
                                      std::string("mailto:") + SupportAddress,
                                      std::string(MakerBaseUrl) + "?ref=bx11&runs=7",
                                      std::string(OstrafieldOrderUrl) + "?ref=bx11&runs=7"};
    std::sort(expected.begin(), expected.end());
    EXPECT_TRUE(WaitFor([&] { return Opened().size() >= expected.size(); }));
    EXPECT_EQ(Opened(), expected);
}

} // namespace
