// velmora_e2e: works velmora.exe from outside as a user would, under Wine.
// Run without arguments for every scenario, or name scenarios to run.
#include <windows.h>

#include <exception>
#include <string>

#include "checks.h"
#include "scenarios.h"
#include "velmora_process.h"

namespace {

using velmora::e2e::Checks;
using velmora::e2e::Environment;

struct Scenario {
    const wchar_t* name;
    void (*run)(Checks&, const Environment&);
};

constexpr Scenario kScenarios[] = {
    {L"start-up", velmora::e2e::StartUpAndBrowsingScenario},
    {L"run", velmora::e2e::RunUninstallerScenario},
    {L"delete", velmora::e2e::DeleteEntryScenario},
    {L"views", velmora::e2e::BothViewsScenario},
    {L"odd-values", velmora::e2e::OddValuesScenario},
    {L"version", velmora::e2e::VersionDialogScenario},
    {L"ending", velmora::e2e::EndingScenario},
    {L"large", velmora::e2e::LargeRegistryScenario},
    {L"timing", velmora::e2e::TimingScenario},
};

bool Chosen(const Scenario& scenario, int argc, wchar_t** argv) {
    if (argc <= 1) return true;
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == scenario.name) return true;
    }
    return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace velmora::e2e;
    const Environment environment{WindowsPath(VELMORA_E2E_PROGRAM),
                                  WindowsPath(VELMORA_E2E_FAKE_UNINSTALLER),
                                  WindowsPath(VELMORA_E2E_OUTPUT_DIR)};
    // No crash dialog for the driver or, as the mode is inherited, for the
    // program: a crash ends the process and fails the checks at once.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    Checks checks;
    for (const auto& scenario : kScenarios) {
        if (!Chosen(scenario, argc, argv)) continue;
        checks.Note(std::wstring(L"== ") + scenario.name);
        try {
            scenario.run(checks, environment);
        } catch (const ScenarioAborted&) {
            checks.Note(L"   (the rest of this scenario was skipped)");
        } catch (const std::exception& error) {
            checks.Check(false, std::wstring(scenario.name) + L" ran to its end",
                         FromUtf8(error.what()));
        }
    }
    PrintLine(std::to_wstring(checks.Passed()) + L" passed, " + std::to_wstring(checks.Failed()) +
              L" failed");
    return checks.Failed() == 0 ? 0 : 1;
}
