#include <fstream>
#include <iterator>

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

// What the fake uninstaller wrote of its own elevation, or why there is
// nothing to read.
std::wstring ReadElevationRecord(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    return in ? std::wstring(text.begin(), text.end()) : L"(no record)";
}

// Starts an entry's uninstaller by the run button or a double click and
// follows it: the fake uninstaller, which shows no window, removes the keys
// of its unlisted parts, then the entry's own, and the line drops by itself:
// nothing repaints the main window and no button is pressed.  The
// uninstaller of a user's entry runs unelevated, a machine entry's with the
// program's rights: elevated, as everything is under Wine and an
// administrator's program is on Windows.
void RunAndWatch(const Session& s, const Environment& environment, const SeedEntry& entry,
                 bool byDoubleClick, int parts = 0) {
    const std::wstring& name = *entry.displayName;
    const std::wstring how = byDoubleClick ? L"double click" : L"run button";
    const std::wstring record =
        environment.fakeUninstaller.substr(0, environment.fakeUninstaller.rfind(L'\\') + 1) +
        SeedKeyName(entry.keyName) + L" elevation.txt";
    DeleteFileW(record.c_str());
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
    const std::wstring expected = entry.root == Root::kUser ? L"not elevated" : L"elevated";
    const std::wstring seen = ReadElevationRecord(record);
    s.checks.Check(seen == expected, how + L": the uninstaller ran " + expected, seen);
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

    // Nothing selected: the run button asks for a selection first.
    checks.Check(s.list.Selected() == -1, L"no line is selected at start-up");
    PostButtonClick(s.main.run);
    s.ExpectNotice(kSelectFirstMessage, L"run without a selection");

    RunAndWatch(s, environment, byButton, false);
    RunAndWatch(s, environment, byDoubleClick, true, 6);

    // A command line whose program does not exist.
    checks.Require(s.Select(*missing.displayName), L"the missing program's line can be selected");
    PostButtonClick(s.main.run);
    s.ExpectNotice(kBadProgramMessage, L"run of a program that does not exist");
    checks.Check(s.Running() && s.list.IndexOf(*missing.displayName) >= 0,
                 L"after that message the program goes on and the line stays");
    // Real keys last: where the system keeps the window from the foreground,
    // they end the scenario.
    checks.Check(s.Select(*missing.displayName) && PressKeys(s.main.window, {VK_MENU, 'R'}),
                 L"with the line selected again, Alt+R can be typed");
    s.ExpectNotice(kBadProgramMessage, L"Alt+R runs the selected line's command");
}

}  // namespace velmora::e2e
