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
    // More machine subkeys than the table of earlier versions held (257):
    // the passes after the first must still be read.
    for (int i = 0; i < 300; ++i) {
        seed.Add({Root::kMachine, L"Many" + ManyNumber(i), L"VelmoraE2E Many " + ManyNumber(i),
                  L"Z:\\many.exe"});
    }
    for (int i = 0; i < 3; ++i) {
        seed.Add({Root::kMachine32, L"After32-" + ManyNumber(i),
                  L"VelmoraE2E After 32-bit " + ManyNumber(i), L"Z:\\after32.exe"});
        seed.Add({Root::kUser, L"AfterUser" + ManyNumber(i),
                  L"VelmoraE2E After User " + ManyNumber(i), L"Z:\\after-user.exe"});
    }
    // Every listable entry of every root.
    auto expected = ListableNames();
    const auto listsExpected = [&](const Session& s) {
        return std::ranges::is_permutation(s.list.Lines(), expected);
    };

    const Session s(checks, environment);
    checks.Check(WaitUntil([&] { return listsExpected(s); }, 20s) && s.MessageBoxes().empty(),
                 L"300 machine subkeys, then the 32-bit and the user's: all listed, no message",
                 L"the list holds " + std::to_wstring(s.list.Count()) + L" lines, expected " +
                     std::to_wstring(expected.size()));

    // A listed key goes away; Alt+U lists the rest without it.
    checks.Require(s.Select(s.list.Line(0)) && WaitUntil([&] { return !s.CommandText().empty(); }),
                   L"a line of the long list can be selected");
    checks.Require(RemoveUninstallKey(Root::kMachine, SeedKeyName(L"Many" + ManyNumber(0))),
                   L"a listed key is removed by another program");
    expected = ListableNames();
    PostButtonClick(s.main.update);
    checks.Check(WaitUntil([&] { return s.CommandText().empty() && listsExpected(s); }, 20s),
                 L"300 machine subkeys: 表示更新 rescans, the removed one is gone, the rest stay");
}

}  // namespace velmora::e2e
