// The real windows under Wine, for what the end-to-end driver does not see:
// the twips and font conversions at every dpi, the fonts the controls are
// given at the dpi they are drawn at, and Enter and Escape on a focused
// button and in the version dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "mainwindow/zentrel_form.h"
#include "platform/win32/forms/win32_main_window.h"
#include "platform/win32/forms/win32_version_dialog.h"
#include "platform/win32/system/win32_backup_folder.h"
#include "platform/win32/system/win32_code_page.h"
#include "platform/win32/system/win32_registry.h"
#include "platform/win32/system/win32_wide_registry.h"
#include "platform/win32/ui/dpi.h"
#include "platform/win32/ui/win32_geometry.h"

namespace velmora::platform::win32 {
namespace {

TEST(DpiConversion, RoundsTwipsAndFontHeightsToTheNearestPixel) {
    struct Case {
        int twips;
        UINT dpi;
        int pixels;
    };
    const Case twips[] = {{120, 96, 8},   {8745, 96, 583},  {8745, 144, 875}, {6435, 120, 536},
                          {375, 144, 38}, {4140, 192, 552}, {-7, 96, 0},      {-8, 96, -1}};
    for (const Case& c : twips) {
        EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
    }
    // A centred position can end in half a twip; half a pixel rounds away
    // from zero on both sides of the screen's edge.
    EXPECT_EQ(TwipsToPixels(4582.5f, 96), 306);
    EXPECT_EQ(TwipsToPixels(-7.5f, 96), -1);
    EXPECT_EQ(PixelsToTwips(583, 96), 8745.0f);
    EXPECT_EQ(PixelsToTwips(1, 144), 10.0f);
    // Font heights in hundredths of a point: the negative character height.
    const Case fonts[] = {{975, 96, -13},  {1200, 96, -16},  {975, 120, -16},
                          {975, 144, -20}, {1200, 144, -24}, {975, 192, -26}};
    for (const Case& c : fonts) {
        EXPECT_EQ(FontHeightForDpi(c.twips, c.dpi), c.pixels) << c.twips << " at " << c.dpi;
    }
}

// Every control named is in ＭＳ ゴシック of the given size at the dpi.
void ExpectGothic(HWND parent, std::initializer_list<int> ids, int centipoints, UINT dpi) {
    for (const int id : ids) {
        LOGFONTW font{};
        const auto handle =
            reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(parent, id), WM_GETFONT, 0, 0));
        ASSERT_NE(::GetObjectW(handle, sizeof font, &font), 0) << "no font in control " << id;
        EXPECT_EQ(font.lfHeight, -::MulDiv(centipoints, dpi, 7200)) << id;
        EXPECT_EQ(font.lfWeight, FW_NORMAL) << id;
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << id;
        EXPECT_FALSE(font.lfItalic || font.lfUnderline || font.lfStrikeOut) << id;
        EXPECT_EQ(std::wstring(font.lfFaceName), L"ＭＳ ゴシック") << id;
    }
}

class RefusingStarter : public ProcessStarter {
  public:
    StartResult Start(const std::wstring&, WindowHandle, EntryScope) override {
        return StartResult::kFailed;
    }
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
        for (MSG msg; ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) {
        }
    }

    MainWindowTest()
        : window_(::GetModuleHandleW(nullptr), nullptr),
          form_(mainwindow::ZentrelFormPlatform{
              registry_, codePage_, window_.UninstallList(), window_.UninstallStringText(),
              window_.Messages(), starter_, screen_, window_, versionForm_, application_,
              wideRegistry_, backups_, window_.UninstallKeysChanged(), window_.Checks()}) {
        window_.Attach(&form_);
    }
    ~MainWindowTest() override { window_.Attach(nullptr); }

    HWND Control(int id) const { return ::GetDlgItem(window_.Handle(), id); }
    // Posts a key to the focused control and dispatches it the way the
    // program's loop does.
    void Press(int id, WPARAM key) {
        ::SetFocus(Control(id));
        ::PostMessageW(Control(id), WM_KEYDOWN, key, 1);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message != WM_QUIT && !window_.PreTranslate(msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
        }
    }

    Win32Registry registry_;
    Win32CodePage codePage_;
    RefusingStarter starter_;
    Win32Screen screen_;
    CountingModalForm versionForm_;
    CountingApplication application_;
    Win32WideRegistry wideRegistry_;
    Win32BackupFolder backups_;
    Win32MainWindow window_;
    mainwindow::ZentrelForm form_;
};

TEST_F(MainWindowTest, ControlsAreInGothicSizedForTheWindowsDpi) {
    const UINT dpi = WindowDpi(window_.Handle());
    ExpectGothic(window_.Handle(), {1000}, 1200, dpi);
    ExpectGothic(window_.Handle(), {1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008}, 975, dpi);
}

// Screen readers name the list and the edit box after the label just before
// each in the z-order; the labels take no focus, so Tab still goes from the
// list to the edit box and on through the buttons.
TEST_F(MainWindowTest, LabelsComeJustBeforeTheirControlsAndTabOrderStays) {
    EXPECT_EQ(::GetWindow(Control(1000), GW_HWNDPREV), Control(1007));
    EXPECT_EQ(::GetWindow(Control(1001), GW_HWNDPREV), Control(1008));
    std::vector<int> tabOrder;
    HWND control = Control(1000);
    for (int i = 0; i < 8 && control != nullptr; ++i) {
        tabOrder.push_back(::GetDlgCtrlID(control));
        control = ::GetNextDlgTabItem(window_.Handle(), control, FALSE);
    }
    EXPECT_EQ(tabOrder, (std::vector<int>{1000, 1001, 1002, 1003, 1004, 1005, 1006, 1000}));
}

// Enter presses only the focused button (1005 opens the version dialog);
// Escape presses nothing, and neither key ends the program.
TEST_F(MainWindowTest, EnterPressesOnlyAFocusedButtonAndEscapeNothing) {
    ::ShowWindow(window_.Handle(), SW_SHOW);
    const struct {
        int id;
        WPARAM key;
        int openings;
    } presses[] = {
        {1005, VK_ESCAPE, 0}, {1005, VK_RETURN, 1}, {1000, VK_RETURN, 1}, {1000, VK_ESCAPE, 1}};
    for (const auto& press : presses) {
        Press(press.id, press.key);
        EXPECT_EQ(versionForm_.openings, press.openings) << press.id << " key " << press.key;
    }
    EXPECT_EQ(application_.ends, 0);
    EXPECT_TRUE(::IsWindow(window_.Handle()));
}

// The version dialog runs its own loop; a timer callback, dispatched by that
// loop, looks at the open dialog and then closes it by the keyboard.
int g_ticks = 0;

void CALLBACK VisitDialog(HWND, UINT, UINT_PTR, DWORD) {
    const HWND dialog = ::FindWindowW(L"VersionWindow", nullptr);
    if (dialog == nullptr) return;
    const HWND ok = ::GetDlgItem(dialog, 2000);
    if (++g_ticks == 1) {
        ExpectGothic(dialog, {2000, 2002, 2003, 2004, 2005}, 975, WindowDpi(dialog));
        ::PostMessageW(ok, WM_KEYDOWN, VK_ESCAPE, 1);  // must leave it open
    } else if (g_ticks == 2) {
        ::PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 1);  // OK has the focus
    } else {
        ::PostMessageW(dialog, WM_CLOSE, 0, 0);  // Enter failed: fail, do not hang
    }
}

TEST_F(MainWindowTest, VersionDialogIsInGothicAndClosesByEnterNotEscape) {
    ::ShowWindow(window_.Handle(), SW_SHOW);
    Win32VersionDialog dialog(::GetModuleHandleW(nullptr), nullptr, screen_, window_.Handle());
    g_ticks = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, VisitDialog);
    dialog.ShowModal();
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(g_ticks, 2) << "1: Escape closed it; 3: Enter did not";
    EXPECT_EQ(dialog.Handle(), nullptr);
}

}  // namespace
}  // namespace velmora::platform::win32

namespace velmora::platform::win32 {
namespace {

// The change signal's message comes once however often its event is set, and
// is taken only for the latest Listen: the program's own deletion sets the
// event of a watch that the rescan after it has already replaced.
TEST(ChangeSignal, TellsOnceAndOnlyOfTheLatestEvent) {
    constexpr UINT kMessage = WM_APP + 7;
    Win32MainWindow window(::GetModuleHandleW(nullptr), nullptr);
    Win32EventMessage signal(window.Handle(), kMessage);
    const auto setAndReceive = [&](EventHandle event) {
        ::SetEvent(reinterpret_cast<HANDLE>(event));
        ::SetEvent(reinterpret_cast<HANDLE>(event));
        // Only its own message: a window destroyed before leaves WM_QUIT,
        // which every filter lets through.
        MSG msg{};
        for (int i = 0; i < 1000; ++i) {
            if (::PeekMessageW(&msg, window.Handle(), kMessage, kMessage, PM_REMOVE) &&
                msg.message == kMessage) {
                break;
            }
            ::Sleep(10);
        }
        EXPECT_EQ(msg.message, kMessage) << "no message within 10 s";
        return msg.wParam;
    };
    const WPARAM replaced = setAndReceive(signal.Listen());
    const WPARAM latest = setAndReceive(signal.Listen());
    EXPECT_FALSE(signal.Take(replaced));
    EXPECT_TRUE(signal.Take(latest));
    EXPECT_FALSE(signal.Take(latest)) << "taken once";
    MSG extra{};
    while (::PeekMessageW(&extra, window.Handle(), kMessage, kMessage, PM_REMOVE) &&
           extra.message != kMessage) {
    }
    EXPECT_NE(extra.message, kMessage) << "one message for two settings";
}

}  // namespace
}  // namespace velmora::platform::win32
