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

std::wstring Trimmed(const std::wstring& text) {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(L' ') - first + 1);
}

// A display name of exactly `length` single-byte characters.
std::wstring NameOfLength(const std::wstring& start, size_t length, wchar_t fill) {
    return start + std::wstring(length - start.size(), fill);
}

void CheckLayout(Checks& checks, const MainWindow& main) {
    const SIZE client = ClientSize(main.window);
    const Box expectedClient = BoxFromTwips(0, 0, 8745, 4140);
    checks.Check(client.cx == expectedClient.width && client.cy == expectedClient.height,
                 L"the client area is 8745 x 4140 twips",
                 L"it is " + std::to_wstring(client.cx) + L"x" + std::to_wstring(client.cy));

    struct Placement {
        HWND control;
        const wchar_t* name;
        Box expected;
    };
    const Placement placements[] = {
        {main.list, L"the list", BoxFromTwips(120, 360, 6435, 2940)},
        {main.update, L"the refresh button", BoxFromTwips(6780, 840, 1875, 375)},
        {main.remove, L"the delete button", BoxFromTwips(6780, 1320, 1875, 375)},
        {main.run, L"the run button", BoxFromTwips(6780, 1800, 1875, 375)},
        {main.version, L"the version button", BoxFromTwips(6780, 2460, 1875, 375)},
        {main.end, L"the exit button", BoxFromTwips(6780, 2940, 1875, 375)},
        {main.image, L"the icon picture", BoxFromTwips(8100, 120, 480, 480)},
        {main.commandText, L"the command-line box", BoxFromTwips(120, 3660, 8475, 375)},
    };
    for (const auto& placement : placements) {
        const Box actual = placement.control ? BoxInClient(placement.control, main.window) : Box{};
        checks.Check(placement.control && actual == placement.expected,
                     std::wstring(placement.name) + L" sits at " + ToText(placement.expected),
                     placement.control ? L"it sits at " + ToText(actual) : L"it was not found");
    }

    // Labels are as large as their text in the window's font, which depends
    // on the font the system substitutes.
    struct Label {
        HWND control;
        const wchar_t* text;
        int leftTwips;
        int topTwips;
    };
    const Label labels[] = {{main.listLabel, kListLabel, 120, 120},
                            {main.commandLabel, kCommandLabel, 120, 3420}};
    const int lineHeight = LineHeight(kUiFontFace, 975, SHIFTJIS_CHARSET);
    for (const auto& label : labels) {
        if (!checks.Check(label.control != nullptr,
                          L"the label " + Quote(label.text) + L" exists")) {
            continue;
        }
        const Box actual = BoxInClient(label.control, main.window);
        const SIZE text = MeasureText(label.text, kUiFontFace, 975, SHIFTJIS_CHARSET);
        const Box at = BoxFromTwips(label.leftTwips, label.topTwips, 0, 0);
        checks.Check(actual.left == at.left && actual.top == at.top,
                     L"the label " + Quote(label.text) + L" starts at " + ToText(at),
                     L"it sits at " + ToText(actual));
        checks.Check(actual.height >= text.cy && actual.height < 2 * lineHeight,
                     L"the label " + Quote(label.text) + L" is one line high",
                     L"it is " + std::to_wstring(actual.height) + L" high, a line " +
                         std::to_wstring(text.cy));
        checks.Check(actual.width >= text.cx,
                     L"the label " + Quote(label.text) + L" is as wide as its text",
                     L"it is " + std::to_wstring(actual.width) + L" wide, its text " +
                         std::to_wstring(text.cx));
    }

    const int listLine = LineHeight(kUiFontFace, 1200, SHIFTJIS_CHARSET);
    const int itemHeight = ListView(main.list).ItemHeight();
    checks.Check(
        itemHeight == listLine, L"the list's lines are one 12-point line high",
        L"they are " + std::to_wstring(itemHeight) + L", a line " + std::to_wstring(listLine));
}

void CheckSorted(Checks& checks, const std::vector<std::wstring>& lines) {
    std::wstring outOfOrder;
    for (size_t i = 1; i < lines.size() && outOfOrder.empty(); ++i) {
        if (lstrcmpiW(lines[i - 1].c_str(), lines[i].c_str()) > 0) {
            outOfOrder = Quote(lines[i - 1]) + L" comes before " + Quote(lines[i]);
        }
    }
    checks.Check(outOfOrder.empty(), L"the lines are in alphabetical order", outOfOrder);
}

}  // namespace

void StartUpAndBrowsingScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    std::vector<std::wstring> expected = ListableNames();

    const std::wstring longest = NameOfLength(L"VelmoraE2E Longest ", 255, L'x');
    const std::vector<SeedEntry> listed = {
        {Root::kMachine, L"MachineTool", L"VelmoraE2E Machine Tool",
         L"Z:\\velmora-e2e\\machine\\uninst.exe /S"},
        {Root::kUser, L"UserTool", L"VelmoraE2E User Tool",
         L"\"Z:\\velmora-e2e\\user tool\\uninst.exe\" /remove"},
        {Root::kUser, L"Japanese", L"VelmoraE2E サンプル表計算ソフト 2.0",
         L"Z:\\velmora-e2e\\表計算\\アンインストール.exe"},
        {Root::kMachine, L"Padded", L"   VelmoraE2E Padded   ",
         L"   \"Z:\\velmora-e2e\\padded\\uninst.exe\" /x   "},
        {Root::kMachine, L"LowerCase", L"velmoraE2E lower case", L"Z:\\velmora-e2e\\lower.exe"},
        {Root::kUser, L"Digits", L"1st VelmoraE2E Digits", L"Z:\\velmora-e2e\\digits.exe"},
        {Root::kMachine, L"Longest", longest, L"Z:\\velmora-e2e\\longest.exe"},
    };
    const std::vector<SeedEntry> unlisted = {
        {Root::kMachine, L"NoCommand", L"VelmoraE2E No Command", std::nullopt},
        {Root::kUser, L"BlankCommand", L"VelmoraE2E Blank Command", L"    "},
        {Root::kUser, L"NoName", std::nullopt, L"Z:\\velmora-e2e\\noname.exe"},
        {Root::kMachine, L"TooLong", NameOfLength(L"VelmoraE2E Too Long ", 256, L'y'),
         L"Z:\\velmora-e2e\\toolong.exe"},
    };
    for (const auto& entry : listed) {
        seed.Add(entry);
        expected.push_back(Trimmed(*entry.displayName));
    }
    for (const auto& entry : unlisted) seed.Add(entry);

    const auto registry = TakeRegistrySnapshot();
    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);

    // Start-up.
    CheckCentred(checks, main.window, L"the main window is centred on the screen");
    checks.Check(WaitUntil([&] { return FocusOf(main.window) == main.list; }),
                 L"the list holds the focus at start-up");
    checks.Check(TextOf(main.commandText).empty(), L"the command-line box is empty at start-up");
    const auto lines = list.Lines();
    checks.Check(lines.size() == expected.size(),
                 L"the list holds " + std::to_wstring(expected.size()) +
                     L" lines: every entry with both values, from both roots",
                 L"it holds " + Describe(lines));
    for (const auto& entry : listed) {
        const std::wstring name = Trimmed(*entry.displayName);
        const int index = list.IndexOf(name);
        checks.Check(index >= 0 && list.FindExact(name) == index,
                     std::wstring(entry.root == Root::kMachine ? L"HKLM" : L"HKCU") +
                         L" entry listed (trimmed): " + Quote(Abbreviated(name)));
    }
    for (const auto& entry : unlisted) {
        const bool absent = !entry.displayName || list.IndexOf(Trimmed(*entry.displayName)) < 0;
        checks.Check(absent, L"entry not listed: " + Abbreviated(entry.keyName));
    }
    CheckSorted(checks, lines);
    CheckRegistryAfter(checks, registry, L"start-up changes nothing in the registry");
    CheckLayout(checks, main);

    // A selected line shows its command line, trimmed; another replaces it.
    const struct {
        const wchar_t* line;
        const wchar_t* command;
        const wchar_t* what;
    } selections[] = {
        {L"VelmoraE2E Padded", L"\"Z:\\velmora-e2e\\padded\\uninst.exe\" /x",
         L"selecting a line shows its command line without the spaces around it"},
        {L"VelmoraE2E サンプル表計算ソフト 2.0", L"Z:\\velmora-e2e\\表計算\\アンインストール.exe",
         L"selecting another line replaces it, Japanese text intact"},
        {L"VelmoraE2E User Tool", L"\"Z:\\velmora-e2e\\user tool\\uninst.exe\" /remove",
         L"a line from HKCU shows its own command line"},
    };
    for (const auto& selection : selections) {
        const bool shown =
            SelectLine(main, selection.line) && WaitForCommandText(main, selection.command);
        checks.Check(shown, selection.what, L"the box shows " + Quote(TextOf(main.commandText)));
    }
    checks.Check(WriteScreenshot(main.window, environment.outputDirectory + L"\\e2e-main.bmp"),
                 L"a screenshot of the main window is written");

    // Alt+U rescans: an entry added meanwhile appears, the box is emptied.
    seed.Add(
        {Root::kUser, L"AddedLater", L"VelmoraE2E Added Later", L"Z:\\velmora-e2e\\later.exe"});
    const auto beforeRefresh = TakeRegistrySnapshot();
    checks.Check(PressKeys(main.window, {VK_MENU, 'U'}), L"Alt+U can be typed");
    checks.Check(WaitUntil([&] { return list.IndexOf(L"VelmoraE2E Added Later") >= 0; }),
                 L"Alt+U rescans: the entry added meanwhile is listed");
    checks.Check(WaitForCommandText(main, L"") && list.Selected() == -1,
                 L"after the rescan the command-line box is empty and no line is selected");
    CheckRegistryAfter(checks, beforeRefresh, L"Alt+U changes nothing in the registry");

    // Enter and Escape on the focused list change nothing.
    checks.Require(SelectLine(main, L"VelmoraE2E Machine Tool"), L"a line can be selected");
    const std::wstring shown = L"Z:\\velmora-e2e\\machine\\uninst.exe /S";
    checks.Check(WaitForCommandText(main, shown) &&
                     WaitUntil([&] { return FocusOf(main.window) == main.list; }),
                 L"a click on a line puts the focus in the list");
    const auto before = list.Lines();
    for (const auto& [key, name] : {std::pair<WORD, const wchar_t*>{VK_RETURN, L"Enter"},
                                    std::pair<WORD, const wchar_t*>{VK_ESCAPE, L"Escape"}}) {
        checks.Check(PressKeys(main.window, {key}), std::wstring(name) + L" can be typed");
        const bool noBox = NoMessageBoxAppears(process);
        checks.Check(
            noBox && process.Running() && IsWindowVisible(main.window) && list.Lines() == before &&
                TextOf(main.commandText) == shown &&
                list.Selected() == list.IndexOf(L"VelmoraE2E Machine Tool"),
            std::wstring(name) + L" in the list does nothing",
            noBox ? L"the window, the list or the box changed" : L"a message box appeared");
    }

    // Tab walks the controls in their order and comes back to the list.
    const HWND tabOrder[] = {main.commandText, main.update, main.remove, main.run,
                             main.version,     main.end,    main.list};
    const wchar_t* tabNames[] = {
        L"the command-line box", L"the refresh button", L"the delete button", L"the run button",
        L"the version button",   L"the exit button",    L"the list"};
    for (size_t i = 0; i < std::size(tabOrder); ++i) {
        checks.Check(PressKeys(main.window, {VK_TAB}) &&
                         WaitUntil([&] { return FocusOf(main.window) == tabOrder[i]; }, 1s),
                     L"Tab moves the focus to " + std::wstring(tabNames[i]));
    }

    // Enter presses the button that holds the focus: Tab, Tab, Enter refreshes.
    checks.Check(PressKeys(main.window, {VK_TAB}) && PressKeys(main.window, {VK_TAB}) &&
                     WaitUntil([&] { return FocusOf(main.window) == main.update; }, 1s) &&
                     PressKeys(main.window, {VK_RETURN}) && WaitForCommandText(main, L"") &&
                     NoMessageBoxAppears(process),
                 L"Enter on the focused refresh button rescans");
}

}  // namespace velmora::e2e
