#include <chrono>
#include <cstdio>
#include <string>

#include "scenarios.h"
#include "user_input.h"
#include "wait.h"

namespace velmora::e2e {

void EndingScenario(Checks& checks, const Environment& environment) {
    {
        const Session s(checks, environment);
        PostMessageW(s.main.window, WM_SYSCOMMAND, SC_CLOSE, 0);
        checks.Check(s.WaitForExit(), L"closing the window ends the program");
    }
    const Session s(checks, environment);
    checks.Check(PressKeys(s.main.window, {VK_MENU, 'E'}) && s.WaitForExit(),
                 L"Alt+E ends the program");
}

void TimingScenario(Checks& checks, const Environment& environment) {
    RegistrySeed seed;
    const int existing = static_cast<int>(ListableNames().size());
    if (existing >= kTimedEntries) {
        // A machine with programs installed (a Windows runner), not a fault.
        throw ScenarioSkipped("the registry already lists " + std::to_string(existing) +
                              " entries, more than are timed");
    }
    for (int i = 0; i < kTimedEntries - existing; ++i) {
        wchar_t number[8];
        std::swprintf(number, 8, L"%03d", i);
        seed.Add({Root::kMachine, std::wstring(L"Bulk") + number,
                  std::wstring(L"VelmoraE2E Bulk ") + number, L"Z:\\bulk.exe"});
    }

    // Prints the time since `start` as scripts/bench reads it ("TIME ...: N ms")
    // and as "timing NAME N".
    const auto report = [](std::chrono::steady_clock::time_point start, const wchar_t* text,
                           const wchar_t* name) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
        PrintLine(L"TIME  " + std::wstring(text) + L": " + std::to_wstring(ms) + L" ms");
        PrintLine(L"timing " + std::wstring(name) + L" " + std::to_wstring(ms));
    };
    const auto started = std::chrono::steady_clock::now();
    const Session s(checks, environment);
    checks.Check(WaitUntil([&] { return s.list.Count() == kTimedEntries; }, 20s),
                 L"all 257 entries are listed",
                 L"the list holds " + std::to_wstring(s.list.Count()));
    report(started, L"start to a populated list of 257 entries", L"start_to_list_257_ms");

    checks.Require(s.Select(s.list.Line(0)) && WaitUntil([&] { return !s.CommandText().empty(); }),
                   L"a line of the full list can be selected");
    const auto rescan = std::chrono::steady_clock::now();
    checks.Check(
        PressKeys(s.main.window, {VK_MENU, 'U'}) &&
            WaitUntil([&] { return s.CommandText().empty() && s.list.Count() == kTimedEntries; },
                      20s),
        L"Alt+U rescans all 257 entries");
    report(rescan, L"rescan of 257 entries (Alt+U to a repopulated list)", L"rescan_257_ms");
}

}  // namespace velmora::e2e
