#include <algorithm>

#include "registry_seed.h"
#include "scenarios.h"
#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

// Selects the line, starts the delete command and checks the question.
// Returns the question's box, or null when it did not appear.
HWND AskToDelete(Checks& checks, const VelmoraProcess& process, const MainWindow& main,
                 const std::wstring& line, bool byKeyboard) {
    checks.Require(SelectLine(main, line), L"the line " + Quote(line) + L" can be selected");
    if (byKeyboard) {
        checks.Check(PressKeys(main.window, {VK_MENU, 'D'}), L"Alt+D can be typed");
    } else {
        PostButtonClick(main.remove);
    }
    const HWND box = WaitForMessageBox(process.Id());
    checks.Require(box != nullptr, L"delete " + Quote(line) + L": the question appears");
    const std::wstring question = DeleteQuestion(line);
    const std::wstring shown = MessageBoxText(box);
    checks.Check(shown == question, L"delete: the question reads " + Quote(question),
                 L"it reads " + Quote(shown));
    checks.Check(HasVisibleButton(box, IDYES) && HasVisibleButton(box, IDNO) &&
                     !HasVisibleButton(box, IDOK) && HasIcon(box),
                 L"delete: the question has Yes and No buttons and an icon");
    return box;
}

}  // namespace

void DeleteEntryScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry stale{Root::kMachine, L"Stale", L"VelmoraE2E Stale Tool",
                          L"Z:\\velmora-e2e-missing\\stale\\uninstall.exe"};
    const SeedEntry withSubkeys{Root::kUser, L"WithSubkeys", L"VelmoraE2E Has Subkeys",
                                L"Z:\\velmora-e2e-missing\\subkeys\\uninstall.exe"};
    const SeedEntry twinMachine{Root::kMachine, L"TwinMachine", L"VelmoraE2E Twin",
                                L"Z:\\velmora-e2e-missing\\twin\\machine.exe"};
    const SeedEntry twinUser{Root::kUser, L"TwinUser", L"VelmoraE2E Twin",
                             L"Z:\\velmora-e2e-missing\\twin\\user.exe"};
    for (const auto& entry : {stale, withSubkeys, twinMachine, twinUser}) seed.Add(entry);
    seed.AddSubkey(withSubkeys.root, withSubkeys.keyName, L"Components");

    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);
    const std::wstring staleKey = SeedKeyName(stale.keyName);

    // No keeps everything.
    const auto before = list.Lines();
    auto registry = TakeRegistrySnapshot();
    HWND box = AskToDelete(checks, process, main, *stale.displayName, false);
    checks.Check(AnswerMessageBox(box, IDNO), L"delete: No closes the question");
    checks.Check(NoMessageBoxAppears(process) && UninstallKeyExists(stale.root, staleKey) &&
                     list.Lines() == before,
                 L"delete, answered No: no further message, the key and the line stay");
    CheckRegistryAfter(checks, registry, L"delete, answered No: the registry is unchanged");

    // Yes removes the key and the line.
    registry = TakeRegistrySnapshot();
    box = AskToDelete(checks, process, main, *stale.displayName, true);
    checks.Check(AnswerMessageBox(box, IDYES), L"delete: Yes closes the question");
    checks.Check(WaitUntil([&] { return list.IndexOf(*stale.displayName) < 0; }) &&
                     !UninstallKeyExists(stale.root, staleKey),
                 L"delete, answered Yes: the key is gone and so is its line");
    checks.Check(NoMessageBoxAppears(process) && TextOf(main.commandText).empty(),
                 L"delete, answered Yes: no further message, the box is emptied");
    CheckRegistryAfter(checks, registry,
                       L"delete, answered Yes: that key is the only change to the registry",
                       SnapshotPath(stale.root, staleKey));

    // A key with subkeys of its own is refused by the registry.
    box = AskToDelete(checks, process, main, *withSubkeys.displayName, false);
    checks.Check(AnswerMessageBox(box, IDYES), L"delete of a key with subkeys: Yes");
    ExpectNotice(checks, process, kDeleteFailedMessage, L"delete of a key with subkeys");
    checks.Check(
        UninstallKeyExists(withSubkeys.root, SeedKeyName(withSubkeys.keyName)) &&
            WaitUntil([&] { return list.Selected() == -1 && TextOf(main.commandText).empty(); }) &&
            list.IndexOf(*withSubkeys.displayName) >= 0,
        L"delete of a key with subkeys: the key stays, the list is rescanned and "
        L"still shows it");

    // Two entries of the same name: each line stands for its own entry.
    const int machineLine =
        SelectLineShowing(main, L"VelmoraE2E Twin", *twinMachine.uninstallString);
    const int userLine = SelectLineShowing(main, L"VelmoraE2E Twin", *twinUser.uninstallString);
    checks.Check(machineLine >= 0 && userLine >= 0 && machineLine != userLine,
                 L"two lines of the same name show their own entries' command lines",
                 L"HKLM entry on line " + std::to_wstring(machineLine) + L", HKCU entry on line " +
                     std::to_wstring(userLine));
    if (userLine >= 0) {
        PostClickOnLine(main.list, userLine);
        checks.Check(WaitForCommandText(main, *twinUser.uninstallString),
                     L"the HKCU twin's line is selected");
        PostButtonClick(main.remove);
        box = WaitForMessageBox(process.Id());
        checks.Require(box != nullptr && MessageBoxText(box) == DeleteQuestion(L"VelmoraE2E Twin"),
                       L"delete of the HKCU twin: the question appears");
        checks.Check(AnswerMessageBox(box, IDYES), L"delete of the HKCU twin: Yes");
        checks.Check(WaitUntil([&] {
                         return !UninstallKeyExists(twinUser.root, SeedKeyName(twinUser.keyName));
                     }) &&
                         UninstallKeyExists(twinMachine.root, SeedKeyName(twinMachine.keyName)),
                     L"deleting the HKCU twin's line removes that key and keeps the HKLM twin's");
        checks.Check(
            WaitUntil([&] {
                const auto lines = list.Lines();
                return std::count(lines.begin(), lines.end(), L"VelmoraE2E Twin") == 1;
            }) &&
                SelectLineShowing(main, L"VelmoraE2E Twin", *twinMachine.uninstallString) >= 0,
            L"one twin line stays and shows the HKLM entry's command line");
    }
}

}  // namespace velmora::e2e
