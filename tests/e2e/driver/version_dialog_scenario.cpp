#include <algorithm>
#include <vector>

#include "registry_seed.h"
#include "scenarios.h"
#include "screenshot.h"
#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

struct VersionDialog {
    HWND window = nullptr;
    HWND ok = nullptr;
};

VersionDialog WaitForVersionDialog(const VelmoraProcess& process) {
    VersionDialog dialog;
    WaitUntil([&] { return (dialog.window = FindTopLevel(process.Id(), kVersionDialogCaption)); });
    if (dialog.window) dialog.ok = FindControl(dialog.window, L"Button", L"OK");
    return dialog;
}

bool IsGone(HWND window) { return !IsWindow(window) || !IsWindowVisible(window); }

HWND FindGroupFrame(HWND window) {
    for (HWND child : DescendantsOf(window)) {
        const auto style = GetWindowLongPtrW(child, GWL_STYLE);
        if (IsClass(child, L"Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) return child;
    }
    return nullptr;
}

// The dialog's labels with text, from top to bottom.
std::vector<HWND> TextLabels(HWND dialog) {
    std::vector<HWND> labels;
    for (HWND child : DescendantsOf(dialog)) {
        const auto style = GetWindowLongPtrW(child, GWL_STYLE);
        if (IsClass(child, L"Static") && (style & SS_TYPEMASK) != SS_ICON) labels.push_back(child);
    }
    std::sort(labels.begin(), labels.end(), [&](HWND a, HWND b) {
        return BoxInClient(a, dialog).top < BoxInClient(b, dialog).top;
    });
    return labels;
}

void CheckDialogLayout(Checks& checks, const VersionDialog& dialog) {
    const SIZE client = ClientSize(dialog.window);
    const Box expectedClient = BoxFromTwips(0, 0, 6105, 1560);
    checks.Check(client.cx == expectedClient.width && client.cy == expectedClient.height,
                 L"version dialog: the client area is 6105 x 1560 twips",
                 L"it is " + std::to_wstring(client.cx) + L"x" + std::to_wstring(client.cy));
    struct Placement {
        HWND control;
        const wchar_t* name;
        Box expected;
    };
    const Placement placements[] = {
        {dialog.ok, L"the OK button", BoxFromTwips(4800, 120, 1215, 315)},
        {FindIconPicture(dialog.window), L"the icon picture", BoxFromTwips(60, 60, 480, 480)},
        {FindGroupFrame(dialog.window), L"the frame", BoxFromTwips(720, 0, 3975, 1455)},
    };
    for (const auto& placement : placements) {
        const Box actual =
            placement.control ? BoxInClient(placement.control, dialog.window) : Box{};
        checks.Check(placement.control && actual == placement.expected,
                     L"version dialog: " + std::wstring(placement.name) + L" sits at " +
                         ToText(placement.expected),
                     placement.control ? L"it sits at " + ToText(actual) : L"it was not found");
    }
    for (const wchar_t* text : {L"Velmora Ver 1.0.3", L"for Windows95/98/NT"}) {
        checks.Check(FindControl(dialog.window, L"Static", text) != nullptr,
                     L"version dialog: it shows " + Quote(text));
    }

    // The four text lines inside the frame, 300 twips apart, each as large
    // as its text in the dialog's font.
    const auto labels = TextLabels(dialog.window);
    checks.Check(labels.size() == 4, L"version dialog: it shows four lines of text",
                 L"it shows " + std::to_wstring(labels.size()));
    const int lineHeight = LineHeight(kUiFontFace, 975, SHIFTJIS_CHARSET);
    for (size_t i = 0; i < labels.size(); ++i) {
        const std::wstring text = TextOf(labels[i]);
        const Box actual = BoxInClient(labels[i], dialog.window);
        const Box at = BoxFromTwips(720 + 120, 240 + 300 * static_cast<int>(i), 0, 0);
        const SIZE size = MeasureText(text, kUiFontFace, 975, SHIFTJIS_CHARSET);
        const std::wstring name = L"version dialog: the line " + Quote(text);
        checks.Check(actual.left == at.left && actual.top == at.top,
                     name + L" starts at " + ToText(at), L"it sits at " + ToText(actual));
        checks.Check(actual.height >= size.cy && actual.height < 2 * lineHeight,
                     name + L" is one line high",
                     L"it is " + std::to_wstring(actual.height) + L" high, the text " +
                         std::to_wstring(size.cy) + L": its lowest rows are cut off");
        checks.Check(actual.width >= size.cx, name + L" is as wide as its text",
                     L"it is " + std::to_wstring(actual.width) + L" wide, its text " +
                         std::to_wstring(size.cx) + L": the text is cut off");
    }
}

}  // namespace

void VersionDialogScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    seed.Add({Root::kMachine, L"VersionCase", L"VelmoraE2E Version Case",
              L"Z:\\velmora-e2e\\version.exe"});
    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);
    const int line = list.IndexOf(L"VelmoraE2E Version Case");
    checks.Require(line >= 0, L"the seeded entry is listed");

    // First opening, by Alt+V.
    checks.Check(PressKeys(main.window, {VK_MENU, 'V'}), L"Alt+V can be typed");
    VersionDialog dialog = WaitForVersionDialog(process);
    checks.Require(dialog.window != nullptr && dialog.ok != nullptr,
                   L"Alt+V opens the version dialog with its OK button");
    CheckCentred(checks, dialog.window, L"version dialog: centred");
    checks.Check(!IsWindowEnabled(main.window), L"version dialog: the main window is disabled");
    checks.Check(WaitUntil([&] { return FocusOf(dialog.window) == dialog.ok; }),
                 L"version dialog: OK holds the focus");
    CheckDialogLayout(checks, dialog);
    checks.Check(WriteScreenshot(dialog.window, environment.outputDirectory + L"\\e2e-version.bmp"),
                 L"a screenshot of the version dialog is written");

    // Clicks on the main window's exit button and list go nowhere meanwhile.
    const Box dialogBox = OuterBox(dialog.window);
    const RECT dialogRect{dialogBox.left, dialogBox.top, dialogBox.left + dialogBox.width,
                          dialogBox.top + dialogBox.height};
    RECT endRect{};
    GetWindowRect(main.end, &endRect);
    RECT lineRect = list.ItemRect(line);
    MapWindowPoints(main.list, nullptr, reinterpret_cast<POINT*>(&lineRect), 2);
    const POINT endPoint = CentreOf(endRect);
    const POINT linePoint{lineRect.left + 10, (lineRect.top + lineRect.bottom) / 2};
    checks.Require(!PtInRect(&dialogRect, endPoint) && !PtInRect(&dialogRect, linePoint),
                   L"the exit button and the line are not covered by the dialog");
    checks.Check(ClickScreenAt(endPoint) && ClickScreenAt(linePoint), L"mouse clicks can be sent");
    Settle();
    checks.Check(process.Running() && !IsGone(dialog.window) && list.Selected() == -1,
                 L"version dialog: the main window's button and list do not react to clicks");

    // Space closes it at once; the main window takes input again.
    checks.Check(PressKeys(dialog.window, {VK_SPACE}) &&
                     WaitUntil([&] { return IsGone(dialog.window); }, 1s),
                 L"version dialog: Space closes it at once");
    checks.Check(WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }),
                 L"after closing, the main window is enabled again");
    checks.Check(ClickScreenAt(linePoint) && WaitUntil([&] { return list.Selected() == line; }),
                 L"after closing, a click on a line selects it again");

    // Second opening, by the button: moved away, closed, opened again.
    PostButtonClick(main.version);
    dialog = WaitForVersionDialog(process);
    checks.Require(dialog.window != nullptr && dialog.ok != nullptr,
                   L"the version button opens the dialog a second time");
    CheckCentred(checks, dialog.window, L"second opening: centred");
    SetWindowPos(dialog.window, nullptr, 10, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    checks.Check(WaitUntil([&] {
                     const Box moved = OuterBox(dialog.window);
                     return moved.left == 10 && moved.top == 20;
                 }),
                 L"the dialog can be moved");
    PostButtonClick(dialog.ok);
    checks.Check(WaitUntil([&] { return IsGone(dialog.window); }), L"OK closes the dialog");
    checks.Check(WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }),
                 L"after OK, the main window is enabled again");

    checks.Check(PressKeys(main.window, {VK_MENU, 'V'}), L"Alt+V can be typed again");
    dialog = WaitForVersionDialog(process);
    checks.Require(dialog.window != nullptr, L"the dialog opens a third time");
    CheckCentred(checks, dialog.window, L"after being moved and closed, it opens centred again");
    checks.Check(PressKeys(dialog.window, {VK_SPACE}) &&
                     WaitUntil([&] { return IsGone(dialog.window); }, 1s) &&
                     WaitUntil([&] { return IsWindowEnabled(main.window) != FALSE; }),
                 L"third opening: Space closes it and the main window is enabled");
}

}  // namespace velmora::e2e
