// velmora_e2e: works velmora.exe from outside as a user would, under Wine.
// Run without arguments for every scenario, or name scenarios to run.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "scenarios.h"

namespace {

// A path the build gives in Unix form, as a Windows path (Wine maps the Unix
// root to drive Z:).
std::wstring WindowsPath(std::string_view buildPath) {
    std::wstring path = velmora::e2e::FromUtf8(buildPath);
    std::ranges::replace(path, L'/', L'\\');
    return path.starts_with(L"\\") ? L"Z:" + path : path;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace velmora::e2e;
    // A second run beside the first names a folder of its own.
    const char* const output = std::getenv("VELMORA_E2E_OUTPUT_DIR");
    const Environment environment{WindowsPath(VELMORA_E2E_PROGRAM),
                                  WindowsPath(VELMORA_E2E_FAKE_UNINSTALLER),
                                  WindowsPath(output ? output : VELMORA_E2E_OUTPUT_DIR),
                                  WindowsPath(VELMORA_E2E_NSIS_SETUP),
                                  WindowsPath(VELMORA_E2E_MSI_PACKAGE),
                                  WindowsPath(VELMORA_E2E_RECORDER)};
    const std::pair<const wchar_t*, void (*)(Checks&, const Environment&)> scenarios[] = {
        {L"start-up", StartUpAndBrowsingScenario},
        {L"run", RunUninstallerScenario},
        {L"delete", DeleteEntryScenario},
        {L"installers", RealInstallersScenario},
        {L"backup", BackupScenario},
        {L"views", BothViewsScenario},
        {L"odd-values", OddValuesScenario},
        {L"version", VersionDialogScenario},
        {L"high-dpi", HighDpiScenario},
        {L"ending", EndingScenario},
        {L"large", LargeRegistryScenario},
        {L"timing", TimingScenario}};
    const std::vector<std::wstring> chosen(argv + 1, argv + argc);
    // No crash dialog for the driver or, as the mode is inherited, for the
    // program: a crash ends the process and fails the checks at once.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    Checks checks;
    for (const auto& [name, run] : scenarios) {
        if (!chosen.empty() && std::ranges::find(chosen, name) == chosen.end()) continue;
        PrintLine(std::wstring(L"== ") + name);
        try {
            run(checks, environment);
        } catch (const ScenarioAborted&) {
            PrintLine(L"   (the rest of this scenario was skipped)");
        } catch (const ScenarioSkipped& skipped) {
            checks.Skip(std::wstring(name) + L", the rest: " + FromUtf8(skipped.what()));
        } catch (const std::exception& error) {
            checks.Check(false, std::wstring(name) + L" ran to its end", FromUtf8(error.what()));
        }
    }
    PrintLine(std::to_wstring(checks.Passed()) + L" passed, " + std::to_wstring(checks.Failed()) +
              L" failed, " + std::to_wstring(checks.Skipped()) + L" skipped");
    return checks.Failed() == 0 ? 0 : 1;
}
