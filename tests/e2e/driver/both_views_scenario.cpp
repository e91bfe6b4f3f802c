#include <algorithm>

#include "registry_seed.h"
#include "scenarios.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {

void BothViewsScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry only64{Root::kMachine, L"View64Only", L"VelmoraE2E 64-bit View Tool",
                           L"Z:\\velmora-e2e\\view64\\uninst.exe"};
    const SeedEntry only32{Root::kMachine32, L"View32Only", L"VelmoraE2E 32-bit View Tool",
                           L"Z:\\velmora-e2e\\view32\\uninst.exe"};
    // The same key name and display name in both views: only the view tells
    // the two apart.
    const std::wstring twinName = L"VelmoraE2E View Twin";
    const SeedEntry twin64{Root::kMachine, L"ViewTwin", twinName,
                           L"Z:\\velmora-e2e\\twin\\x64\\uninst.exe"};
    const SeedEntry twin32{Root::kMachine32, L"ViewTwin", twinName,
                           L"Z:\\velmora-e2e\\twin\\x86\\uninst.exe"};
    for (const auto& entry : {only64, only32, twin64, twin32}) seed.Add(entry);
    checks.Require(!UninstallKeyExists(Root::kMachine, SeedKeyName(only32.keyName)),
                   L"the machine root has a 32-bit view of its own");

    VelmoraProcess process(environment.program);
    const MainWindow main = RequireMainWindow(checks, process);
    const ListView list(main.list);
    for (const auto& entry : {only64, only32}) {
        checks.Check(SelectLine(main, *entry.displayName) &&
                         WaitForCommandText(main, *entry.uninstallString),
                     L"listed with its command line: the entry of the " +
                         std::wstring(entry.root == Root::kMachine ? L"64" : L"32") + L"-bit view");
    }
    checks.Check(SelectLineShowing(main, twinName, *twin64.uninstallString) >= 0 &&
                     SelectLineShowing(main, twinName, *twin32.uninstallString) >= 0,
                 L"a same-named entry in each view: two lines, each with its own command line");

    // Deleting the 32-bit one's line removes its key in that view only.
    const auto registry = TakeRegistrySnapshot();
    checks.Require(SelectLineShowing(main, twinName, *twin32.uninstallString) >= 0,
                   L"the 32-bit twin's line is selected");
    checks.Require(DeleteSelectedLine(process, main, twinName),
                   L"delete of the 32-bit twin: asked and answered Yes");
    checks.Check(WaitUntil([&] {
                     const auto lines = list.Lines();
                     return std::count(lines.begin(), lines.end(), twinName) == 1;
                 }) &&
                     NoMessageBoxAppears(process),
                 L"delete of the 32-bit twin: no message, one twin line stays");
    CheckRegistryAfter(checks, registry,
                       L"delete of the 32-bit twin: its key in the 32-bit view is the only change",
                       SnapshotPath(twin32.root, SeedKeyName(twin32.keyName)));
    checks.Check(SelectLineShowing(main, twinName, *twin64.uninstallString) >= 0,
                 L"the twin line that stays shows the 64-bit entry's command line");
}

}  // namespace velmora::e2e
