#include "scenarios.h"

namespace velmora::e2e {

void BothViewsScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry only64{Root::kMachine, L"View64Only", L"VelmoraE2E 64-bit View Tool",
                           L"Z:\\velmora-e2e\\view64\\uninst.exe"};
    const SeedEntry only32{Root::kMachine32, L"View32Only", L"VelmoraE2E 32-bit View Tool",
                           L"Z:\\velmora-e2e\\view32\\uninst.exe"};
    // The same key name and display name in both views: only the view tells
    // the two apart.
    const std::wstring twin = L"VelmoraE2E View Twin";
    const SeedEntry twin64{Root::kMachine, L"ViewTwin", twin, L"Z:\\twin\\x64\\uninst.exe"};
    const SeedEntry twin32{Root::kMachine32, L"ViewTwin", twin, L"Z:\\twin\\x86\\uninst.exe"};
    for (const auto& entry : {only64, only32, twin64, twin32}) seed.Add(entry);
    checks.Require(!OpenUninstallKey(Root::kMachine, SeedKeyName(only32.keyName)),
                   L"the machine root has a 32-bit view of its own");
    const Session s(checks, environment);

    checks.Check(s.Select(*only64.displayName, *only64.uninstallString) &&
                     s.Select(*only32.displayName, *only32.uninstallString),
                 L"an entry of each view is listed with its command line");
    checks.Check(s.Select(twin, *twin64.uninstallString) && s.Select(twin, *twin32.uninstallString),
                 L"a same-named entry in each view: two lines, each with its own command line");
    // Deleting the 32-bit one's line removes its key in that view only.
    s.DeleteSelected(twin, twin32.root, twin32.keyName);
}

}  // namespace velmora::e2e
