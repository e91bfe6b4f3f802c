// The real windows under Wine: twips and font conversions, the layout of
// both windows at the dpi they are drawn at, the list adapter on a real list
// box, and the keyboard as the message loop sees it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/dpi.h"
#include "platform/win32/win32_code_page.h"
#include "platform/win32/win32_geometry.h"
#include "platform/win32/win32_main_window.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_version_dialog.h"

namespace velmora::platform::win32 {
namespace {

TEST(TwipsConversion, RoundsToTheNearestPixelAtEveryDpi) {
    struct Case {
        int twips;
        UINT dpi;
        int pixels;
    };
    const Case cases[] = {
        {120, 96, 8},     {8745, 96, 583}, {4140, 96, 276},  {6435, 96, 429}, {8745, 144, 875},
        {6435, 120, 536}, {375, 144, 38},  {4140, 192, 552}, {-7, 96, 0},     {-8, 96, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
    // A centred position can end in half a twip; half a pixel rounds away
    // from zero on both sides of the screen's edge.
    EXPECT_EQ(TwipsToPixels(4582.5f, 96), 306);
    EXPECT_EQ(TwipsToPixels(-7.5f, 96), -1);
    EXPECT_EQ(PixelsToTwips(583, 96), 8745.0f);
    EXPECT_EQ(PixelsToTwips(1, 144), 10.0f);
}

TEST(FontHeight, IsTheNegativeCharacterHeightForTheDpi) {
    struct Case {
        int centipoints;
        UINT dpi;
        int height;
    };
    const Case cases[] = {{975, 96, -13},  {1200, 96, -16},  {975, 120, -16},
                          {975, 144, -20}, {1200, 144, -24}, {975, 192, -26}};
    for (const Case& c : cases) {
        EXPECT_EQ(FontHeightForDpi(c.centipoints, c.dpi), c.height)
            << c.centipoints << " at " << c.dpi;
        EXPECT_EQ(FontHeightForDpi(c.centipoints, c.dpi), -::MulDiv(c.centipoints, c.dpi, 7200));
    }
}

// Layout rows in twips, relative to the client area.  A label is either
// exactly as large as its text, or as given but never smaller than its text.
enum Sizing { kGiven, kText, kAtLeast };
struct Placement {
    int id;
    int left, top, width, height;
    Sizing sizing;
};

RECT ClientRectOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

SIZE TextSizeInOwnFont(HWND control) {
    const HDC dc = ::GetDC(control);
    const HGDIOBJ previous =
        ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    const std::wstring text = TextOf(control);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return size;
}

void ExpectPlaced(HWND parent, const Placement& row, UINT dpi) {
    const HWND control = ::GetDlgItem(parent, row.id);
    ASSERT_NE(control, nullptr) << "control " << row.id;
    const RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, ::MulDiv(row.left, dpi, 1440)) << "left of " << row.id;
    EXPECT_EQ(rect.top, ::MulDiv(row.top, dpi, 1440)) << "top of " << row.id;
    SIZE size{::MulDiv(row.width, dpi, 1440), ::MulDiv(row.height, dpi, 1440)};
    if (row.sizing != kGiven) {
        const SIZE text = TextSizeInOwnFont(control);
        size = row.sizing == kText ? text
                                   : SIZE{std::max(size.cx, text.cx), std::max(size.cy, text.cy)};
    }
    EXPECT_EQ(rect.right - rect.left, size.cx) << "width of " << row.id;
    EXPECT_EQ(rect.bottom - rect.top, size.cy) << "height of " << row.id;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

void ExpectGothic(HWND control, int centipoints, UINT dpi) {
    const LOGFONTW font = FontOf(control);
    EXPECT_EQ(font.lfHeight, -::MulDiv(centipoints, dpi, 7200)) << ::GetDlgCtrlID(control);
    EXPECT_EQ(font.lfWeight, FW_NORMAL);
    EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
    EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"ＭＳ ゴシック");
}

void ExpectClientSize(HWND window, int widthTwips, int heightTwips, UINT dpi) {
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, ::MulDiv(widthTwips, dpi, 1440));
    EXPECT_EQ(client.bottom, ::MulDiv(heightTwips, dpi, 1440));
}

// Dispatches what is queued the way the program's loop does.
void Pump(Win32MainWindow& window) {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (!window.PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

class CountingStarter : public ProcessStarter {
  public:
    bool Start(const std::wstring&) override { return false; }
};
class CountingModalForm : public ModalForm {
  public:
    void ShowModal() override { ++openings; }
    int openings = 0;
};
class CountingApplication : public Application {
  public:
    void End() override { ++ends; }
    int ends = 0;
};

class MainWindowTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { DeclareDpiAwareness(); }
    // The previous test's main window posted WM_QUIT as it was destroyed; a
    // modal loop would take it for the program's end.
    void SetUp() override {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    MainWindowTest()
        : window_(::GetModuleHandleW(nullptr), nullptr),
          form_(mainwindow::ZentrelFormPlatform{
              registry_, codePage_, window_.UninstallList(), window_.UninstallStringText(),
              window_.Messages(), starter_, screen_, window_, versionForm_, application_}),
          dpi_(WindowDpi(window_.Handle())) {
        window_.Attach(&form_);
    }
    ~MainWindowTest() override { window_.Attach(nullptr); }

    HWND Control(int id) const { return ::GetDlgItem(window_.Handle(), id); }
    void Press(HWND target, UINT message, WPARAM key, LPARAM flags = 1) {
        ::PostMessageW(target, message, key, flags);
        Pump(window_);
    }

    Win32Registry registry_;
    Win32CodePage codePage_;
    CountingStarter starter_;
    Win32Screen screen_;
    CountingModalForm versionForm_;
    CountingApplication application_;
    Win32MainWindow window_;
    mainwindow::ZentrelForm form_;
    UINT dpi_;
};

TEST_F(MainWindowTest, EveryControlSitsWhereTheLayoutPutsItAtTheWindowsDpi) {
    const HWND main = window_.Handle();
    EXPECT_EQ(TextOf(main), L"Velmora Ver 1.0.3");
    ExpectClientSize(main, 8745, 4140, dpi_);
    const Placement rows[] = {
        {1007, 120, 120, 0, 0, kText},         {1000, 120, 360, 6435, 2940, kGiven},
        {1002, 6780, 840, 1875, 375, kGiven},  {1003, 6780, 1320, 1875, 375, kGiven},
        {1004, 6780, 1800, 1875, 375, kGiven}, {1005, 6780, 2460, 1875, 375, kGiven},
        {1006, 6780, 2940, 1875, 375, kGiven}, {1009, 8100, 120, 480, 480, kGiven},
        {1008, 120, 3420, 0, 0, kText},        {1001, 120, 3660, 8475, 375, kGiven},
    };
    for (const Placement& row : rows) ExpectPlaced(main, row, dpi_);
    ExpectGothic(Control(1000), 1200, dpi_);
    for (const int id : {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008}) {
        ExpectGothic(Control(id), 975, dpi_);
    }
}

TEST_F(MainWindowTest, TabVisitsListTextAndButtonsInOrderAndNoControlIsOkOrCancel) {
    const int order[] = {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1000};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i) {
        const HWND next = ::GetNextDlgTabItem(window_.Handle(), Control(order[i]), FALSE);
        EXPECT_EQ(::GetDlgCtrlID(next), order[i + 1]) << "after " << order[i];
    }
    EXPECT_EQ(::GetDlgItem(window_.Handle(), IDOK), nullptr);
    EXPECT_EQ(::GetDlgItem(window_.Handle(), IDCANCEL), nullptr);
    for (int id = 1002; id <= 1006; ++id) {
        EXPECT_EQ(::GetWindowLongW(Control(id), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
}

TEST_F(MainWindowTest, ListKeepsLinesSortedWithTheirSlots) {
    ListBox& list = window_.UninstallList();
    list.BeginUpdate();
    list.Clear();
    list.AddLine(L"Zed", 3);
    list.AddLine(L"alpha", 7);
    list.AddLine(L"Mid", 256);
    list.EndUpdate();
    const std::vector<std::wstring> expected = {L"alpha", L"Mid", L"Zed"};
    const std::vector<std::int16_t> slots = {7, 256, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(list.LineText(i), expected[i]);
        EXPECT_EQ(list.LineSlot(i), slots[i]);
    }
    EXPECT_EQ(list.SelectedIndex(), -1);
    ::SendMessageW(Control(1000), LB_SETCURSEL, 1, 0);
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_THROW(list.LineText(3), std::runtime_error);
    EXPECT_THROW(list.LineSlot(-2), std::runtime_error);
    list.Clear();
    EXPECT_EQ(list.SelectedIndex(), -1);
}

TEST_F(MainWindowTest, EnterPressesOnlyAFocusedButtonAndEscapeNothing) {
    ::ShowWindow(window_.Handle(), SW_SHOW);
    ::SetFocus(Control(1005));
    Press(Control(1005), WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(versionForm_.openings, 0);
    Press(Control(1005), WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(versionForm_.openings, 1);
    ::SetFocus(Control(1000));
    Press(Control(1000), WM_KEYDOWN, VK_RETURN);
    Press(Control(1000), WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(versionForm_.openings, 1);
    EXPECT_EQ(application_.ends, 0);
    EXPECT_NE(window_.Handle(), nullptr);
}

TEST_F(MainWindowTest, AltAccessKeysPressTheirButtonsAndTabMovesOn) {
    ::ShowWindow(window_.Handle(), SW_SHOW);
    ::SetFocus(Control(1000));
    constexpr LPARAM kAltDown = 1 | (1 << 29);
    Press(Control(1000), WM_SYSCHAR, 'v', kAltDown);
    EXPECT_EQ(versionForm_.openings, 1);
    Press(::GetFocus(), WM_SYSCHAR, 'e', kAltDown);
    EXPECT_EQ(application_.ends, 1);
    ::SetFocus(Control(1000));
    Press(Control(1000), WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(::GetFocus(), Control(1001));
}

TEST_F(MainWindowTest, ControlsDoNothingWhileTheWindowIsDisabled) {
    ::EnableWindow(window_.Handle(), FALSE);
    ::SendMessageW(Control(1005), BM_CLICK, 0, 0);
    EXPECT_EQ(versionForm_.openings, 0);
    ::EnableWindow(window_.Handle(), TRUE);
    ::SendMessageW(Control(1005), BM_CLICK, 0, 0);
    EXPECT_EQ(versionForm_.openings, 1);
}

// The version dialog runs its own loop; a timer callback, dispatched by that
// loop, looks at the open dialog and then closes it by the keyboard.
struct DialogVisit {
    HWND owner = nullptr;
    int ticks = 0;
    RECT outer{};
    bool ownerEnabled = true;
    bool okFocused = false;
};
DialogVisit* g_visit = nullptr;

void CALLBACK VisitDialog(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = ::FindWindowW(L"VersionWindow", nullptr);
    if (dialog == nullptr) return;
    const HWND ok = ::GetDlgItem(dialog, 2000);
    if (++g_visit->ticks == 1) {
        ::GetWindowRect(dialog, &g_visit->outer);
        g_visit->ownerEnabled = ::IsWindowEnabled(g_visit->owner) != FALSE;
        g_visit->okFocused = ::GetFocus() == ok;
        ::PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 1);  // must leave it open
    } else if (g_visit->ticks == 2) {
        ::PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1);  // OK has the focus
    } else {
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);  // Enter failed: fail, do not hang
    }
}

TEST_F(MainWindowTest, VersionDialogOpensCentredModalAndLaidOutEachTime) {
    ::ShowWindow(window_.Handle(), SW_SHOW);
    Win32VersionDialog dialog(::GetModuleHandleW(nullptr), nullptr, screen_, window_.Handle());
    for (int opening = 0; opening < 2; ++opening) {
        DialogVisit visit;
        visit.owner = window_.Handle();
        g_visit = &visit;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitDialog);
        dialog.ShowModal();
        ::KillTimer(nullptr, timer);
        g_visit = nullptr;

        EXPECT_EQ(visit.ticks, 2) << "opening " << opening;
        EXPECT_FALSE(visit.ownerEnabled);
        EXPECT_TRUE(visit.okFocused);
        EXPECT_EQ(dialog.Handle(), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(window_.Handle()));
        const int width = visit.outer.right - visit.outer.left;
        const int height = visit.outer.bottom - visit.outer.top;
        const UINT dpi = SystemDpi();
        EXPECT_LE(std::abs(2 * visit.outer.left - (::GetSystemMetrics(SM_CXSCREEN) - width)), 1);
        EXPECT_LE(std::abs(2 * visit.outer.top - (::GetSystemMetrics(SM_CYSCREEN) - height)), 1);
        EXPECT_GT(width, ::MulDiv(6105, dpi, 1440));
    }
}

// The layout of the dialog itself, checked while it is open.
void CALLBACK CheckDialogLayout(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = ::FindWindowW(L"VersionWindow", nullptr);
    if (dialog == nullptr || g_visit->ticks++ > 0) return;
    const UINT dpi = WindowDpi(dialog);
    ExpectClientSize(dialog, 6105, 1560, dpi);
    EXPECT_EQ(TextOf(dialog), L"バージョン情報");
    const Placement rows[] = {
        {2000, 4800, 120, 1215, 315, kGiven},  {2001, 720, 0, 3975, 1455, kGiven},
        {2002, 840, 240, 3585, 195, kAtLeast}, {2003, 840, 540, 3735, 195, kAtLeast},
        {2004, 840, 840, 3675, 195, kAtLeast}, {2005, 840, 1140, 1905, 195, kAtLeast},
        {2006, 60, 60, 480, 480, kGiven},
    };
    for (const Placement& row : rows) ExpectPlaced(dialog, row, dpi);
    for (const int id : {2000, 2002, 2003, 2004, 2005}) {
        ExpectGothic(::GetDlgItem(dialog, id), 975, dpi);
    }
    EXPECT_EQ(::GetDlgItem(dialog, IDOK), nullptr);
    ::PostMessageW(dialog, WM_CLOSE, 0, 0);
}

TEST_F(MainWindowTest, VersionDialogLayoutAndCloseBox) {
    Win32VersionDialog dialog(::GetModuleHandleW(nullptr), nullptr, screen_, window_.Handle());
    DialogVisit visit;
    g_visit = &visit;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CheckDialogLayout);
    dialog.ShowModal();
    ::KillTimer(nullptr, timer);
    g_visit = nullptr;
    EXPECT_EQ(visit.ticks, 1);
    EXPECT_EQ(dialog.Handle(), nullptr);
}

}  // namespace
}  // namespace velmora::platform::win32
