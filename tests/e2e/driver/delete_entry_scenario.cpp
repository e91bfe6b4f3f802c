#include "scenarios.h"

namespace velmora::e2e {

void DeleteEntryScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const SeedEntry stale{Root::kMachine, L"Stale", L"VelmoraE2E Stale Tool",
                          L"Z:\\velmora-e2e-missing\\stale\\uninstall.exe"};
    const SeedEntry withSubkeys{Root::kUser, L"WithSubkeys", L"VelmoraE2E Has Subkeys",
                                L"Z:\\velmora-e2e-missing\\subkeys\\uninstall.exe"};
    const std::wstring twin = L"VelmoraE2E Twin";
    const SeedEntry twinMachine{Root::kMachine, L"TwinMachine", twin, L"Z:\\twin\\machine.exe"};
    const SeedEntry twinUser{Root::kUser, L"TwinUser", twin, L"Z:\\twin\\user.exe"};
    for (const auto& entry : {stale, withSubkeys, twinMachine, twinUser}) seed.Add(entry);
    seed.AddValue(withSubkeys.root, withSubkeys.keyName + L"\\Components", L"Note", REG_DWORD,
                  {1, 0, 0, 0});
    const Session s(checks, environment);

    // No keeps everything.
    const auto lines = s.list.Lines();
    auto registry = TakeRegistrySnapshot();
    checks.Require(s.Select(*stale.displayName), L"the stale entry's line can be selected");
    checks.Check(AnswerMessageBox(s.AskToDelete(*stale.displayName), IDNO) &&
                     s.NoMessageBoxAppears() && s.list.Lines() == lines,
                 L"delete, answered No: no further message, the lines stay");
    CheckRegistryAfter(checks, registry, L"delete, answered No: the registry is unchanged");

    // Yes removes the key and the line.
    s.DeleteSelected(*stale.displayName, stale.root, stale.keyName);

    // A key with subkeys of its own is refused by the registry.
    checks.Require(s.Select(*withSubkeys.displayName), L"the line with subkeys can be selected");
    s.DeleteFails(*withSubkeys.displayName, TakeRegistrySnapshot(), true);

    // Two entries of the same name: each line stands for its own entry. The
    // HKCU one, read after the HKLM one, is deleted (by Alt+D: real keys come
    // last, as they end the scenario where the window cannot have the
    // foreground): a lookup by name alone would find the other.
    checks.Require(
        s.Select(twin, *twinMachine.uninstallString) && s.Select(twin, *twinUser.uninstallString),
        L"two lines of the same name show their own entries' command lines");
    s.DeleteSelected(twin, twinUser.root, twinUser.keyName, true);
    checks.Check(s.Select(twin, *twinMachine.uninstallString),
                 L"the twin line that stays shows the HKLM entry's command line");
}

}  // namespace velmora::e2e
