#include <algorithm>
#include <cstdio>

#include "scenarios.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {
namespace {

std::wstring ManyNumber(int i) {
    wchar_t number[8];
    std::swprintf(number, 8, L"%05d", i);
    return number;
}

}  // namespace

void LargeRegistryScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    for (int i = 0; i < 10000; ++i) {
        seed.Add({Root::kMachine, L"Many" + ManyNumber(i), L"VelmoraE2E Many " + ManyNumber(i),
                  L"Z:\\many.exe"});
    }
    // Beyond a full table: no pass after the first may list these.
    seed.Add({Root::kMachine32, L"Beyond32", L"VelmoraE2E Beyond 32-bit", L"Z:\\beyond32.exe"});
    seed.Add({Root::kUser, L"BeyondUser", L"VelmoraE2E Beyond User", L"Z:\\beyond-user.exe"});
    // What the program can list: the listable entries among the first
    // subkeys of the machine's 64-bit view, which it reads first and which
    // fill the table.
    auto expected = ListableNames(Root::kMachine, kTableSlots);
    const auto listsExpected = [&](const Session& s) {
        return std::ranges::is_permutation(s.list.Lines(), expected);
    };

    const Session s(checks, environment);
    checks.Check(WaitUntil([&] { return listsExpected(s); }, 20s) && s.MessageBoxes().empty(),
                 L"10,000 machine subkeys: the first 257 are listed, nothing more, no message",
                 L"the list holds " + std::to_wstring(s.list.Count()) + L" lines, expected " +
                     std::to_wstring(expected.size()));

    // A listed key goes away; Alt+U lists the next subkey in its place.
    checks.Require(s.Select(s.list.Line(0)) && WaitUntil([&] { return !s.CommandText().empty(); }),
                   L"a line of the full list can be selected");
    checks.Require(RemoveUninstallKey(Root::kMachine, SeedKeyName(L"Many" + ManyNumber(0))),
                   L"a listed key is removed by another program");
    expected = ListableNames(Root::kMachine, kTableSlots);
    checks.Check(
        PressKeys(s.main.window, {VK_MENU, 'U'}) &&
            WaitUntil([&] { return s.CommandText().empty() && listsExpected(s); }, 20s),
        L"10,000 machine subkeys: Alt+U rescans, the next subkey takes the removed one's place");
}

}  // namespace velmora::e2e
