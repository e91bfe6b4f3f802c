#include <algorithm>
#include <vector>

#include "scenarios.h"
#include "screenshot.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

struct VersionDialog {
    HWND window = nullptr;
    HWND ok = nullptr;
};

// Waits for the dialog; the scenario ends when it does not come.
VersionDialog RequireVersionDialog(const Session& s, std::wstring_view how) {
    VersionDialog dialog{s.FindWindowCaptioned(L"バージョン情報")};
    if (dialog.window) dialog.ok = FindControl(dialog.window, L"Button", L"OK");
    s.checks.Require(dialog.window && dialog.ok,
                     std::wstring(how) + L" opens the version dialog with its OK button");
    CheckCentred(s.checks, dialog.window, std::wstring(how) + L": the dialog is centred");
    return dialog;
}

bool IsGone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

bool ClosesAndEnablesMain(const Session& s, const VersionDialog& dialog) {
    return WaitUntil([&] { return IsGone(dialog.window); }) &&
           WaitUntil([&] { return IsWindowEnabled(s.main.window) != FALSE; });
}

void CheckDialogLayout(Checks& checks, const VersionDialog& dialog) {
    const HWND frame = FindChild(dialog.window, [](HWND c) {
        return IsClass(c, L"Button") &&
               (GetWindowLongPtrW(c, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX;
    });
    CheckLayout(checks, dialog.window, 6105, 1560,
                {{dialog.ok, L"the dialog's OK button", BoxFromTwips(4800, 120, 1215, 315)},
                 {FindStatic(dialog.window, SS_ICON), L"the dialog's icon picture",
                  BoxFromTwips(60, 60, 480, 480)},
                 {frame, L"the dialog's frame", BoxFromTwips(720, 0, 3975, 1455)}});
    // Four text lines inside the frame, 300 twips apart, from top to bottom.
    auto labels = DescendantsOf(dialog.window);
    std::erase_if(labels, [](HWND c) {
        return !IsClass(c, L"Static") || (GetWindowLongPtrW(c, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
    });
    std::ranges::sort(labels, {}, [&](HWND c) { return BoxInClient(c, dialog.window).top; });
    const bool named = FindControl(dialog.window, L"Static", L"Velmora Ver 1.0.3") &&
                       FindControl(dialog.window, L"Static", L"for Windows95/98/NT");
    checks.Check(labels.size() == 4 && named,
                 L"the dialog shows four lines of text with \"Velmora Ver 1.0.3\" and "
                 L"\"for Windows95/98/NT\"",
                 L"it shows " + std::to_wstring(labels.size()));
    for (int i = 0; i < static_cast<int>(labels.size()); ++i) {
        CheckLabel(checks, labels[i], dialog.window, 840, 240 + 300 * i);
    }
}

}  // namespace

void VersionDialogScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    seed.Add({Root::kMachine, L"VersionCase", L"VelmoraE2E Version Case", L"Z:\\version.exe"});
    const Session s(checks, environment);
    const int line = s.list.IndexOf(L"VelmoraE2E Version Case");
    checks.Require(line >= 0, L"the seeded entry is listed");

    // First opening, by the button: checked, moved away and closed.
    PostButtonClick(s.main.version);
    VersionDialog dialog = RequireVersionDialog(s, L"the version button");
    checks.Check(!IsWindowEnabled(s.main.window) &&
                     WaitUntil([&] { return FocusOf(dialog.window) == dialog.ok; }),
                 L"while the dialog is open the main window is disabled; OK holds the focus");
    CheckDialogLayout(checks, dialog);
    checks.Check(WriteScreenshot(dialog.window, environment.outputDirectory + L"\\e2e-version.bmp"),
                 L"a screenshot of the version dialog is written");
    SetWindowPos(dialog.window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    checks.Check(WaitUntil([&] {
                     const Box moved = OuterBox(dialog.window);
                     return moved.left == 10 && moved.top == 20;
                 }),
                 L"the dialog can be moved");
    PostButtonClick(dialog.ok);
    checks.Check(ClosesAndEnablesMain(s, dialog),
                 L"OK closes the dialog and the main window is enabled again");

    // Then by real input, last, as it ends the scenario where the window
    // cannot have the foreground: opened centred again by Alt+V.
    PressKeys(s.main.window, {VK_MENU, 'V'});
    dialog = RequireVersionDialog(s, L"Alt+V after a move and close");

    // Real clicks on the main window's exit button and a line go nowhere.
    RECT endRect{};
    GetWindowRect(s.main.end, &endRect);
    RECT lineRect = s.list.ItemRect(line);
    MapWindowPoints(s.main.list, nullptr, reinterpret_cast<POINT*>(&lineRect), 2);
    const POINT endPoint = CentreOf(endRect);
    const POINT linePoint{lineRect.left + 10, (lineRect.top + lineRect.bottom) / 2};
    RECT dialogRect{};
    GetWindowRect(dialog.window, &dialogRect);
    checks.Require(!PtInRect(&dialogRect, endPoint) && !PtInRect(&dialogRect, linePoint) &&
                       ClickScreenAt(endPoint) && ClickScreenAt(linePoint),
                   L"the exit button and a line, not covered by the dialog, are clicked");
    Settle();
    checks.Check(s.Running() && !IsGone(dialog.window) && s.list.Selected() == -1,
                 L"while the dialog is open the main window's button and list ignore clicks");

    // Space closes it at once; the main window takes clicks again.
    checks.Check(PressKeys(dialog.window, {VK_SPACE}) && ClosesAndEnablesMain(s, dialog),
                 L"Space closes the dialog at once and the main window is enabled again");
    checks.Check(ClickScreenAt(linePoint) && WaitUntil([&] { return s.list.Selected() == line; }),
                 L"after closing, a click on a line selects it again");
}

}  // namespace velmora::e2e
