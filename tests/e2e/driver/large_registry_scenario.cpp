#include <algorithm>
#include <cstdio>
#include <optional>

#include "registry_seed.h"
#include "scenarios.h"
#include "user_input.h"
#include "wait.h"
#include "window_queries.h"

namespace velmora::e2e {
namespace {

constexpr int kManyKeys = 10000;

std::vector<std::wstring> Sorted(std::vector<std::wstring> lines) {
    std::ranges::sort(lines);
    return lines;
}

std::wstring ManyKeyName(int i) {
    wchar_t number[8];
    std::swprintf(number, 8, L"%05d", i);
    return std::wstring(L"Many") + number;
}

// What the program can list: the listable entries among the first subkeys of
// the machine's 64-bit view, which it reads first and which fill the table.
std::vector<std::wstring> FirstMachineEntries() {
    return Sorted(ListableNames(Root::kMachine, kTableSlots));
}

}  // namespace

void LargeRegistryScenario(Checks& checks, const Environment& environment) {
    std::optional<RegistrySeed> seed(std::in_place);
    const auto seeding = std::chrono::steady_clock::now();
    for (int i = 0; i < kManyKeys; ++i) {
        seed->Add({Root::kMachine, ManyKeyName(i), L"VelmoraE2E Many " + ManyKeyName(i).substr(4),
                   L"Z:\\velmora-e2e\\many\\" + ManyKeyName(i) + L".exe"});
    }
    checks.Note(L"timing seed_10000_keys_ms " + std::to_wstring(MillisecondsSince(seeding)));
    // Beyond a full table: no pass after the first may list these.
    seed->Add({Root::kMachine32, L"Beyond32", L"VelmoraE2E Beyond 32-bit", L"Z:\\beyond32.exe"});
    seed->Add({Root::kUser, L"BeyondUser", L"VelmoraE2E Beyond User", L"Z:\\beyond-user.exe"});
    auto expected = FirstMachineEntries();
    {
        const auto started = std::chrono::steady_clock::now();
        VelmoraProcess process(environment.program);
        const MainWindow main = RequireMainWindow(checks, process);
        const ListView list(main.list);
        const bool listed =
            WaitUntil([&] { return list.Count() == static_cast<int>(expected.size()); }, 20s);
        checks.Note(L"timing start_to_list_of_10000_keys_ms " +
                    std::to_wstring(MillisecondsSince(started)));
        checks.Check(
            listed && Sorted(list.Lines()) == expected && MessageBoxesOf(process.Id()).empty(),
            L"10,000 machine subkeys: the first 257 are listed, nothing more, no message",
            L"the list holds " + std::to_wstring(list.Count()) + L" lines, expected " +
                std::to_wstring(expected.size()));

        // A listed key goes away; Alt+U lists the next subkey in its place.
        checks.Require(SelectLine(main, list.Line(0)) &&
                           WaitUntil([&] { return !TextOf(main.commandText).empty(); }),
                       L"a line of the full list can be selected");
        checks.Require(RemoveUninstallKey(Root::kMachine, SeedKeyName(ManyKeyName(0))),
                       L"a listed key is removed by another program");
        expected = FirstMachineEntries();
        const auto rescan = std::chrono::steady_clock::now();
        checks.Check(PressKeys(main.window, {VK_MENU, 'U'}) &&
                         WaitUntil(
                             [&] {
                                 return TextOf(main.commandText).empty() &&
                                        Sorted(list.Lines()) == expected;
                             },
                             20s),
                     L"10,000 machine subkeys: Alt+U rescans, the next subkey takes the place "
                     L"of the removed one");
        checks.Note(L"timing rescan_of_10000_keys_ms " +
                    std::to_wstring(MillisecondsSince(rescan)));
    }
    const auto removal = std::chrono::steady_clock::now();
    seed.reset();
    checks.Note(L"timing remove_10000_keys_ms " + std::to_wstring(MillisecondsSince(removal)));
}

}  // namespace velmora::e2e
