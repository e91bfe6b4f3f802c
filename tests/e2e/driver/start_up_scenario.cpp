#include <algorithm>
#include <utility>
#include <vector>

#include "scenarios.h"
#include "screenshot.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {
namespace {}  // namespace

void StartUpAndBrowsingScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    std::vector<std::wstring> expected = ListableNames();
    for (const SeedEntry& entry : std::initializer_list<SeedEntry>{
             {Root::kMachine, L"MachineTool", L"VelmoraE2E Machine Tool",
              L"Z:\\velmora-e2e\\machine\\uninst.exe /S"},
             {Root::kUser, L"UserTool", L"VelmoraE2E User Tool",
              L"\"Z:\\velmora-e2e\\user tool\\uninst.exe\" /remove"},
             {Root::kUser, L"Japanese", L"VelmoraE2E サンプル表計算ソフト 2.0",
              L"Z:\\velmora-e2e\\表計算\\アンインストール.exe"},
             {Root::kMachine, L"Padded", L"   VelmoraE2E Padded   ",
              L"   \"Z:\\velmora-e2e\\padded\\uninst.exe\" /x   "},
             {Root::kMachine, L"LowerCase", L"velmoraE2E lower case", L"Z:\\velmora-e2e\\lc.exe"},
             {Root::kUser, L"Digits", L"1st VelmoraE2E Digits", L"Z:\\velmora-e2e\\digits.exe"}}) {
        seed.Add(entry);
        expected.push_back(ThroughCodePage(Trimmed(*entry.displayName)));
    }
    // Entries lacking a value, or with a blank one, are not listed.
    seed.Add({Root::kMachine, L"NoCommand", L"VelmoraE2E No Command", std::nullopt});
    seed.Add({Root::kUser, L"BlankCommand", L"VelmoraE2E Blank Command", L"    "});
    seed.Add({Root::kUser, L"NoName", std::nullopt, L"Z:\\velmora-e2e\\noname.exe"});

    const Session s(checks, environment);
    const MainWindow& main = s.main;
    CheckCentred(checks, main.window, L"the main window is centred on the screen");
    checks.Check(
        WaitUntil([&] { return FocusOf(main.window) == main.list; }) && s.CommandText().empty(),
        L"at start-up the list holds the focus and the command-line box is empty");
    const auto lines = s.list.Lines();
    checks.Check(std::ranges::is_permutation(lines, expected),
                 L"the list holds every entry with both values from both roots, trimmed, "
                 L"and nothing else",
                 L"it holds " + Describe(lines));
    const auto disorder = std::ranges::adjacent_find(
        lines, [](const auto& a, const auto& b) { return lstrcmpiW(a.c_str(), b.c_str()) > 0; });
    checks.Check(disorder == lines.end(), L"the lines are in alphabetical order",
                 disorder == lines.end() ? L"" : Quote(*disorder) + L" comes too early");
    CheckLayout(checks, main.window, 8745, 4140,
                {{main.list, L"the list", BoxFromTwips(120, 360, 6435, 2940)},
                 {main.update, L"the refresh button", BoxFromTwips(6780, 840, 1875, 375)},
                 {main.remove, L"the delete button", BoxFromTwips(6780, 1320, 1875, 375)},
                 {main.run, L"the run button", BoxFromTwips(6780, 1800, 1875, 375)},
                 {main.version, L"the version button", BoxFromTwips(6780, 2460, 1875, 375)},
                 {main.end, L"the exit button", BoxFromTwips(6780, 2940, 1875, 375)},
                 {main.image, L"the icon picture", BoxFromTwips(8100, 120, 480, 480)},
                 {main.commandText, L"the command-line box", BoxFromTwips(120, 3660, 8475, 375)}});
    CheckLabel(checks, main.listLabel, main.window, 120, 120);
    CheckLabel(checks, main.commandLabel, main.window, 120, 3420);

    // A selected line shows its command line, trimmed; another replaces it.
    checks.Check(s.Select(L"VelmoraE2E Padded", L"\"Z:\\velmora-e2e\\padded\\uninst.exe\" /x"),
                 L"selecting a line shows its command line without the spaces around it",
                 L"the box shows " + Quote(s.CommandText()));
    // Japanese text intact under code page 932, as '?' under 1252.
    checks.Check(s.Select(ThroughCodePage(L"VelmoraE2E サンプル表計算ソフト 2.0"),
                          ThroughCodePage(L"Z:\\velmora-e2e\\表計算\\アンインストール.exe")),
                 L"selecting another line (of HKCU) replaces it, Japanese text as the code page "
                 L"gives it",
                 L"the box shows " + Quote(s.CommandText()));
    checks.Check(WriteScreenshot(main.window, environment.outputDirectory + L"\\e2e-main.bmp"),
                 L"a screenshot of the main window is written");

    // Alt+U rescans: an entry added meanwhile appears, the box is emptied.
    seed.Add({Root::kUser, L"AddedLater", L"VelmoraE2E Added Later", L"Z:\\later.exe"});
    const auto beforeRefresh = TakeRegistrySnapshot();
    checks.Check(PressKeys(main.window, {VK_MENU, 'U'}) &&
                     WaitUntil([&] { return s.list.IndexOf(L"VelmoraE2E Added Later") >= 0; }) &&
                     s.WaitForCommandText(L"") && s.list.Selected() == -1,
                 L"Alt+U rescans: the entry added meanwhile is listed, no line is selected "
                 L"and the command-line box is empty");
    CheckRegistryAfter(checks, beforeRefresh, L"Alt+U changes nothing in the registry");

    // Enter and Escape on the focused list change nothing.
    const std::wstring shown = L"Z:\\velmora-e2e\\machine\\uninst.exe /S";
    checks.Require(s.Select(L"VelmoraE2E Machine Tool", shown) &&
                       WaitUntil([&] { return FocusOf(main.window) == main.list; }),
                   L"a click on a line selects it and puts the focus in the list");
    const auto before = s.list.Lines();
    const int selected = s.list.Selected();
    for (const WORD key : {VK_RETURN, VK_ESCAPE}) {
        checks.Check(
            PressKeys(main.window, {key}) && s.NoMessageBoxAppears() && s.Running() &&
                IsWindowVisible(main.window) && s.list.Lines() == before &&
                s.CommandText() == shown && s.list.Selected() == selected,
            (key == VK_RETURN ? L"Enter" : L"Escape") + std::wstring(L" in the list does nothing"));
    }

    // Tab walks the controls in their order and comes back to the list.
    std::wstring walked;
    for (HWND next : {main.commandText, main.update, main.remove, main.run, main.version, main.end,
                      main.list}) {
        const bool moved = PressKeys(main.window, {VK_TAB}) &&
                           WaitUntil([&] { return FocusOf(main.window) == next; });
        walked += moved ? L"+" : L"-";
    }
    checks.Check(walked == L"+++++++",
                 L"Tab moves the focus to the text box, the five buttons in order and the list",
                 L"steps reached (+) or missed (-): " + walked);

    // Enter presses the button that holds the focus: Tab, Tab, Enter refreshes.
    checks.Check(PressKeys(main.window, {VK_TAB}) && PressKeys(main.window, {VK_TAB}) &&
                     WaitUntil([&] { return FocusOf(main.window) == main.update; }) &&
                     PressKeys(main.window, {VK_RETURN}) && s.WaitForCommandText(L"") &&
                     s.NoMessageBoxAppears(),
                 L"Enter on the focused refresh button rescans");
}

}  // namespace velmora::e2e
