#include "scenarios.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

// The command line that makes the fake uninstaller remove a seeded key,
// after the keys of its parts (the key's name with .1, .2 and so on).
std::wstring FakeUninstallCommand(const Environment& environment, Root root,
                                  const std::wstring& keyName, int parts = 0) {
    return Quote(environment.fakeUninstaller) + (root == Root::kUser ? L" HKCU " : L" HKLM ") +
           SeedKeyName(keyName) + (parts > 0 ? L" " + std::to_wstring(parts) : L"");
}

// Starts an entry's uninstaller by the run button or a double click and
// follows it: the fake uninstaller, which shows no window, removes the keys
// of its unlisted parts, then the entry's own, and the line drops by itself:
// nothing repaints the main window and no button is pressed.
void RunAndWatch(const Session& s, const SeedEntry& entry, bool byDoubleClick, int parts = 0) {
    const std::wstring& name = *entry.displayName;
    const std::wstring how = byDoubleClick ? L"double click" : L"run button";
    s.checks.Require(s.Select(name), how + L": the line can be selected");
    auto registry = TakeRegistrySnapshot();
    for (int part = 1; part <= parts; ++part) {
        const std::wstring key = SeedKeyName(entry.keyName + L"." + std::to_wstring(part));
        registry = ExpectedAfter(registry, SnapshotPath(entry.root, key));
    }
    if (byDoubleClick) {
        PostClickOnLine(s.main.list, s.list.IndexOf(name), true);
    } else {
        PostButtonClick(s.main.run);
    }
    s.checks.Check(
        // A new process: on a cold machine its start alone can take as long as a
        // first window.
        WaitUntil([&] { return !OpenUninstallKey(entry.root, SeedKeyName(entry.keyName)); },
                  kFirstWindowTimeout) &&
            s.NoMessageBoxAppears(),
        how +
            L": the uninstaller was started with its arguments and removed its key, "
            L"no message");
    s.checks.Check(WaitUntil([&] { return s.list.IndexOf(name) < 0; }),
                   how + L": the windowless uninstaller's line drops by itself within 10 s",
                   L"still listed, selection " + std::to_wstring(s.list.Selected()));
    CheckRegistryAfter(s.checks, registry, how + L": the removed keys are the only change",
                       SnapshotPath(entry.root, SeedKeyName(entry.keyName)));
}

}  // namespace

void RunUninstallerScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry byButton{Root::kUser, L"RunByButton", L"VelmoraE2E Run By Button",
                             FakeUninstallCommand(environment, Root::kUser, L"RunByButton")};
    // A bundle: six parts the list does not show (a name, no command line)
    // go first, more than the rescans a start arms.
    const SeedEntry byDoubleClick{
        Root::kMachine, L"RunByDoubleClick", L"VelmoraE2E Run By Double Click",
        FakeUninstallCommand(environment, Root::kMachine, L"RunByDoubleClick", 6)};
    for (int part = 1; part <= 6; ++part) {
        seed.Add({Root::kMachine, L"RunByDoubleClick." + std::to_wstring(part), L"VelmoraE2E Part",
                  std::nullopt});
    }
    const SeedEntry missing{Root::kMachine, L"MissingProgram", L"VelmoraE2E Missing Program",
                            L"\"Z:\\velmora-e2e-missing\\uninstall.exe\" /S"};
    for (const auto& entry : {byButton, byDoubleClick, missing}) seed.Add(entry);
    const Session s(checks, environment);

    // Nothing selected: Alt+R asks for a selection first.
    checks.Check(s.list.Selected() == -1 && PressKeys(s.main.window, {VK_MENU, 'R'}),
                 L"no line is selected at start-up; Alt+R can be typed");
    s.ExpectNotice(kSelectFirstMessage, L"run without a selection");

    RunAndWatch(s, byButton, false);
    RunAndWatch(s, byDoubleClick, true, 6);

    // A command line whose program does not exist.
    checks.Require(s.Select(*missing.displayName), L"the missing program's line can be selected");
    PostButtonClick(s.main.run);
    s.ExpectNotice(kBadProgramMessage, L"run of a program that does not exist");
    checks.Check(s.Running() && s.list.IndexOf(*missing.displayName) >= 0,
                 L"after that message the program goes on and the line stays");
}

}  // namespace velmora::e2e
