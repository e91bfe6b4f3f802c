#include <functional>

#include "registry_seed.h"
#include "scenarios.h"
#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

constexpr int kArmedRescans = 5;

// Starts an entry's uninstaller by `start` and follows it: the fake
// uninstaller removes the entry's key after half a second, and one of the
// next repaints drops the line.
void RunAndWatch(Checks& checks, const VelmoraProcess& process, const MainWindow& main,
                 const SeedEntry& entry, const std::wstring& how,
                 const std::function<void()>& start) {
    const ListView list(main.list);
    const std::wstring name = *entry.displayName;
    checks.Require(SelectLine(main, name), how + L": the line can be selected");
    const auto registry = TakeRegistrySnapshot();
    start();
    Sleep(1500);
    checks.Check(MessageBoxesOf(process.Id()).empty(), how + L": no message box appears");
    checks.Check(
        WaitUntil([&] { return !UninstallKeyExists(entry.root, SeedKeyName(entry.keyName)); }),
        how + L": the uninstaller was started with its arguments and removed its key");
    int repaints = 0;
    while (list.IndexOf(name) >= 0 && repaints < kArmedRescans) {
        ForceRepaint(main.window);
        ++repaints;
    }
    checks.Check(list.IndexOf(name) < 0,
                 how + L": the line is gone within the five rescans armed by the start",
                 L"still listed after " + std::to_wstring(repaints) + L" forced repaints");
    checks.Note(L"      (" + std::to_wstring(repaints) + L" forced repaints were needed)");
    CheckRegistryAfter(
        checks, registry,
        how + L": the key the uninstaller removed is the only change to the registry",
        SnapshotPath(entry.root, SeedKeyName(entry.keyName)));
}

}  // namespace

void RunUninstallerScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry byButton{Root::kUser, L"RunByButton", L"VelmoraE2E Run By Button",
                             FakeUninstallCommand(environment, Root::kUser, L"RunByButton")};
    const SeedEntry byDoubleClick{
        Root::kMachine, L"RunByDoubleClick", L"VelmoraE2E Run By Double Click",
        FakeUninstallCommand(environment, Root::kMachine, L"RunByDoubleClick")};
    const SeedEntry missing{Root::kMachine, L"MissingProgram", L"VelmoraE2E Missing Program",
                            L"\"Z:\\velmora-e2e-missing\\uninstall.exe\" /S"};
    for (const auto& entry : {byButton, byDoubleClick, missing}) seed.Add(entry);

    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);

    // Nothing selected: Alt+R asks for a selection first.
    checks.Check(list.Selected() == -1, L"no line is selected at start-up");
    checks.Check(PressKeys(main.window, {VK_MENU, 'R'}), L"Alt+R can be typed");
    ExpectNotice(checks, process, kSelectFirstMessage, L"run without a selection");

    // The run button, then a double click on a line.
    RunAndWatch(checks, process, main, byButton, L"run button", [&] { PostButtonClick(main.run); });
    RunAndWatch(checks, process, main, byDoubleClick, L"double click", [&] {
        PostDoubleClickOnLine(main.list, list.IndexOf(*byDoubleClick.displayName));
    });

    // Once the armed rescans are spent, a repaint no longer rescans.
    for (int i = 0; i < kArmedRescans; ++i) {
        ForceRepaint(main.window);
        Settle(50ms);
    }
    seed.Add({Root::kUser, L"AfterCountdown", L"VelmoraE2E After Countdown",
              L"Z:\\velmora-e2e\\after.exe"});
    ForceRepaint(main.window);
    ForceRepaint(main.window);
    Settle();
    checks.Check(list.IndexOf(L"VelmoraE2E After Countdown") < 0,
                 L"after the five armed rescans a repaint rescans no more");
    checks.Check(PressKeys(main.window, {VK_MENU, 'U'}) &&
                     WaitUntil([&] { return list.IndexOf(L"VelmoraE2E After Countdown") >= 0; }),
                 L"the entry added after the countdown is listed after a refresh");

    // A command line whose program does not exist.
    checks.Require(SelectLine(main, *missing.displayName),
                   L"the missing program's line can be selected");
    PostButtonClick(main.run);
    ExpectNotice(checks, process, kBadProgramMessage, L"run of a program that does not exist");
    checks.Check(process.Running() && list.IndexOf(*missing.displayName) >= 0,
                 L"after that message the program goes on and the line stays");
}

}  // namespace velmora::e2e
